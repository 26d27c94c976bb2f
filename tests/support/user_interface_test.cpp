#include "support/user_interface.h"

#include <gtest/gtest.h>

#include "testing.h"

namespace tessarel::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(BuildLog, everyCellIsCutToASaneLength) {
    RecordingUserInterface ui;
    const QString fits(UserInterface::kLogCellLength, u'i');
    const QString emoji = u"\U0001F600"_s;  // two UTF-16 units
    ui.addLogRow(QString(100000, u'r'), fits, RowStatus::Failed,
                 QString(UserInterface::kLogCellLength - 1, u't') + emoji + u"x"_s, u"out.htm"_s);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.log[0].reason, QString(UserInterface::kLogCellLength, u'r') + u"\u2026"_s);
    EXPECT_EQ(ui.log[0].item, fits);
    // Never half a character.
    EXPECT_EQ(ui.log[0].title, QString(UserInterface::kLogCellLength - 1, u't') + u"\u2026"_s);
    EXPECT_EQ(ui.log[0].output, u"out.htm"_s);
    EXPECT_EQ(ui.log[0].status, RowStatus::Failed);
}

}  // namespace
}  // namespace tessarel::testing

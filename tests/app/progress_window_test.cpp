#include "app/progress/progress_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.prepare(QString(), false);
        window.show();
    }
    void TearDown() override { delete owned_.data(); }

    // OK deletes the window later, so it lives on the heap.
    QPointer<ProgressWindow> owned_ = new ProgressWindow(nullptr);
    ProgressWindow& window = *owned_;
};

TEST_F(ProgressWindowTest, anItemIsLoggedAndBecomesTheSelectedRow) {
    window.setProgressMaximum(10);
    window.advanceProgress();
    window.addLogRow(u"Built OK"_s, u"a.c"_s, true, u"Alpha"_s, u"a.c.htm"_s);
    window.addLogRow(u"Missing File"_s, u"b.c"_s, false, u"---"_s, u"---"_s);
    EXPECT_EQ(window.progressValue(), 0);
    window.updateDisplay();
    const QStringList lines = window.logText->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(u"  --  a.c"_s));
    EXPECT_TRUE(lines[1].endsWith(u"  --  b.c"_s));

    const QTableWidget& table = *window.logView;
    ASSERT_EQ(table.rowCount(), 2);
    const QStringList second{table.item(1, 1)->text(), table.item(1, 2)->text(), table.item(1, 3)->text(),
                             table.item(1, 4)->text()};
    EXPECT_EQ(second, (QStringList{u"Missing File"_s, u"b.c"_s, u"---"_s, u"---"_s}));
    EXPECT_EQ(table.item(0, 3)->text(), u"Alpha"_s);
    EXPECT_FALSE(table.item(1, 0)->text().isEmpty());
    EXPECT_EQ(table.currentRow(), 1);
    EXPECT_TRUE(table.item(1, 2)->isSelected());
    // Success and failure rows carry different icons.
    EXPECT_NE(table.item(0, 0)->icon().pixmap(16).toImage(), table.item(1, 0)->icon().pixmap(16).toImage());
}

TEST_F(ProgressWindowTest, progressStopsAtItsMaximum) {
    window.setProgressMaximum(3);
    for (int i = 0; i < 5; ++i) {
        window.advanceProgress();
    }
    EXPECT_EQ(window.progressValue(), 3);
    window.updateDisplay();
    EXPECT_EQ(window.progressBar->value(), 3);
    EXPECT_EQ(window.progressBar->maximum(), 3);
    window.resetProgress();
    EXPECT_EQ(window.progressValue(), 0);
    EXPECT_TRUE(window.cancelButton->isEnabled());
    EXPECT_FALSE(window.okButton->isEnabled());
}

TEST_F(ProgressWindowTest, cancelAddsItsNoticeOnceAndOnlyOkCloses) {
    QSignalSpy cancelled(&window, &ProgressWindow::cancelBuild);
    window.resetProgress();
    window.setCurrent(u"main.c ( 3 / 12 )"_s);
    window.cancelButton->click();
    window.cancelButton->click();  // disabled now: no second notice
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(window.currentLabel->text(), u"main.c ( 3 / 12 )            TERMINATING..."_s);
    EXPECT_FALSE(window.cancelButton->isEnabled());
    EXPECT_TRUE(window.isVisible());

    window.close();
    EXPECT_TRUE(window.isVisible());
    window.setFinished();
    EXPECT_TRUE(window.okButton->isEnabled());
    window.okButton->click();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tessarel

#include "support/error_report.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "support/error_sites.h"
#include "support/paths.h"
#include "testing.h"

using namespace Qt::Literals::StringLiterals;

using namespace tessarel;
using tessarel::testing::ReadBytes;
using tessarel::testing::TestEnvironment;

TEST(ReportError, AppendsSixLineEntriesAndTellsTheProgramCloses) {
    TestEnvironment t;
    ReportError(*t.env, error_sites::kBuildProject, error_sites::kConsoleModule, u"5"_s, u"Invalid procedure call"_s);
    ReportError(*t.env, u"acceptFolder"_s, u"FolderDialog"_s, u"76"_s, u"Path not found"_s);
    const QStringList lines =
        QString::fromUtf8(ReadBytes(DataFolderFile(t.env->paths, u"error.log"_s))).split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), 15);  // two entries of six lines, each followed by an empty line, and the last split
    EXPECT_EQ(lines[0], u"------------------------"_s);
    EXPECT_EQ(lines[2], u"Version "_s + VersionText());
    EXPECT_EQ(lines[3], u"Module: tessarel-cli"_s);
    EXPECT_EQ(lines[4], u"BuildTheProject"_s);
    EXPECT_EQ(lines[5], u"5 -> Invalid procedure call"_s);
    EXPECT_EQ(lines[6], QString());
    EXPECT_EQ(lines[7], u"------------------------"_s);
    EXPECT_EQ(lines[10], u"Module: FolderDialog"_s);
    ASSERT_EQ(t.ui.messages.size(), 2u);
    EXPECT_EQ(t.ui.messages[0].title, u"Critical Error Report"_s);
    EXPECT_EQ(t.ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(t.ui.messages[0].text.startsWith(u"An unexpected error has occurred.\r\n"_s));
    EXPECT_TRUE(t.ui.messages[0].text.endsWith(u"\r\nTessarel will close now."_s));
}

TEST(ReportError, AnUnwritableLogStillTellsTheUser) {
    TestEnvironment t;
    t.env->paths.dataFolder = t.path(u"blocked/"_s);
    tessarel::testing::WriteBytes(t.path(u"blocked"_s), "a file where the folder should be");
    ReportError(*t.env, u"open"_s, u"BusyWindow"_s, u"1"_s, u"x"_s);
    EXPECT_EQ(t.ui.messages.size(), 1u);
}

#include "support/error_report.h"
#include "support/file_functions.h"
#include "testing.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace tessarel;
using tessarel::testing::ReadBytes;
using tessarel::testing::TestEnvironment;

TEST(ReportError, AppendsSixLineEntriesAndEndsTheProgram) {
    TestEnvironment t;
    ReportError(*t.env, QStringLiteral("PositionWebBrowser"), QStringLiteral("frmMain"), QStringLiteral("5"),
                QStringLiteral("Invalid procedure call"));
    ReportError(*t.env, QStringLiteral("cmdOK_Click"), QStringLiteral("frmDestPath"), QStringLiteral("76"),
                QStringLiteral("Path not found"));
    const QStringList lines =
        QString::fromUtf8(ReadBytes(DataFolderFile(t.env->paths, QStringLiteral("error.log")))).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 15);  // two entries of six lines, each followed by an empty line, and the last split
    EXPECT_EQ(lines[0], QStringLiteral("------------------------"));
    EXPECT_EQ(lines[2], QStringLiteral("Version ") + VersionText());
    EXPECT_EQ(lines[3], QStringLiteral("Module: frmMain"));
    EXPECT_EQ(lines[4], QStringLiteral("PositionWebBrowser"));
    EXPECT_EQ(lines[5], QStringLiteral("5 -> Invalid procedure call"));
    EXPECT_EQ(lines[6], QString());
    EXPECT_EQ(lines[7], QStringLiteral("------------------------"));
    EXPECT_EQ(lines[10], QStringLiteral("Module: frmDestPath"));
    ASSERT_EQ(t.ui.messages.size(), 2u);
    EXPECT_EQ(t.ui.messages[0].title, QStringLiteral("Critical Error Report"));
    EXPECT_EQ(t.ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(t.ui.messages[0].text.startsWith(QStringLiteral("An unexpected error has occurred.\r\n")));
    EXPECT_TRUE(t.ui.messages[0].text.endsWith(QStringLiteral("\r\nTessarel will close now.")));
    EXPECT_TRUE(t.ui.quitRequested);
}

TEST(ReportError, AnUnwritableLogStillTellsTheUserAndEnds) {
    TestEnvironment t;
    t.env->paths.dataFolder = t.path(QStringLiteral("blocked/"));
    tessarel::testing::WriteBytes(t.path(QStringLiteral("blocked")), "a file where the folder should be");
    ReportError(*t.env, QStringLiteral("Form_Load"), QStringLiteral("frmProgress"), QStringLiteral("1"),
                QStringLiteral("x"));
    EXPECT_EQ(t.ui.messages.size(), 1u);
    EXPECT_TRUE(t.ui.quitRequested);
}

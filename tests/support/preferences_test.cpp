#include "support/preferences.h"
#include "support/settings.h"
#include "testing.h"

#include <gtest/gtest.h>

using namespace tessarel;
using tessarel::testing::TestEnvironment;

TEST(Preferences, AnEmptyStoreGivesTheDefaults) {
    TestEnvironment t;
    Settings settings;
    settings.Title = false;
    settings.Style = QStringLiteral("other");
    settings.IncludeSourceLocation = true;
    LoadSingleFileSettings(*t.preferences, false, settings);
    EXPECT_TRUE(settings.Title);
    EXPECT_TRUE(settings.Links);
    EXPECT_TRUE(settings.Api);
    EXPECT_FALSE(settings.IncludeSourceLocation);
    EXPECT_FALSE(settings.IncludeLastGenerated);
    EXPECT_EQ(settings.Style, QStringLiteral("standard_babyblue"));
    EXPECT_EQ(settings.SumCon, QStringLiteral("1"));

    const CommentStyles styles = ReadSingleFileCommentStyles(*t.preferences);
    EXPECT_EQ(SingleLineCommentBits(styles), 3);
    EXPECT_EQ(MultipleLineCommentBits(styles), 1);
#ifdef Q_OS_WIN
    EXPECT_EQ(prefs::DefaultCompilerPath(), QStringLiteral("C:\\Program Files\\HTML Help Workshop"));
#endif
}

TEST(Preferences, FlagsReadAsNumbersInEitherForm) {
    TestEnvironment t;
    t.preferences->WritePreference(prefs::kSingleFile, prefs::kTitle, QStringLiteral(" 0"));
    t.preferences->WritePreference(prefs::kSingleFile, prefs::kHyperlinks, QStringLiteral("0"));
    t.preferences->WritePreference(prefs::kSingleFile, prefs::kSourceLocation, QStringLiteral(" 1"));
    t.preferences->WritePreference(prefs::kSingleFile, prefs::kLastGenerated, QStringLiteral("2"));
    Settings settings;
    LoadSingleFileSettings(*t.preferences, false, settings);
    EXPECT_FALSE(settings.Title);
    EXPECT_FALSE(settings.Links);
    EXPECT_TRUE(settings.IncludeSourceLocation);
    EXPECT_TRUE(settings.IncludeLastGenerated);
}

TEST(Preferences, AnOpenProjectKeepsItsOwnSettings) {
    TestEnvironment t;
    t.preferences->WritePreference(prefs::kSingleFile, prefs::kStyle, QStringLiteral("dark"));
    Settings settings;
    settings.Style = QStringLiteral("mine");
    LoadSingleFileSettings(*t.preferences, true, settings);
    EXPECT_EQ(settings.Style, QStringLiteral("mine"));
}

TEST(Preferences, ValuesSurviveAReopenedStore) {
    TestEnvironment t;
    CommentStyles styles;
    styles.chkS1 = false;
    styles.chkS64 = true;
    styles.chkM4 = true;
    WriteSingleFileCommentStyles(*t.preferences, styles);
    t.preferences->WritePreference(prefs::kGeneral, prefs::RecentKey(0), QStringLiteral("/a, b/x.c"));
    const Preferences reopened(t.preferences->fileName());
    EXPECT_EQ(reopened.ReadPreference(prefs::kSingleFile, QStringLiteral("chkS1"), QStringLiteral("1")),
              QStringLiteral(" 0"));
    EXPECT_EQ(ReadSingleFileCommentStyles(reopened), styles);
    EXPECT_EQ(reopened.ReadPreference(prefs::kGeneral, QStringLiteral("h0"), QString()), QStringLiteral("/a, b/x.c"));
}

TEST(CommentStyleNumbers, WeightsRoundTrip) {
    CommentStyles styles;
    SetSingleLineCommentBits(styles, 67);
    EXPECT_TRUE(styles.chkS1 && styles.chkS2 && styles.chkS64);
    EXPECT_FALSE(styles.chkS4 || styles.chkS8 || styles.chkS16 || styles.chkS32);
    EXPECT_EQ(SingleLineCommentBits(styles), 67);
    SetMultipleLineCommentBits(styles, 8 + 6);
    EXPECT_EQ(MultipleLineCommentBits(styles), 6);
}

TEST(TextForms, CopyrightAndLineBreaksConvertBothWays) {
    const QString plain = QStringLiteral("(C) 2003\r\nTessarel (c)");
    EXPECT_EQ(HtmlFormOf(plain), QStringLiteral("&#169; 2003<br>Tessarel &#169;"));
    EXPECT_EQ(PlainFormOf(HtmlFormOf(plain)), QStringLiteral("(c) 2003\r\nTessarel (c)"));
}

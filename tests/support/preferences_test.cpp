#include "support/preferences.h"

#include <gtest/gtest.h>

#include "support/settings.h"
#include "testing.h"

using namespace Qt::Literals::StringLiterals;

using namespace tessarel;
using tessarel::testing::TestEnvironment;

TEST(Preferences, AnEmptyStoreGivesTheDefaults) {
    TestEnvironment t;
    Settings settings;
    settings.Title = false;
    settings.Style = u"other"_s;
    settings.IncludeSourceLocation = true;
    LoadSingleFileSettings(*t.preferences, false, settings);
    EXPECT_EQ(settings, Settings{});

    const CommentStyles styles = ReadSingleFileCommentStyles(*t.preferences);
    EXPECT_EQ(SingleLineCommentBits(styles), 3);
    EXPECT_EQ(MultipleLineCommentBits(styles), 1);
#ifdef Q_OS_WIN
    EXPECT_EQ(prefs::DefaultCompilerPath(), u"C:\\Program Files\\HTML Help Workshop"_s);
#endif
}

TEST(Preferences, FlagsReadAsNumbersInEitherForm) {
    TestEnvironment t;
    t.preferences->WritePreference(prefs::kSingleFile, u"propTitle"_s, u" 0"_s);
    t.preferences->WritePreference(prefs::kSingleFile, u"propHyperlinks"_s, u"0"_s);
    t.preferences->WritePreference(prefs::kSingleFile, u"propSourceLocation"_s, u" 1"_s);
    t.preferences->WritePreference(prefs::kSingleFile, u"propLastGenerated"_s, u"2"_s);
    Settings settings;
    LoadSingleFileSettings(*t.preferences, false, settings);
    EXPECT_FALSE(settings.Title);
    EXPECT_FALSE(settings.Links);
    EXPECT_TRUE(settings.IncludeSourceLocation);
    EXPECT_TRUE(settings.IncludeLastGenerated);
}

TEST(Preferences, AnOpenProjectKeepsItsOwnSettings) {
    TestEnvironment t;
    t.preferences->WritePreference(prefs::kSingleFile, u"propStyle"_s, u"dark"_s);
    Settings settings;
    settings.Style = u"mine"_s;
    LoadSingleFileSettings(*t.preferences, true, settings);
    EXPECT_EQ(settings.Style, u"mine"_s);
}

TEST(Preferences, ValuesSurviveAReopenedStore) {
    TestEnvironment t;
    CommentStyles styles;
    styles.doubleSlash = false;
    styles.exclamation = true;
    styles.braces = true;
    WriteSingleFileCommentStyles(*t.preferences, styles);
    t.preferences->WritePreference(prefs::kGeneral, prefs::RecentKey(0), u"/a, b/x.c"_s);
    const Preferences reopened(t.preferences->fileName());
    EXPECT_EQ(ReadSingleFileCommentStyles(reopened), styles);
    EXPECT_EQ(reopened.ReadPreference(prefs::kGeneral, u"h0"_s, QString()), u"/a, b/x.c"_s);
}

// The single-line weights go through the project file's tests.
TEST(CommentStyleNumbers, MultipleLineWeightsIgnoreUnknownBits) {
    CommentStyles styles;
    SetMultipleLineCommentBits(styles, 8 + 6);
    EXPECT_EQ(MultipleLineCommentBits(styles), 6);
}

TEST(TextForms, CopyrightAndLineBreaksConvertBothWays) {
    const QString plain = u"(C) 2003\r\nTessarel (c)"_s;
    EXPECT_EQ(HtmlFormOf(plain), u"&#169; 2003<br>Tessarel &#169;"_s);
    EXPECT_EQ(PlainFormOf(HtmlFormOf(plain)), u"(c) 2003\r\nTessarel (c)"_s);
}

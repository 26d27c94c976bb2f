#include "extract/emphasis.h"
#include "support/testing.h"

#include <gtest/gtest.h>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;
using tessarel::testing::RecordingUserInterface;

namespace {

QString Bold(const QString& text, bool hide = false) {
    QString result = text;
    FormatBold(result, hide);
    return result;
}

QString Italic(const QString& text, bool hide = false) {
    QString result = text;
    FormatItalic(result, hide);
    return result;
}

TEST(Emphasis, MarkedWordsAfterABlankOrLineFeed) {
    EXPECT_EQ(Bold(u" *bold* text"_s), u" <b>bold</b> text"_s);
    EXPECT_EQ(Bold(u"\n*a*."_s), u"\n<b>a</b>."_s);
    EXPECT_EQ(Bold(u"\t*a  b *\r"_s), u"\t<b>a  b</b>\r"_s);
    EXPECT_EQ(Bold(u" *a* *b*,"_s), u" <b>a</b> <b>b</b>,"_s);
    QString underlined = u" _u_ my_var_name _x_"_s;
    FormatUnderline(underlined);
    EXPECT_EQ(underlined, u" <u>u</u> my_var_name _x_"_s);
}

TEST(Emphasis, TheClosingMarkNeedsAnEndingCharacterAfterIt) {
    for (const QString& ending : {u"\r"_s, u" "_s, u"\t"_s, u":"_s, u";"_s, u"."_s, u")"_s, u","_s}) {
        EXPECT_EQ(Bold(u" *x*"_s + ending), u" <b>x</b>"_s + ending);
    }
    EXPECT_EQ(Bold(u" *x*!"_s), u" *x*!"_s);
    // A closing mark followed by a letter opens the next run instead.
    EXPECT_EQ(Bold(u" *ab*cd* "_s), u" *ab<b>cd</b> "_s);
    // The character after that mark is not looked at again: a second star
    // right after it is marked text.
    EXPECT_EQ(Bold(u" *ab**x* "_s), u" *ab<b>*x</b> "_s);
}

TEST(Emphasis, NothingIsMarkedAcrossLinesOrAfterTwoBlanks) {
    for (const QString& kept : {u" *a\r\nb* "_s, u"x  *a* "_s, u"x*a* "_s, u" * a* "_s, u" **a** "_s, u" *a"_s}) {
        EXPECT_EQ(Bold(kept), kept);
    }
}

TEST(Emphasis, CommentDelimitersAreHiddenWhileTheirStyleIsOn) {
    EXPECT_EQ(Italic(u"/* see /x */\r\n"_s, true), u"/* see /x */\r\n"_s);
    EXPECT_EQ(Italic(u"/* see /x */\r\n"_s, false), u"/* see <i>x *</i>\r\n"_s);
    EXPECT_EQ(Italic(u"/* a /b/ */"_s, true), u"/* a <i>b</i> */"_s);
    EXPECT_EQ(Bold(u"(* *note *)\r"_s, true), u"(* *note *)\r"_s);
    EXPECT_EQ(Bold(u"(* *note *)\r"_s, false), u"(* <b>note</b>)\r"_s);
}

TEST(Emphasis, AllThreePassesInOrderWithTheirProgress) {
    RecordingUserInterface ui;
    CommentStyles styles;  // "/* */" on, "(* *)" off
    QString text = u" *b* /i/ _u_ /* *c* */\r\n"_s;
    FormatEmphasis(text, styles, ui);
    EXPECT_EQ(text, u" <b>b</b> <i>i</i> <u>u</u> /* <b>c</b> */\r\n"_s);
    EXPECT_EQ(ui.progressSteps, 4);
    styles.chkM2 = true;
    FormatEmphasis(text, styles, ui);
    EXPECT_EQ(ui.progressSteps, 4 + 5);
}

}  // namespace

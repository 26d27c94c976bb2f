#include "extract/block_formatters.h"
#include "extract/pattern_match.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;
using tessarel::testing::Crlf;

namespace {

QString Bullets(const char* text) {
    QString result = Crlf(QString::fromUtf8(text));
    FormatBulletLists(result);
    return result;
}

QString HeadingsAfterLists(const char* text) {
    QString result = Crlf(QString::fromUtf8(text));
    FormatHeadingsAfterLists(result);
    return result;
}

QString Numbered(const char* text) {
    QString result = Crlf(QString::fromUtf8(text));
    FormatNumberedLines(result);
    return result;
}

QString Tables(const char* text) {
    QString result = Crlf(QString::fromUtf8(text));
    FormatDefinitionTables(result);
    return result;
}

// --- Bullet lists ---

TEST(BulletLists, ItemsContinuationsAndTheClosingEmptyLine) {
    EXPECT_EQ(Bullets("- first\n  wrapped\n- second\n\nafter"),
              Crlf(u"<ul>\n<li>first\n  wrapped\n<li>second\n</ul>\nafter"_s));
    // "</ul>" goes just before the CR of the empty line, after its blanks.
    EXPECT_EQ(Bullets("  - a\n   \nb"), Crlf(u"  <ul>\n<li>a\n   </ul>\nb"_s));
}

TEST(BulletLists, AllThreeBulletsAndTabs) {
    EXPECT_EQ(Bullets("o one\n+\ttwo\n - three\n\n"), Crlf(u"<ul>\n<li>one\n<li>two\n <li>three\n</ul>\n"_s));
}

TEST(BulletLists, ListOpenAtTheEndIsClosed) {
    EXPECT_EQ(Bullets("intro\n- a"), Crlf(u"intro\n<ul>\n<li>a</ul>"_s));
    EXPECT_EQ(Bullets("- a\n"), Crlf(u"<ul>\n<li>a\n</ul>"_s));
}

TEST(BulletLists, EachListOpensAgainAfterAnEmptyLine) {
    EXPECT_EQ(Bullets("- a\n\n- b\n\n"), Crlf(u"<ul>\n<li>a\n</ul>\n<ul>\n<li>b\n</ul>\n"_s));
}

TEST(BulletLists, BulletFollowedByAVisibleCharacterIsNoItem) {
    EXPECT_EQ(Bullets("only words\n-5 degrees\n+x\n-\n\n"), Crlf(u"only words\n-5 degrees\n+x\n-\n\n"_s));
    // An empty line without an open list is left alone.
    EXPECT_EQ(Bullets("a\n\nb - c"), Crlf(u"a\n\nb - c"_s));
}

// --- Heading after a list ---

TEST(HeadingsAfterLists, FirstNonEmptyLineAfterTheListEnd) {
    EXPECT_EQ(HeadingsAfterLists("<li>a\n</ul>\n\n  \n  Next part  : text\nMore: x"),
              Crlf(u"<li>a\n</ul>\n\n  \n  <h4>Next part</h4> text\nMore: x"_s));
    EXPECT_EQ(HeadingsAfterLists("</ul>  \nTitle: x"), Crlf(u"</ul>  \n<h4>Title</h4> x"_s));
}

TEST(HeadingsAfterLists, LineWithoutColonOrTextOnTheSameLine) {
    EXPECT_EQ(HeadingsAfterLists("</ul>\nno colon\nLater: x"), Crlf(u"</ul>\nno colon\nLater: x"_s));
    EXPECT_EQ(HeadingsAfterLists("</ul> x: y\nz: w"), Crlf(u"</ul> x: y\nz: w"_s));
    EXPECT_EQ(HeadingsAfterLists("</ul>\n\n"), Crlf(u"</ul>\n\n"_s));
}

TEST(HeadingsAfterLists, EveryListEndIsExamined) {
    EXPECT_EQ(HeadingsAfterLists("</ul>\nA: 1\n<ul>\n<li>b\n</ul>\nB: 2"),
              Crlf(u"</ul>\n<h4>A</h4> 1\n<ul>\n<li>b\n</ul>\n<h4>B</h4> 2"_s));
}

// --- Numbered lines ---

TEST(NumberedLines, DigitsAndDotBecomeADefinitionDash) {
    EXPECT_EQ(Numbered("Steps\n12. word\n"), Crlf(u"Steps\n12 -  word\n"_s));
    EXPECT_EQ(Numbered("x\n  \t3. indented\n"), Crlf(u"x\n  \t3 -  indented\n"_s));
}

TEST(NumberedLines, FirstAndLastLinesOfTheTextAreRewritten) {
    EXPECT_EQ(Numbered("1. one\n2. two\n\n"), Crlf(u"1 -  one\n2 -  two\n\n"_s));
    EXPECT_EQ(Numbered("1. one\n"), Crlf(u"1 -  one\n"_s));
    EXPECT_EQ(RewriteNumberedLinesWithMatcher(Crlf(u"1. one\n2. two\n\n"_s)), Crlf(u"1 -  one\n2 -  two\n\n"_s));
}

TEST(NumberedLines, LineWithoutALineBreakAfterItStays) {
    EXPECT_EQ(Numbered("1. one\n2. two"), Crlf(u"1 -  one\n2. two"_s));
    EXPECT_EQ(Numbered("1. one\r"), u"1. one\r"_s);
}

TEST(NumberedLines, LinesThatAreNotNumbered) {
    const char* text = "1.5 x\n1.x\na1. x\n1 . x\n1.\tx\n. x\n1.\n2.  \nz\n";
    EXPECT_EQ(Numbered(text), Crlf(u"1.5 x\n1.x\na1. x\n1 . x\n1.\tx\n. x\n1.\n2 -   \nz\n"_s));
    // Only CR LF starts a line for this rule.
    EXPECT_EQ(RewriteNumberedLines(u"a\n1. x\r\n"_s), u"a\n1. x\r\n"_s);
    EXPECT_EQ(RewriteNumberedLines(QString()), QString());
}

// The one-sweep rewrite must give exactly what the matcher loop gives.
TEST(NumberedLines, SweepAgreesWithTheMatcherLoopOnGeneratedTexts) {
    static const std::array<QString, 17> pieces{
        u"\r\n"_s, u"\r\n"_s, u"\r\n"_s, u"\r"_s, u"\n"_s,  u" "_s,   u"  "_s, u"\t"_s,     u"1"_s,
        u"23"_s,   u"4"_s,    u"."_s,    u". "_s, u"a"_s, u"x y"_s, u"-"_s, u"\r\n7. "_s,
    };
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> pieceCount(0, 40);
    std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1);
    int rewritten = 0;
    for (int round = 0; round < 20000; ++round) {
        QString text;
        for (int n = pieceCount(random); n > 0; --n) {
            text += pieces[piece(random)];
        }
        const QString expected = RewriteNumberedLinesWithMatcher(text);
        ASSERT_EQ(RewriteNumberedLines(text), expected) << text.toStdString();
        rewritten += expected != text ? 1 : 0;
    }
    // The generator must really exercise the rule.
    EXPECT_GT(rewritten, 1000);
}

// --- Definition tables ---

const QString kFirst = u"\r\n<table class=DefTable>\r\n<tr class=Def>\r\n<td class=Def>\r\n"_s;
const QString kLater = u"\r\n<tr class=Def>\r\n<td class=Def>\r\n"_s;
const QString kMiddle = u"\r\n</td>\r\n<td class=DefSep>-</td>\r\n<td class=DefText>\r\n"_s;
const QString kEnd = u"\r\n</td>\r\n</tr>\r\n"_s;
const QString kLast = u"\r\n</td>\r\n</tr>\r\n</table>\r\n"_s;

TEST(DefinitionTables, TwoNumberedLinesMakeATwoRowTable) {
    QString text = Crlf(u"1. one\n2. two\n\n"_s);
    FormatNumberedLines(text);
    FormatDefinitionTables(text);
    EXPECT_EQ(text, kFirst + u"1"_s + kMiddle + u"one"_s + kEnd + u"\r\n"_s + kLater + u"2"_s + kMiddle + u"two"_s +
                        kLast + u"\r\n\r\n"_s);
}

TEST(DefinitionTables, OneRowGetsOpeningAndClosing) {
    EXPECT_EQ(Tables("  Tab key  -  moves on  \n\n"),
              u"  "_s + kFirst + u"Tab key"_s + kMiddle + u"moves on"_s + kLast + u"\r\n\r\n"_s);
}

TEST(DefinitionTables, ContinuationLinesStayInTheCell) {
    EXPECT_EQ(Tables("intro\nterm - first line\n    goes on\nnext - x\n\n"),
              Crlf(u"intro\n"_s) + kFirst + u"term"_s + kMiddle + u"first line\r\n    goes on"_s + kEnd + u"\r\n"_s +
                  kLater + u"next"_s + kMiddle + u"x"_s + kLast + u"\r\n\r\n"_s);
}

TEST(DefinitionTables, EmptyLineEndsTheTableAndTheNextOneOpensAgain) {
    EXPECT_EQ(Tables("a - b\n \t\nc - d\n\n"),
              kFirst + u"a"_s + kMiddle + u"b"_s + kLast + u"\r\n \t\r\n"_s + kFirst + u"c"_s + kMiddle + u"d"_s +
                  kLast + u"\r\n\r\n"_s);
}

TEST(DefinitionTables, DashNeedsBlanksOnBothSides) {
    const char* text = "well-known thing\na -b\na- b\na -- b\n-\n\n";
    EXPECT_EQ(Tables(text), Crlf(QString::fromUtf8(text)));
    // The first " - " of a line separates term and text.
    EXPECT_EQ(Tables("a\t-\tb - c\n\n"), kFirst + u"a\t"_s + kMiddle + u"\tb - c"_s + kLast + u"\r\n\r\n"_s);
}

TEST(DefinitionTables, TableRunningToTheEndIsClosed) {
    EXPECT_EQ(Tables("a - b\nc - d"),
              kFirst + u"a"_s + kMiddle + u"b"_s + kEnd + u"\r\n"_s + kLater + u"c"_s + kMiddle + u"d"_s + kLast);
    EXPECT_EQ(Tables("a - b\n  more\n"), kFirst + u"a"_s + kMiddle + u"b\r\n  more"_s + kLast + u"\r\n"_s);
}

}  // namespace

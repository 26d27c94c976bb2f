#include "extract/lists.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <array>
#include <random>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;
using tessarel::testing::Crlf;

namespace {

using Pass = void (*)(QString&, PassContext*);
struct Case {
    const char* input;
    const char* expected;  // "\n" stands for CR LF in both
};

void ExpectCases(Pass pass, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        QString text = Crlf(QString::fromUtf8(c.input));
        pass(text, nullptr);
        EXPECT_EQ(text, Crlf(QString::fromUtf8(c.expected))) << c.input;
    }
}

TEST(Lists, BulletLists) {
    ExpectCases(FormatBulletLists,
                {
                    {"- first\n  wrapped\n- second\n\nafter", "<ul>\n<li>first\n  wrapped\n<li>second\n</ul>\nafter"},
                    {"  - a\n   \nb", "  <ul>\n<li>a\n   </ul>\nb"},  // "</ul>" goes before the CR of the empty line
                    {"o one\n+\ttwo\n - three\n\n", "<ul>\n<li>one\n<li>two\n <li>three\n</ul>\n"},
                    {"- a\n\n- b\n\n", "<ul>\n<li>a\n</ul>\n<ul>\n<li>b\n</ul>\n"},
                    {"intro\n- a", "intro\n<ul>\n<li>a</ul>"},  // a list open at the end is closed
                    {"- a\n", "<ul>\n<li>a\n</ul>"},
                    {"only words\n-5 degrees\n+x\n-\n\nb - c", "only words\n-5 degrees\n+x\n-\n\nb - c"},
                });
}

TEST(Lists, HeadingsAfterLists) {
    ExpectCases(FormatHeadingsAfterLists,
                {
                    {"<li>a\n</ul>\n\n  \n  Next part  : text\nMore: x",
                     "<li>a\n</ul>\n\n  \n  <h4>Next part</h4> text\nMore: x"},
                    {"</ul>  \nTitle: x", "</ul>  \n<h4>Title</h4> x"},
                    {"</ul>\nA: 1\n<ul>\n<li>b\n</ul>\nB: 2", "</ul>\n<h4>A</h4> 1\n<ul>\n<li>b\n</ul>\n<h4>B</h4> 2"},
                    {"</ul>\nno colon\nLater: x", "</ul>\nno colon\nLater: x"},
                    {"</ul> x: y\nz: w", "</ul> x: y\nz: w"},
                    {"</ul>\n\n ", "</ul>\n\n "},
                });
}

TEST(Lists, NumberedLines) {
    ExpectCases(FormatNumberedLines,
                {
                    {"Steps\n12. word\n  \t3. indented\n", "Steps\n12 -  word\n  \t3 -  indented\n"},
                    {"1. one\n2. two\n\n", "1 -  one\n2 -  two\n\n"},  // the first and the last line too
                    {"1. one\n2. two", "1 -  one\n2. two"},            // no line break after the last
                    {"1. one\r", "1. one\r"},
                    {"1.5 x\n1.x\na1. x\n1 . x\n. x\n1.\n2.  \nz\n", "1.5 x\n1.x\na1. x\n1 . x\n. x\n1.\n2 -   \nz\n"},
                    // A tab after the dot counts as the blank, as in tab-aligned steps.
                    {"1.\tx\n 2.\t\ty\n3.\t\n", "1 - \tx\n 2 - \t\ty\n3 - \t\n"},
                    {"", ""},
                });
    // Only CR LF starts a line for this rule.
    QString bareLineFeed = u"a\n1. x\r\n"_s;
    FormatNumberedLines(bareLineFeed);
    EXPECT_EQ(bareLineFeed, u"a\n1. x\r\n"_s);
}

/// The numbered-line rule as a pattern: at the start or after a CR LF,
/// blanks, digits, "." and a blank, and a line that ends in CR LF.
QString NumberedLinesByPattern(QString text) {
    static const QRegularExpression line(u"(?:^|(?<=\r\n))([ \t]*[0-9]+)\\.([ \t][^\r\n]*\r\n)"_s);
    return text.replace(line, u"\\1 - \\2"_s);
}

// The one-sweep rewrite must give exactly what the pattern gives.
TEST(Lists, NumberedLinesSweepAgreesWithThePattern) {
    static const std::array<QString, 18> pieces{
        u"\r\n"_s, u"\r\n"_s, u"\r\n"_s, u"\r"_s, u"\n"_s, u" "_s,   u"  "_s, u"\t"_s,      u"1"_s,
        u"23"_s,   u"4"_s,    u"."_s,    u". "_s, u"a"_s,  u"x y"_s, u"-"_s,  u"\r\n7. "_s, u".\t"_s,
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
        const QString expected = NumberedLinesByPattern(text);
        QString swept = text;
        FormatNumberedLines(swept);
        ASSERT_EQ(swept, expected) << text.toStdString();
        rewritten += expected != text ? 1 : 0;
    }
    EXPECT_GT(rewritten, 1000);  // the generator really exercises the rule
}

TEST(Lists, DefinitionTables) {
#define FIRST "\n<table class=DefTable>\n<tr class=Def>\n<td class=Def>\n"
#define LATER "\n<tr class=Def>\n<td class=Def>\n"
#define MIDDLE "\n</td>\n<td class=DefSep>-</td>\n<td class=DefText>\n"
#define END "\n</td>\n</tr>\n"
#define LAST "\n</td>\n</tr>\n</table>\n"
    ExpectCases(
        FormatDefinitionTables,
        {
            {"1 -  one\n2 -  two\n\n", FIRST "1" MIDDLE "one" END "\n" LATER "2" MIDDLE "two" LAST "\n\n"},
            {"  Tab key  -  moves on  \n\n", "  " FIRST "Tab key" MIDDLE "moves on" LAST "\n\n"},
            {"intro\nterm - first line\n    goes on\nnext - x\n\n",
             "intro\n" FIRST "term" MIDDLE "first line\n    goes on" END "\n" LATER "next" MIDDLE "x" LAST "\n\n"},
            {"a - b\n \t\nc - d\n\n", FIRST "a" MIDDLE "b" LAST "\n \t\n" FIRST "c" MIDDLE "d" LAST "\n\n"},
            {"a\t-\tb - c\n\n", FIRST "a" MIDDLE "b - c" LAST "\n\n"},  // the first " - " splits
            // Tabs are blanks: a tab-aligned table's cells start at their text.
            {"open\t-\tOpens it.\t\nclose -\t\tCloses it.\n\n",
             FIRST "open" MIDDLE "Opens it." END "\n" LATER "close" MIDDLE "Closes it." LAST "\n\n"},
            {"a -\t\nb -\t \tc\n\n", FIRST "a" MIDDLE "" END "\n" LATER "b" MIDDLE "c" LAST "\n\n"},
            {"well-known thing\na -b\na- b\na -- b\n-\n\n", "well-known thing\na -b\na- b\na -- b\n-\n\n"},
            {"a - b\nc - d", FIRST "a" MIDDLE "b" END "\n" LATER "c" MIDDLE "d" LAST},  // running to the end
            {"a - b\n  more\n", FIRST "a" MIDDLE "b\n  more" LAST "\n"},
            {"a -", "a -"},
        });
#undef FIRST
#undef LATER
#undef MIDDLE
#undef END
#undef LAST
}

}  // namespace

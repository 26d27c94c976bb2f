#include "extract/block_formatters.h"
#include "support/testing.h"

#include <gtest/gtest.h>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;
using tessarel::testing::Crlf;

namespace {

using Pass = void (*)(QString&);

QString Apply(Pass pass, const QString& text) {
    QString result = text;
    pass(result);
    return result;
}

QString Apply(Pass pass, const char* text) { return Apply(pass, Crlf(QString::fromUtf8(text))); }

// --- First-line heading ---

TEST(FirstLineHeading, TextBeforeTheFirstColonBecomesAHeading) {
    EXPECT_EQ(Apply(FormatFirstLineHeading, "\n  \t Title here : rest: more\nNext: x"),
              Crlf(u"\n  \t <h4>Title here</h4> rest: more\nNext: x"_s));
}

TEST(FirstLineHeading, OnlyTheFirstLineCounts) {
    EXPECT_EQ(Apply(FormatFirstLineHeading, "Title\nNext: x"), Crlf(u"Title\nNext: x"_s));
    EXPECT_EQ(Apply(FormatFirstLineHeading, "no colon at all"), u"no colon at all"_s);
    EXPECT_EQ(Apply(FormatFirstLineHeading, " \n\t"), Crlf(u" \n\t"_s));
    EXPECT_EQ(Apply(FormatFirstLineHeading, ""), QString());
}

TEST(FirstLineHeading, TheFirstVisibleCharacterOnlyStartsTheLine) {
    EXPECT_EQ(Apply(FormatFirstLineHeading, ":a: b"), u"<h4>:a</h4> b"_s);
    EXPECT_EQ(Apply(FormatFirstLineHeading, ":"), u":"_s);
}

// --- Highlighted text ---

TEST(HighlightedText, PairsOfPlusSignsAroundText) {
    EXPECT_EQ(Apply(FormatHighlightedText, "see ++this one++ now"), u"see <font class=HighText>this one</font> now"_s);
    EXPECT_EQ(Apply(FormatHighlightedText, "++a ++.++b++:"),
              u"<font class=HighText>a</font>.<font class=HighText>b</font>:"_s);
    for (const QString& after : {u";"_s, u","_s, u"\t"_s, u"\r"_s}) {
        EXPECT_EQ(Apply(FormatHighlightedText, u"++x++"_s + after), u"<font class=HighText>x</font>"_s + after);
    }
}

TEST(HighlightedText, WhatDoesNotHighlight) {
    for (const char* text : {"(++x++)", "+++x++ ", "++ a++ ", "++a\nb++ ", "++a++", "a++b"}) {
        EXPECT_EQ(Apply(FormatHighlightedText, text), Crlf(QString::fromUtf8(text))) << text;
    }
}

TEST(HighlightedText, ClosingPairBeforeALetterOpensAgain) {
    EXPECT_EQ(Apply(FormatHighlightedText, "++a++bc++ "), u"++a<font class=HighText>bc</font> "_s);
}

// --- Heading after an empty line ---

TEST(HeadingsAfterEmptyLines, FirstNonEmptyLineAfterEachEmptyLine) {
    EXPECT_EQ(Apply(FormatHeadingsAfterEmptyLines, "Intro\n   \n  Part two : body\nNot: this\n\n\n\tLast: x"),
              Crlf(u"Intro\n   \n  <h4>Part two</h4> body\nNot: this\n\n\n\t<h4>Last</h4> x"_s));
    EXPECT_EQ(Apply(FormatHeadingsAfterEmptyLines, "a\n\nB\n\nC: x"), Crlf(u"a\n\nB\n\n<h4>C</h4> x"_s));
}

TEST(HeadingsAfterEmptyLines, NeedsALineBreakBeforeTheEmptyLine) {
    EXPECT_EQ(Apply(FormatHeadingsAfterEmptyLines, "Head: x"), u"Head: x"_s);
    EXPECT_EQ(Apply(FormatHeadingsAfterEmptyLines, "\nA: b"), Crlf(u"\nA: b"_s));
    EXPECT_EQ(Apply(FormatHeadingsAfterEmptyLines, "a\n\nno colon\nB: x"), Crlf(u"a\n\nno colon\nB: x"_s));
}

// --- Paragraphs ---

TEST(Paragraphs, MarkAfterEveryEmptyLine) {
    EXPECT_EQ(Apply(FormatParagraphs, "one\n\ntwo\n  \t\nthree"), Crlf(u"one\n\n@ptwo\n  \t\n@pthree"_s));
    // Section texts end with an empty line, so they end with a mark.
    EXPECT_EQ(Apply(FormatParagraphs, "text\n\n"), Crlf(u"text\n\n@p"_s));
}

TEST(Paragraphs, MarkedLineIsNotEmptyAnyMore) {
    EXPECT_EQ(Apply(FormatParagraphs, "a\n\n\nb"), Crlf(u"a\n\n@p\nb"_s));
    EXPECT_EQ(Apply(FormatParagraphs, "\nx"), Crlf(u"\nx"_s));
    EXPECT_EQ(Apply(FormatParagraphs, "a\n x\n"), Crlf(u"a\n x\n"_s));
}

// --- All formatters in their order ---

TEST(FormatSectionText, ListsHeadingsAndANumberedTable) {
    const QString text = Crlf(
        u"   Opens a file: quickly\n   - first item\n   - second\n     wrapped\n\nNotes: more\n1. one\n2. two\n\n"_s);
    EXPECT_EQ(Apply(FormatSectionText, text),
              Crlf(u"   <h4>Opens a file</h4> quickly\n   <ul>\n<li>first item\n   <li>second\n     wrapped\n</ul>\n"
                   "<h4>Notes</h4> more\n\n@p<table class=DefTable>\n<tr class=Def>\n<td class=Def>\n1\n</td>\n"
                   "<td class=DefSep>-</td>\n<td class=DefText>\none\n</td>\n</tr>\n\n@p\n<tr class=Def>\n"
                   "<td class=Def>\n2\n</td>\n<td class=DefSep>-</td>\n<td class=DefText>\ntwo\n</td>\n</tr>\n"
                   "</table>\n\n@p\n"_s));
}

TEST(FormatSectionText, HighlightAndHeadingAfterAnEmptyLine) {
    const QString text = Crlf(u"Uses ++fast++ paths\n\n  Returns: the count\n\n"_s);
    EXPECT_EQ(Apply(FormatSectionText, text),
              Crlf(u"Uses <font class=HighText>fast</font> paths\n\n@p  <h4>Returns</h4> the count\n\n@p"_s));
}

// --- Bad input: no crash, no hang, nothing lost ---

TEST(FormatSectionText, HugeSingleLineWithNulBytesStaysAsItIs) {
    QString line;
    line.reserve(10'000'000);
    while (line.size() < 10'000'000) {
        line += u"word + more 1. o "_s;
        line += QChar(u'\0');
    }
    EXPECT_EQ(Apply(FormatSectionText, line), line);
}

TEST(FormatSectionText, ManyListItemsRunningToTheEnd) {
    QString text;
    for (int i = 0; i < 100'000; ++i) {
        text += u"- item\r\n"_s;
    }
    const QString result = Apply(FormatSectionText, text);
    EXPECT_TRUE(result.startsWith(u"<ul>\r\n<li>item\r\n<li>item"_s));
    EXPECT_TRUE(result.endsWith(u"<li>item\r\n</ul>"_s));
    EXPECT_EQ(result.count(u"<li>"_s), 100'000);
}

TEST(FormatSectionText, ManyNumberedLinesRunningToTheEnd) {
    QString text;
    for (int i = 1; i <= 50'000; ++i) {
        text += QString::number(i) + u". step\r\n"_s;
    }
    const QString result = Apply(FormatSectionText, text);
    EXPECT_EQ(result.count(u"<tr class=Def>"_s), 50'000);
    EXPECT_EQ(result.count(u"<table class=DefTable>"_s), 1);
    EXPECT_TRUE(result.endsWith(u"</tr>\r\n</table>\r\n\r\n@p"_s));
}

TEST(FormatSectionText, UnclosedMarksAtTheEndChangeNothing) {
    for (const QString& text : {u"++open"_s, u"++a+"_s, u"x\r\n\r\n  "_s, u"a -"_s, u"</ul>"_s, u"</ul>\r\n\r\n "_s}) {
        EXPECT_EQ(Apply(FormatHighlightedText, text), text);
        EXPECT_EQ(Apply(FormatHeadingsAfterLists, text), text);
        EXPECT_EQ(Apply(FormatHeadingsAfterEmptyLines, text), text);
        EXPECT_EQ(Apply(FormatDefinitionTables, text), text);
    }
}

}  // namespace

#include "extract/block_formatters.h"
#include "extract/lists.h"
#include "extract/pass_context.h"
#include "support/string_functions.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QRegularExpression>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;
using tessarel::testing::Crlf;

namespace {

using Pass = void (*)(QString&, PassContext*);

void FirstLineHeading(QString& text, PassContext*) { FormatFirstLineHeading(text); }
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

QString Apply(Pass pass, QString text) {
    pass(text, nullptr);
    return text;
}

TEST(BlockFormatters, FirstLineHeading) {
    ExpectCases(FirstLineHeading,
                {
                    {"\n  \t Title here : rest: more\nNext: x", "\n  \t <h4>Title here</h4> rest: more\nNext: x"},
                    {"Title\nNext: x", "Title\nNext: x"},
                    {" \n\t", " \n\t"},
                    {":a: b", "<h4>:a</h4> b"},  // the first visible character only starts the line
                });
}

TEST(BlockFormatters, HighlightedText) {
    ExpectCases(FormatHighlightedText,
                {
                    {"see ++this one++ now", "see <font class=HighText>this one</font> now"},
                    {"++a ++.++b++:", "<font class=HighText>a</font>.<font class=HighText>b</font>:"},
                    {"++x++;++y++,++z++\t",
                     "<font class=HighText>x</font>;<font class=HighText>y</font>,"
                     "<font class=HighText>z</font>\t"},
                    {"++a++bc++ ", "++a<font class=HighText>bc</font> "},  // a closing pair before a letter opens again
                    {"(++x++)", "(++x++)"},
                    {"+++x++ ", "+++x++ "},
                    {"++ a++ ", "++ a++ "},
                    {"++a\nb++ ", "++a\nb++ "},
                    {"++a++", "++a++"},
                    {"++a+", "++a+"},
                    // Single plus signs never close or open: the text between them would be lost.
                    {"++a+b+ ", "++a+b+ "},
                    {"++a+bc+xy++ ", "++a+bc+xy++ "},
                    {"++a+b+ ++c++.", "++a+b+ <font class=HighText>c</font>."},
                });
}

/// The empty-line rules as patterns: an empty line is a CR LF, blanks and a
/// CR LF. "@p" follows it and makes the next line non-empty; a heading is the
/// first visible text after it up to a colon on the same line.
QString ParagraphsByPattern(QString text) {
    static const QRegularExpression emptyLine(u"\r\n[ \t]*\r\n"_s);
    for (auto m = emptyLine.match(text); m.hasMatch(); m = emptyLine.match(text, m.capturedEnd())) {
        text.insert(m.capturedEnd(), u"@p"_s);
    }
    return text;
}

QString HeadingsByPattern(const QString& text) {
    static const QRegularExpression heading(u"\r\n[ \t]*\r\n[ \t\r\n]*([^ \t\r\n][^\r:]*):"_s);
    QString result;
    qsizetype copied = 0;
    for (const auto& m : heading.globalMatch(text)) {
        result += text.mid(copied, m.capturedStart(1) - copied) + u"<h4>"_s + TrimSpaces(m.captured(1)) + u"</h4>"_s;
        copied = m.capturedEnd();
    }
    return result + text.mid(copied);
}

TEST(BlockFormatters, EmptyLineRulesAgreeWithThePatterns) {
    const QStringList pieces = u"\r\n|\r\n|\r|\n| |\t|a|b c|:|@p"_s.split(u'|');
    QRandomGenerator random(17);
    int changed = 0;
    for (int round = 0; round < 20000; ++round) {
        const QString text = tessarel::testing::RandomText(random, pieces, 30);
        ASSERT_EQ(Apply(FormatParagraphs, text), ParagraphsByPattern(text)) << text.toStdString();
        ASSERT_EQ(Apply(FormatHeadingsAfterEmptyLines, text), HeadingsByPattern(text)) << text.toStdString();
        changed += Apply(FormatHeadingsAfterEmptyLines, text) != text ? 1 : 0;
    }
    EXPECT_GT(changed, 1000);  // the pieces really make headings
}

TEST(FormatSectionText, ListsHeadingsAndANumberedTable) {
    ExpectCases(
        FormatSectionText,
        {
            {"   Opens a file: quickly\n   - first item\n   - second\n     wrapped\n\nNotes: more\n1. one\n2. two\n\n",
             "   <h4>Opens a file</h4> quickly\n   <ul>\n<li>first item\n   <li>second\n     wrapped\n</ul>\n"
             "<h4>Notes</h4> more\n\n@p<table class=DefTable>\n<tr class=Def>\n<td class=Def>\n1\n</td>\n"
             "<td class=DefSep>-</td>\n<td class=DefText>\none\n</td>\n</tr>\n\n@p\n<tr class=Def>\n"
             "<td class=Def>\n2\n</td>\n<td class=DefSep>-</td>\n<td class=DefText>\ntwo\n</td>\n</tr>\n"
             "</table>\n\n@p\n"},
            {"Uses ++fast++ paths\n\n  Returns: the count\n\n",
             "Uses <font class=HighText>fast</font> paths\n\n@p  <h4>Returns</h4> the count\n\n@p"},
        });
}

// Bad input: no crash, no hang, nothing lost.
TEST(FormatSectionText, HugeSingleLineWithNulBytesStaysAsItIs) {
    QString line;
    while (line.size() < 10'000'000) {
        line += u"word + more 1. o "_s + QChar(u'\0');
    }
    EXPECT_EQ(Apply(FormatSectionText, line), line);
}

TEST(FormatSectionText, ThousandsOfItemsRunningToTheEnd) {
    const QString list = Apply(FormatSectionText, u"- item\r\n"_s.repeated(100'000));
    EXPECT_TRUE(list.startsWith(u"<ul>\r\n<li>item\r\n<li>item"_s));
    EXPECT_TRUE(list.endsWith(u"<li>item\r\n</ul>"_s));
    EXPECT_EQ(list.count(u"<li>"_s), 100'000);

    QString numbered;
    for (int i = 1; i <= 50'000; ++i) {
        numbered += QString::number(i) + u". step\r\n"_s;
    }
    const QString table = Apply(FormatSectionText, numbered);
    EXPECT_EQ(table.count(u"<tr class=Def>"_s), 50'000);
    EXPECT_EQ(table.count(u"<table class=DefTable>"_s), 1);
    EXPECT_TRUE(table.endsWith(u"</tr>\r\n</table>\r\n\r\n@p"_s));
}

// Many sections formatted in turn through one working string and one context
// must each come out as formatted alone: nothing of a longer text before it
// may survive in the reused buffers, whichever passes change it.
TEST(FormatSectionText, SectionsSharingBuffersComeOutAsFormattedAlone) {
    const QString texts[] = {
        u"Notes: ++big table++ here\r\no one\r\n  more\r\n\r\nsize - count\r\nhead - next\r\n\r\n1. a\r\n2. b\r\n"_s
            .repeated(40),
        u"plain words and nothing else"_s,
        u""_s,
        u"x"_s,
        u"- item\r\n\r\nAfter: list\r\n"_s,
        u"one line\r\n\r\ntwo: after empty\r\n"_s.repeated(3),
        u"a - b\r\n"_s,
        u"no change at all, still"_s,
    };
    PassContext context;
    QString working;
    for (int round = 0; round < 2; ++round) {
        for (const QString& text : texts) {
            working.resize(0);
            working.append(text.constData(), text.size());
            FormatSectionText(working, &context);
            QString alone = text;
            for (const Pass pass :
                 {FirstLineHeading, FormatHighlightedText, FormatBulletLists, FormatHeadingsAfterLists,
                  FormatHeadingsAfterEmptyLines, FormatNumberedLines, FormatDefinitionTables, FormatParagraphs}) {
                pass(alone, nullptr);
            }
            ASSERT_EQ(working, alone) << text.left(40).toStdString();
        }
    }
}

}  // namespace

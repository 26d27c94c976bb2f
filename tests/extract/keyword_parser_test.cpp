#include "extract/keyword_parser.h"
#include "extract/declarations.h"
#include "extract/document_model.h"
#include "extract/markers.h"
#include "support/string_functions.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;
using tessarel::testing::Crlf;

namespace {

QString Converted(const QString& text) {
    QString result = Crlf(text);
    ConvertKeywordLines(result);
    return result;
}

DocumentModel Parsed(const QString& sourceText) {
    DocumentModel doc;
    doc.SourceText = sourceText;
    FillSections(doc);
    FindDeclarations(doc);
    return doc;
}

// --- Keyword lines ---

TEST(KeywordLines, OnlyTheThreeFormsOfATableWordWithoutSemicolon) {
    for (const QString& word : SectionKeywords()) {
        EXPECT_TRUE(IsSectionKeyword(word));
        EXPECT_TRUE(IsSectionKeyword(word.toUpper()));
        EXPECT_TRUE(IsSectionKeyword(word.left(1).toUpper() + word.mid(1)));
    }
    EXPECT_EQ(SectionKeywords().size(), 20);
    for (const QString& word : {u"fUNCTION"_s, u"FuncTion"_s, u"functions"_s, u"Note"_s, u"func tion"_s, u""_s}) {
        EXPECT_FALSE(IsSectionKeyword(word)) << word.toStdString();
    }
    for (const QString& kept :
         {u"\nfunction: a;b\nx"_s, u"\nNote: x\ny"_s, u"\nfunction x\ny"_s, u"function: top\nx"_s}) {
        EXPECT_EQ(Converted(kept), Crlf(kept));
    }
}

/// The keyword walk as written, one state step per character, the text
/// rebuilt at each header; after an examined line that is no keyword line the
/// walk goes on at the start of the next line.
QString LiteralKeywordPass(QString text) {
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    int state = 0;
    qsizetype start = 0;
    qsizetype colon = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (state) {
        case 0:
            state = c == u'\r' ? 1 : 0;
            break;
        case 1:
            state = c == u'\n' ? 2 : 0;
            break;
        case 2:
            state = c == u'\r' ? 1 : blank(c) ? 2 : 3;
            start = i;
            break;
        case 3:
            if (c == u'\r') {
                state = 1;
            } else if (c == u':') {
                colon = i;
                state = 4;
            }
            break;
        case 4:
            state = c == u'\r' ? 5 : 4;
            break;
        default: {
            state = 0;
            if (c != u'\n') {
                break;
            }
            const QString word = TrimSpaces(text.mid(start, colon - start).replace(u'\t', u' '));
            const QString value = TrimSpaces(text.mid(colon + 1, i - colon));
            if (value.contains(u';') || !IsSectionKeyword(word)) {
                state = 2;
                break;
            }
            const QString header = u"\r\n@/t\r\n@section "_s + value + u" @t"_s;
            text = text.left(start) + header + text.mid(i + 1);
            i = start + header.size() - 1;
        }
        }
    }
    return text;
}

TEST(KeywordLines, TheWalkGivesTheLiteralResults) {
    const QStringList pieces = {u"\r\n"_s, u"\n"_s,       u"\r"_s,  u" "_s,        u"\t"_s,   u":"_s,     u";"_s,
                                u"x"_s,    u"function"_s, u"Sub"_s, u"FUNCTION"_s, u"fUNC"_s, u"name :"_s};
    QRandomGenerator random(5);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int count = random.bounded(0, 40);
        for (int k = 0; k < count; ++k) {
            text += pieces[random.bounded(pieces.size())];
        }
        QString fast = text;
        ConvertKeywordLines(fast);
        ASSERT_EQ(fast, LiteralKeywordPass(text)) << text.toStdString();
    }
}

// --- Filling ---

TEST(Sections, NamesPositionsAndTexts) {
    const QString source = Crlf(u"\n@/t\n@section Add\n @t   Adds.\n @/t\nint Add(int a,\n   int b)\n{\n@/t"_s);
    const DocumentModel doc = Parsed(source);
    ASSERT_EQ(doc.count(), 1);
    EXPECT_EQ(doc.section(0).Position, source.indexOf(u"@section"_s));
    EXPECT_EQ(doc.section(0).Name, u"Add"_s);
    EXPECT_EQ(doc.section(0).Text, Crlf(u"   Adds.\n \n\n"_s));
    EXPECT_EQ(doc.section(0).Declaration, Crlf(u"int Add(int a,\n   int b)"_s));
}

TEST(Sections, UnnamedTypedAndBlockEndingSections) {
    const DocumentModel doc =
        Parsed(Crlf(u"\n@section \n @tone@/t\n// @section Typed\t name \n@section Last@/t\n @tcode\n@/t"_s));
    ASSERT_EQ(doc.count(), 3);
    EXPECT_EQ(doc.section(0).Name, u"PLEASE NAME THIS SECTION"_s);
    EXPECT_EQ(doc.section(0).Text, Crlf(u"one\n\n"_s));
    EXPECT_EQ(doc.section(1).Name, u"Typed  name"_s);
    EXPECT_EQ(doc.section(1).Text, Crlf(u"\n\n"_s));
    // The keyword line ended its comment block: no text belongs to it.
    EXPECT_EQ(doc.section(2).Name, u"Last"_s);
    EXPECT_EQ(doc.section(2).Text, QString());
    EXPECT_EQ(Parsed(u"x @section"_s).section(0).Name, u"PLEASE NAME THIS SECTION"_s);
    EXPECT_EQ(Parsed(u"no sections @Section here"_s).count(), 0);
}

// --- Declarations ---

TEST(Declarations, FromTheLineStartToTheLineWhereTheParenthesesClose) {
    const auto declaration = [](const QString& after) {
        return Parsed(Crlf(u"\n@section Foo\n @tdoc\n@/t\n"_s + after + u"\n@/t"_s)).section(0).Declaration;
    };
    EXPECT_EQ(declaration(u"Sub Foo(a, _\n  b) ' two lines\nEnd Sub"_s), Crlf(u"Sub Foo(a, \n  b) ' two lines"_s));
    EXPECT_EQ(declaration(u"x = FOO((1), (2) ) + 1"_s), u"x = FOO((1), (2) ) + 1"_s);
    EXPECT_EQ(declaration(u"int Foo(int a"_s), QString());
    EXPECT_EQ(declaration(u"int Foo (int a)"_s), QString());
    EXPECT_EQ(declaration(u"int MyFoo(a)"_s), u"int MyFoo(a)"_s);
    // A mention in the section's own text is found first; its "@t" goes.
    EXPECT_EQ(Parsed(Crlf(u"\n@section Foo\n @tFoo(a) adds\n@/t\nFoo(b)\n@/t"_s)).section(0).Declaration,
              u" Foo(a) adds"_s);
    // The search starts at the section: an earlier use does not count.
    EXPECT_EQ(Parsed(Crlf(u"Foo(early)\n@section Foo\n @tx@/t\n@/t"_s)).section(0).Declaration, QString());
    // Balanced at the very end of the text, without a line break after it.
    EXPECT_EQ(Parsed(u"@section f\r\n @tx@/t\r\nf(1)"_s).section(0).Declaration, u"f(1)"_s);
    // Bare LF or bare CR lines end a declaration too, however far the next CR LF.
    EXPECT_EQ(Parsed(u"@section f\r\n @tx@/t\r\nint f(a)\nnext\nlines\r\n"_s).section(0).Declaration, u"int f(a)"_s);
    EXPECT_EQ(Parsed(u"@section f\r\n @tx@/t\rold\rint f(a,\r b)\rnext"_s).section(0).Declaration, u"int f(a,\r b)"_s);
}

// --- Literal references for the indexed look-ups ---

QString LiteralName(const QString& text, qsizetype p) {
    qsizetype i = text.indexOf(u' ', p + 3);
    if (i < 0) {
        return u"PLEASE NAME THIS SECTION"_s;
    }
    while (i < text.size() && text[i] == u' ') {
        ++i;
    }
    qsizetype end = i;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') {
        ++end;
    }
    if (end >= text.size()) {
        return u"PLEASE NAME THIS SECTION"_s;
    }
    QString name = text.mid(i, end - i);
    name.replace(u'\t', u' ');
    name = TrimSpaces(name);
    return name.isEmpty() ? u"PLEASE NAME THIS SECTION"_s : name;
}

QString LiteralText(const QString& text, qsizetype p) {
    qsizetype n = text.indexOf(kSectionMarker, p + kSectionMarker.size());
    n = n < 0 ? text.size() : n + 1;  // n is 1-based in the rule
    QString result;
    qsizetype from = p;
    for (;;) {
        const qsizetype open = text.indexOf(u"@t"_s, from);
        if (open < 0 || open + 1 >= n) {
            break;
        }
        const qsizetype close = text.indexOf(u"@/t"_s, open + 2);
        if (close < 0 || close + 1 >= n) {
            break;
        }
        result += text.mid(open + 2, close - open - 2);
        from = close + 1;
    }
    return result + u"\r\n\r\n"_s;
}

QString LiteralDeclaration(const QString& text, const QString& name, qsizetype from) {
    const qsizetype q = text.indexOf(name + u"("_s, from, Qt::CaseInsensitive);
    if (q < 0) {
        return QString();
    }
    qsizetype opened = 0;
    qsizetype closed = 0;
    qsizetype end = -1;
    for (qsizetype j = q; j < text.size() && end < 0; ++j) {
        if (text[j] == u'(') {
            ++opened;
        } else if (text[j] == u')' && ++closed == opened) {
            qsizetype lineEnd = j;
            while (lineEnd < text.size() && text[lineEnd] != u'\r' && text[lineEnd] != u'\n') {
                ++lineEnd;
            }
            end = lineEnd;
        }
    }
    if (end < 0) {
        return QString();
    }
    qsizetype start = q;
    while (start > 0 && text[start - 1] != u'\r' && text[start - 1] != u'\n') {
        --start;
    }
    return CleanDeclaration(text.mid(start, end - start));
}

QString RandomSource(QRandomGenerator& random, const QStringList& names) {
    const QStringList pieces = {u"("_s,      u")"_s,      u"\r\n"_s, u"\n"_s,      u"\r"_s, u" "_s,
                                u"\t"_s,     u"_"_s,      u"@t"_s,   u"@/t"_s,     u"x"_s,  u"\u00df"_s,
                                u"\u1e9e"_s, u"\u212a"_s, u"k"_s,    u"@section"_s};
    QString text;
    const int count = random.bounded(1, 60);
    for (int k = 0; k < count; ++k) {
        const int choice = random.bounded(10);
        const QString& name = names[random.bounded(names.size())];
        if (choice == 0) {
            text += u"@section "_s + name + u"\r\n"_s;
        } else if (choice <= 2) {
            text += random.bounded(2) == 0 ? name.toUpper() + u"("_s : name;
        } else {
            text += pieces[random.bounded(pieces.size())];
        }
    }
    return text;
}

TEST(Sections, IndexedLookUpsGiveTheLiteralResults) {
    const QStringList names = {u"Add"_s, u"add"_s, u"f"_s, u"F(x"_s, u"stra\u00dfe"_s, u"x y"_s, u"("_s, u"a)"_s,
                               u"@/t"_s, u""_s, u"k"_s, u"\u212a"_s, u"Stra\u1e9eE"_s, u" @/t x"_s,
                               // Names that end alike split the edges of the look-up's trie.
                               u"b x y"_s, u"@b x y"_s, u"@/t y"_s};
    QRandomGenerator random(20240611);
    for (int round = 0; round < 3000; ++round) {
        const QString source = RandomSource(random, names);
        const DocumentModel doc = Parsed(source);
        const std::vector<qsizetype> tags = SectionTagPositions(source);
        ASSERT_EQ(doc.count(), static_cast<int>(tags.size())) << source.toStdString();
        // The texts kept as spans come out the same when put together.
        DocumentModel bySpans;
        bySpans.SourceText = source;
        SectionSpans spans;
        FillSections(bySpans, &spans);
        ASSERT_EQ(bySpans.count(), doc.count());
        for (int i = 0; i < doc.count(); ++i) {
            const qsizetype p = tags[static_cast<size_t>(i)];
            QString name = LiteralName(source, p);
            QString text = LiteralText(source, p);
            QString joined = u"kept"_s;
            spans.appendText(joined, source, i);
            ASSERT_EQ(joined, u"kept"_s + text) << source.toStdString();
            ASSERT_TRUE(bySpans.section(i).Text.isEmpty());
            if (name.contains(kTextCloseMarker)) {
                name.replace(kTextCloseMarker, u"   "_s);
                text.clear();
            }
            name = TrimSpaces(name);
            const SectionRecord& section = doc.section(i);
            ASSERT_EQ(section.Name, name) << source.toStdString();
            ASSERT_EQ(section.Text, text) << source.toStdString();
            ASSERT_EQ(section.Declaration, LiteralDeclaration(source, name, p)) << source.toStdString();
        }
    }
}

TEST(Sections, DegenerateInputStaysLinear) {
    // Thousands of sections over thousands of unbalanced parentheses, and a
    // long line full of typed tags: each would be quadratic if done literally.
    QString source;
    for (int i = 0; i < 3000; ++i) {
        source += u"@section f"_s + QString::number(i % 50) + u"\r\n @tf1(@/t\r\n"_s;
    }
    source += QString(200000, u'(') + u"\r\n"_s;
    for (int i = 0; i < 20000; ++i) {
        source += u"@section x "_s;
    }
    source += QString(100000, u'y') + u"\r\n"_s;
    const DocumentModel doc = Parsed(source);
    ASSERT_EQ(doc.count(), 23000);
    EXPECT_EQ(doc.section(0).Declaration, QString());
    EXPECT_EQ(doc.section(3000).Name.size(), QString(u"@section x "_s).size() * 19999 + 2 + 100000);
    // Past a budget of several times the text, such names end at the next tag.
    EXPECT_EQ(doc.section(12999).Name, u"x"_s);
    EXPECT_EQ(doc.section(22999).Name.size(), 2 + 100000);
}

}  // namespace

#include "extract/comment_scanner.h"
#include "support/testing.h"

#include "support/string_functions.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;
using tessarel::testing::Crlf;
using tessarel::testing::RandomText;
using tessarel::testing::RecordingUserInterface;

namespace {

template <typename Pass>
QString Applied(Pass pass, const QString& text) {
    QString result = text;
    pass(result);
    return result;
}

QString Leading(const QString& text, QChar mark) {
    return Applied([mark](QString& t) { BlankLeadingRuns(t, mark); }, text);
}
QString Trailing(const QString& text, QChar mark) {
    return Applied([mark](QString& t) { BlankTrailingRuns(t, mark); }, text);
}
QString BlockEnds(const QString& text, QChar mark) {
    return Applied([mark](QString& t) { CloseSingleLineBlocks(t, mark); }, text);
}

// --- Literal blocks ---

TEST(LiteralBlocks, ContentIsTrimmedAndEncodedCharacterByCharacter) {
    const auto encode = [](const QString& t) { return Applied([](QString& x) { EncodeLiteralBlocks(x); }, t); };
    EXPECT_EQ(encode(u"a {{A b}} c"_s), u"a &#65&#32&#98 c"_s);
    EXPECT_EQ(encode(u"{{ // }}x{{*}}"_s), u"&#47&#47x&#42"_s);
    EXPECT_EQ(encode(u"{{a}b}}"_s), u"&#97&#125&#98"_s);
    EXPECT_EQ(encode(u"{{{a}}}"_s), u"&#123&#97}"_s);
    EXPECT_EQ(encode(u"x{{}}y{{  }}z"_s), u"xyz"_s);
    EXPECT_EQ(encode(u"{{\U0001F600\u00e9}}"_s), u"&#128512&#233"_s);
}

TEST(LiteralBlocks, ALineBreakOrTheEndAbandonsTheBlock) {
    const auto encode = [](const QString& t) { return Applied([](QString& x) { EncodeLiteralBlocks(x); }, t); };
    EXPECT_EQ(encode(Crlf(u"{{a\nb}} {{c}}"_s)), Crlf(u"{{a\nb}} &#99"_s));
    EXPECT_EQ(encode(Crlf(u"{{a}\n}}"_s)), Crlf(u"{{a}\n}}"_s));
    EXPECT_EQ(encode(u"{{never closed"_s), u"{{never closed"_s);
    EXPECT_EQ(encode(u"{x{ {"_s), u"{x{ {"_s);
}

// --- Protection and escapes ---

TEST(WebAddresses, BothSchemesAreProtectedAndRestored) {
    const QString source = u"see http://a.b/c and https://d.e, not ftp://f"_s;
    const QString hidden = u"see http&#58&#47&#47a.b/c and https&#58&#47&#47d.e, not ftp://f"_s;
    EXPECT_EQ(Applied([](QString& t) { ProtectWebAddresses(t); }, source), hidden);
    EXPECT_EQ(Applied([](QString& t) { RestoreWebAddresses(t); }, hidden), source);
}

TEST(MarkerEscapes, EveryReservedPairIsEscaped) {
    EXPECT_EQ(Applied([](QString& t) { EscapeMarkers(t); }, u"@t@c@r@x@b@i@u::@s @section a:b :::"_s),
              u"&#64&#116&#64&#99&#64&#114&#64&#120&#64&#98&#64&#105&#64&#117&#58&#58@s @section a:b &#58&#58:"_s);
}

// --- Multi-line styles ---

TEST(MultiLineStyles, OpenersBecomeBlanksAndClosersEndTheBlock) {
    EXPECT_EQ(Applied([](QString& t) { CloseMultiLineComments(t, u"/*"_s, u"*/"_s); }, u"x /* a */ y /*/"_s),
              u"x    a @/t y   /"_s);
    EXPECT_EQ(Applied([](QString& t) { CloseMultiLineComments(t, u"(*"_s, u"*)"_s); }, u"(* a *)(*)"_s),
              u"   a @/t  )"_s);
}

TEST(MultiLineStyles, DoubledBracesSurviveTheBraceStyle) {
    EXPECT_EQ(Applied([](QString& t) { CloseBraceComments(t); }, u"{{a}} { b } {{{"_s), u"{{a}}    b @/t {{  "_s);
    // What stands for a doubled brace while single ones are replaced comes
    // back as one even when it was written in the text.
    EXPECT_EQ(Applied([](QString& t) { CloseBraceComments(t); }, u"[_un_+].. [_un_-].[_un_-].."_s), u"{{ [_un_-].}}"_s);
}

// --- Prefix-character styles ---

TEST(SingleLineBlocks, TheLastLineOfABlockIsClosedBeforeItsLineBreak) {
    EXPECT_EQ(BlockEnds(Crlf(u"\n# one\n  ## two\ncode\n"_s), u'#'), Crlf(u"\n# one\n  ## two@/t\ncode\n"_s));
    // A blank line ends a block; the block after it is found from its first line.
    EXPECT_EQ(BlockEnds(Crlf(u"\n# a\n\n# b\nxy"_s), u'#'), Crlf(u"\n# a@/t\n\n# b@/t\nxy"_s));
    EXPECT_EQ(BlockEnds(Crlf(u"\n' a\n \t\n' b\n'c\n!x"_s), u'\''), Crlf(u"\n' a@/t\n \t\n' b\n'c@/t\n!x"_s));
}

TEST(SingleLineBlocks, OnlyTheFirstVisibleCharacterStartsAComment) {
    EXPECT_EQ(BlockEnds(Crlf(u"\nx = 1 # no\ny\n"_s), u'#'), Crlf(u"\nx = 1 # no\ny\n"_s));
    // Any line starting with the character counts, "call" for the "c" style.
    EXPECT_EQ(BlockEnds(Crlf(u"\ncall x\ny\n"_s), u'c'), Crlf(u"\ncall x@/t\ny\n"_s));
    // The first line of the text has no line break before it.
    EXPECT_EQ(BlockEnds(Crlf(u"# a\nb\n"_s), u'#'), Crlf(u"# a\nb\n"_s));
}

TEST(SingleLineBlocks, LeadingRunsBecomeBlanksAtLineStarts) {
    EXPECT_EQ(Leading(Crlf(u"\n  ## a\n#b\n\nc#\n\t#\n"_s), u'#'), Crlf(u"\n     a\n b\n\nc#\n\t \n"_s));
    EXPECT_EQ(Leading(Crlf(u"#x\n#y"_s), u'#'), Crlf(u"#x\n y"_s));
}

TEST(SingleLineBlocks, TrailingRunsGoOnlyWhenTheyEndTheLine) {
    EXPECT_EQ(Trailing(u" a ###\r\n"_s, u'#'), u" a    \r\n"_s);
    EXPECT_EQ(Trailing(u" a\t#@/t\r\n"_s, u'#'), u" a\t @/t\r\n"_s);
    EXPECT_EQ(Trailing(u" a ### \r\n"_s, u'#'), u" a ### \r\n"_s);
    EXPECT_EQ(Trailing(u" a##\r\n"_s, u'#'), u" a##\r\n"_s);
    EXPECT_EQ(Trailing(u" a## #\r\n"_s, u'#'), u" a##  \r\n"_s);
    EXPECT_EQ(Trailing(u"#\r #"_s, u'#'), u"#\r #"_s);
}

// --- Double-slash style ---

TEST(DoubleSlashBlocks, CommentsAfterCodeAndOnFollowingLinesFormOneBlock) {
    const auto close = [](const QString& t) { return Applied([](QString& x) { CloseDoubleSlashBlocks(x); }, t); };
    EXPECT_EQ(close(Crlf(u"\nint a; // one\n  // two\nint b;\n"_s)), Crlf(u"\nint a; // one\n  // two@/t\nint b;\n"_s));
    EXPECT_EQ(close(Crlf(u"\nx // c\ny // d\nz"_s)), Crlf(u"\nx // c@/t\ny // d@/t\nz"_s));
    EXPECT_EQ(close(Crlf(u"\n// a\n/x\n"_s)), Crlf(u"\n// a@/t\n/x\n"_s));
    EXPECT_EQ(close(Crlf(u"\n// a\n\n// b\nz"_s)), Crlf(u"\n// a@/t\n\n// b@/t\nz"_s));
    EXPECT_EQ(close(Crlf(u"\n// see http&#58&#47&#47x.y/z\nz"_s)), Crlf(u"\n// see http&#58&#47&#47x.y/z@/t\nz"_s));
    EXPECT_EQ(close(u"a / b /"_s), u"a / b /"_s);
}

TEST(DoubleSlashBlocks, RunsOfTwoOrMoreSlashesAreBlanked) {
    EXPECT_EQ(Applied([](QString& x) { BlankDoubleSlashes(x); }, u"a / b // c /// d//"_s), u"a / b    c     d  "_s);
}

// --- Star decoration and separator lines ---

TEST(StarDecoration, ClosingStarRowsAreBlanked) {
    const auto stars = [](const QString& t) { return Applied([](QString& x) { BlankTrailingStars(x); }, t); };
    EXPECT_EQ(stars(u" a **\r\n"_s), u" a   \r\n"_s);
    EXPECT_EQ(stars(u"a** \t\r\n"_s), u"a   \t\r\n"_s);
    EXPECT_EQ(stars(u"x*@/t"_s), u"x @/t"_s);
    EXPECT_EQ(stars(u"a*b*\r"_s), u"a*b \r"_s);
    EXPECT_EQ(stars(u"* x\r* @/t"_s), u"* x\r* @/t"_s);
    EXPECT_EQ(Leading(Crlf(u"\n * a\n**/\n"_s), u'*'), Crlf(u"\n   a\n  /\n"_s));
}

TEST(SeparatorLines, RowsOfOneCharacterBeforeTheBlockEndAreBlanked) {
    const auto separators = [](const QString& t) { return Applied([](QString& x) { BlankSeparatorLines(x); }, t); };
    EXPECT_EQ(separators(Crlf(u"\n  =====@/t\n"_s)), Crlf(u"\n       @/t\n"_s));
    EXPECT_EQ(separators(Crlf(u"\n===abc @/t\nx"_s)), Crlf(u"\n       @/t\nx"_s));
    EXPECT_EQ(separators(u"---@/t"_s), u"   @/t"_s);
    for (const QString& kept : {u"\r\n ==x @/t"_s, u"\r\n== @/t"_s, u"\r\nx@y ===@/t"_s, u"\r\n=== =\r\n@/t"_s}) {
        EXPECT_EQ(separators(kept), kept);
    }
}

// --- All styles together ---

TEST(ScanComments, CStyleBlockWithStarsAndSeparators) {
    RecordingUserInterface ui;
    CommentStyles styles;  // "//", "'" and "/* */"
    QString text = Crlf(u"\n/*\n * function: Add\n * Adds.\n * =====\n */\nint Add(int a); // sum\nx"_s);
    ScanComments(text, styles, ui);
    EXPECT_EQ(text, Crlf(u"\n  \n   function: Add\n   Adds.\n   =====\n @/t\nint Add(int a);    sum@/t\nx"_s));
    EXPECT_EQ(ui.progressSteps, 2 + 2 + 3 + 2 + 1);
}

TEST(ScanComments, EveryStyleAtOnce) {
    RecordingUserInterface ui;
    CommentStyles styles{true, true, true, true, true, true, true, true, true, true};
    QString text = Crlf(u"\n# a #\n; b\n-- k\n! d\nC e\n' f\n{ g }\n(* h *)\nx\n"_s);
    ScanComments(text, styles, ui);
    // Each line is a block of its own style.
    EXPECT_EQ(text, Crlf(u"\n  a  @/t\n  b@/t\n   k@/t\n  d@/t\n  e@/t\n  f@/t\n   g @/t\n   h @/t\nx\n"_s));
    EXPECT_EQ(ui.progressSteps, StyleProgressSteps(styles) - 2 + 3);
}

// --- The one-copy passes against the replacements and walks as written ---

/// A walk of the prefix-character block ends as written: one state step per
/// character, the text rebuilt at each insertion, the walk going on after it.
QString LiteralBlockEnds(QString text, QChar k) {
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    int state = 0;
    qsizetype remembered = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (state == 0) {
            state = c == u'\n' ? 2 : 0;
        } else if (state == 2) {
            state = c == k ? 3 : blank(c) ? 2 : 0;
        } else if (state == 3) {
            state = c == k ? 3 : 4;
        } else if (state == 4) {
            if (c == u'\n') {
                remembered = i - 1;
                state = 6;
            }
        } else if (state == 6) {
            state = c == k ? 3 : blank(c) ? 6 : 7;
        } else {
            text.insert(remembered, u"@/t"_s);
            i = remembered + 3 - 1;
            state = 0;
        }
    }
    return text;
}

QString LiteralDoubleSlashEnds(QString text) {
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    int state = 0;
    qsizetype remembered = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        bool close = false;
        if (state == 0) {
            state = c == u'/' ? 2 : 0;
        } else if (state == 2) {
            state = c == u'/' ? 3 : 0;
        } else if (state == 3) {
            if (c == u'\r') {
                remembered = i;
                state = 4;
            }
        } else if (state == 4) {
            state = c == u'\n' ? 5 : 0;
        } else if (state == 5) {
            close = c != u'/' && !blank(c);
            state = c == u'/' ? 6 : 5;
        } else {
            close = c != u'/';
            state = 3;
        }
        if (close) {
            text.insert(remembered, u"@/t"_s);
            i = remembered + 3 - 1;
            state = 0;
        }
    }
    return text;
}

TEST(ScannerPasses, OneCopyPassesGiveTheLiteralResults) {
    const QStringList pieces = {u" "_s,         u"\t"_s,        u"\r\n"_s, u"\n"_s,   u"\r"_s,  u"/"_s,
                                u"*"_s,         u"("_s,         u")"_s,    u"{"_s,    u"}"_s,   u"#"_s,
                                u"x"_s,         u"@"_s,         u"t"_s,    u":"_s,    u"c"_s,   u"i"_s,
                                u"[_un_+].."_s, u"[_un_-].."_s, u"@/t"_s,  u"// a"_s, u"# b"_s, u"http://"_s};
    QRandomGenerator random(3);
    for (int round = 0; round < 20000; ++round) {
        const QString text = RandomText(random, pieces, 30);
        QString expected = text;
        ReplaceAll(expected, u"/*"_s, u"  "_s);
        ReplaceAll(expected, u"*/"_s, u"@/t"_s);
        ASSERT_EQ(Applied([](QString& t) { CloseMultiLineComments(t, u"/*"_s, u"*/"_s); }, text), expected)
            << text.toStdString();

        expected = text;
        for (const auto& [found, replacement] :
             {std::pair(u"{{"_s, u"[_un_+].."_s), std::pair(u"}}"_s, u"[_un_-].."_s), std::pair(u"{"_s, u"  "_s),
              std::pair(u"}"_s, u"@/t"_s), std::pair(u"[_un_+].."_s, u"{{"_s), std::pair(u"[_un_-].."_s, u"}}"_s)}) {
            ReplaceAll(expected, found, replacement);
        }
        ASSERT_EQ(Applied([](QString& t) { CloseBraceComments(t); }, text), expected) << text.toStdString();

        expected = text;
        for (const auto& [found, replacement] :
             {std::pair(u"@t"_s, u"&#64&#116"_s), std::pair(u"@c"_s, u"&#64&#99"_s), std::pair(u"@r"_s, u"&#64&#114"_s),
              std::pair(u"@x"_s, u"&#64&#120"_s), std::pair(u"@b"_s, u"&#64&#98"_s), std::pair(u"@i"_s, u"&#64&#105"_s),
              std::pair(u"@u"_s, u"&#64&#117"_s), std::pair(u"::"_s, u"&#58&#58"_s)}) {
            ReplaceAll(expected, found, replacement);
        }
        ASSERT_EQ(Applied([](QString& t) { EscapeMarkers(t); }, text), expected) << text.toStdString();

        ASSERT_EQ(BlockEnds(text, u'#'), LiteralBlockEnds(text, u'#')) << text.toStdString();
        ASSERT_EQ(BlockEnds(text, u'c'), LiteralBlockEnds(text, u'c')) << text.toStdString();
        ASSERT_EQ(Applied([](QString& t) { CloseDoubleSlashBlocks(t); }, text), LiteralDoubleSlashEnds(text))
            << text.toStdString();
    }
}

}  // namespace

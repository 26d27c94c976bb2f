// The comment scanner's passes, each against a reference: the replacements
// it stands for done one after another, or its walk done one character at a
// time with the runs blanked in a second and third walk over the result.

#include "extract/comment_scanner.h"
#include "extract/pass_context.h"
#include "extract/protection_passes.h"
#include "support/string_functions.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QRegularExpression>

using namespace tessarel;
using namespace Qt::Literals::StringLiterals;
using tessarel::testing::Crlf;
using tessarel::testing::RandomText;
using tessarel::testing::RecordingUserInterface;

namespace {

template <typename Pass>
QString Applied(Pass pass, QString text) {
    pass(text);
    return text;
}

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

// --- The reference passes ---

/// Prefix-character style, block ends: "@/t" before the CR of the last line of
/// every block of lines whose first non-blank character is `k`; one state step
/// per character, the text rebuilt at each insertion.
QString BlockEnds(QString text, QChar k) {
    int state = 0;
    qsizetype remembered = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (state == 0) {
            state = c == u'\n' ? 2 : 0;
        } else if (state == 2) {
            state = c == k ? 3 : IsBlank(c) ? 2 : 0;
        } else if (state == 3) {
            state = c == k ? 3 : 4;
        } else if (state == 4) {
            if (c == u'\n') {
                remembered = i - 1;
                state = 6;
            }
        } else if (state == 6) {
            state = c == k ? 3 : IsBlank(c) ? 6 : 7;
        } else {
            text.insert(remembered, u"@/t"_s);
            i = remembered + 3 - 1;
            state = 0;
        }
    }
    return text;
}

/// Double-slash style, block ends, walked as BlockEnds.
QString DoubleSlashEnds(QString text) {
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
            close = c != u'/' && !IsBlank(c);
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

/// Blanks every run of `k` for which `blanked(text, start, end)` holds; the
/// test reads the text as it was, not the runs blanked before.
template <typename Test>
QString BlankRuns(const QString& text, QChar k, Test blanked) {
    QString result = text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype end = i;
        while (end < text.size() && text[end] == k) {
            ++end;
        }
        if (end > i && blanked(text, i, end)) {
            result.replace(i, end - i, QString(end - i, u' '));
        }
        i = std::max(i, end);
    }
    return result;
}

/// After a CR LF and blanks.
QString LeadingRuns(const QString& text, QChar k) {
    return BlankRuns(text, k, [](const QString& t, qsizetype start, qsizetype) {
        qsizetype b = start;
        while (b > 0 && IsBlank(t[b - 1])) {
            --b;
        }
        return b >= 2 && t[b - 1] == u'\n' && t[b - 2] == u'\r';
    });
}

/// After a blank, directly before a CR or "@/t".
QString TrailingRuns(const QString& text, QChar k) {
    return BlankRuns(text, k, [](const QString& t, qsizetype start, qsizetype end) {
        return start >= 1 && IsBlank(t[start - 1]) && (t.mid(end, 1) == u"\r"_s || t.mid(end, 3) == u"@/t"_s);
    });
}

/// Before "@/t", or before blanks and a CR.
QString TrailingStars(const QString& text) {
    return BlankRuns(text, u'*', [](const QString& t, qsizetype, qsizetype end) {
        if (t.mid(end, 3) == u"@/t"_s) {
            return true;
        }
        while (end < t.size() && IsBlank(t[end])) {
            ++end;
        }
        return end < t.size() && t[end] == u'\r';
    });
}

QString DoubleSlashes(const QString& text) {
    return BlankRuns(text, u'/', [](const QString&, qsizetype start, qsizetype end) { return end - start >= 2; });
}

// --- The passes against them ---

TEST(ScannerPasses, RandomTextsGiveWhatTheReferencesGive) {
    // Runs, markers and line ends cut at every place a walk's step can end,
    // and texts that end in the middle of a marker or a run.
    const QStringList pieces = {u" "_s,  u"\t"_s,      u"\r\n"_s,    u"\r\n"_s,     u"\n"_s,       u"\r"_s,
                                u"#"_s,  u"##"_s,      u"c"_s,       u"*"_s,        u"**"_s,       u"/"_s,
                                u"//"_s, u"@/t"_s,     u"@/"_s,      u"@"_s,        u"t"_s,        u"x"_s,
                                u"-"_s,  u"\r\n# x"_s, u"\r\n  #"_s, u"\r\n// x"_s, u"code // y"_s};
    QRandomGenerator random(14);
    PassContext context;
    for (int round = 0; round < 40000; ++round) {
        const QString text = RandomText(random, pieces, 30);
        for (const QChar mark : {u'#', u'c', u'-'}) {
            ASSERT_EQ(Applied([&](QString& t) { CloseAndBlankSingleLineBlocks(t, mark, &context); }, text),
                      TrailingRuns(LeadingRuns(BlockEnds(text, mark), mark), mark))
                << QString(mark).toStdString() << " " << text.toStdString();
        }
        ASSERT_EQ(Applied([&](QString& t) { CloseAndBlankDoubleSlashBlocks(t, &context); }, text),
                  DoubleSlashes(DoubleSlashEnds(text)))
            << text.toStdString();
        ASSERT_EQ(Applied([](QString& t) { BlankStarDecoration(t); }, text), TrailingStars(LeadingRuns(text, u'*')))
            << text.toStdString();
    }
    // Many blocks in a long text: the result outgrows its buffer between steps.
    QString text;
    for (int line = 0; line < 3000; ++line) {
        text += (line % 3 == 2) ? u"code ##\r\n"_s : u"  ## note ##\r\n"_s;
    }
    const QString expected = TrailingRuns(LeadingRuns(BlockEnds(text, u'#'), u'#'), u'#');
    ASSERT_NE(expected, text);
    ASSERT_EQ(Applied([](QString& t) { CloseAndBlankSingleLineBlocks(t, u'#'); }, text), expected);
}

TEST(ScannerPasses, OneCopyPassesGiveTheReplacementsInTurn) {
    const QStringList pieces = {u" "_s,    u"\t"_s,  u"\r\n"_s,    u"\n"_s, u"\r"_s,        u"/"_s,         u"*"_s,
                                u"("_s,    u")"_s,   u"{"_s,       u"}"_s,  u"#"_s,         u"x"_s,         u"@"_s,
                                u"t"_s,    u":"_s,   u"c"_s,       u"i"_s,  u"[_un_+].."_s, u"[_un_-].."_s, u"@/t"_s,
                                u"// a"_s, u"# b"_s, u"http://"_s, u"1"_s,  u";"_s};
    const auto replaced = [](QString text, std::initializer_list<std::pair<QString, QString>> pairs) {
        for (const auto& [found, replacement] : pairs) {
            ReplaceAll(text, found, replacement);
        }
        return text;
    };
    QRandomGenerator random(3);
    for (int round = 0; round < 20000; ++round) {
        const QString text = RandomText(random, pieces, 30);
        ASSERT_EQ(Applied([](QString& t) { CloseMultiLineComments(t, u"/*"_s, u"*/"_s); }, text),
                  replaced(text, {{u"/*"_s, u"  "_s}, {u"*/"_s, u"@/t"_s}}))
            << text.toStdString();
        ASSERT_EQ(Applied([](QString& t) { CloseBraceComments(t); }, text), replaced(text, {{u"{{"_s, u"[_un_+].."_s},
                                                                                            {u"}}"_s, u"[_un_-].."_s},
                                                                                            {u"{"_s, u"  "_s},
                                                                                            {u"}"_s, u"@/t"_s},
                                                                                            {u"[_un_+].."_s, u"{{"_s},
                                                                                            {u"[_un_-].."_s, u"}}"_s}}))
            << text.toStdString();
        // Before a digit or ";" an escape's last reference is ended: the pairs
        // replaced one after another, with a mark for that ";" where one is due.
        static const QRegularExpression kMarker(u"@[tcrxbiu]|::"_s);
        QString marked;
        qsizetype copied = 0;
        for (auto it = kMarker.globalMatch(text); it.hasNext();) {
            const qsizetype end = it.next().capturedEnd();
            marked += QStringView(text).sliced(copied, end - copied);
            if (end < text.size() && (text[end] == u'1' || text[end] == u';')) {
                marked += u'\x01';
            }
            copied = end;
        }
        marked += QStringView(text).sliced(copied);
        ASSERT_EQ(Applied([](QString& t) { EscapeMarkers(t); }, text), replaced(marked, {{u"@t"_s, u"&#64&#116"_s},
                                                                                         {u"@c"_s, u"&#64&#99"_s},
                                                                                         {u"@r"_s, u"&#64&#114"_s},
                                                                                         {u"@x"_s, u"&#64&#120"_s},
                                                                                         {u"@b"_s, u"&#64&#98"_s},
                                                                                         {u"@i"_s, u"&#64&#105"_s},
                                                                                         {u"@u"_s, u"&#64&#117"_s},
                                                                                         {u"::"_s, u"&#58&#58"_s},
                                                                                         {u"\x01"_s, u";"_s}}))
            << text.toStdString();
    }
}

// --- Cases the random texts seldom reach ---

TEST(ScannerPasses, BlockEndsOfBothLineCommentStyles) {
    const auto hashes = [](const QString& t) {
        return Applied([](QString& x) { CloseAndBlankSingleLineBlocks(x, u'#'); }, Crlf(t));
    };
    EXPECT_EQ(hashes(u"\n# one\n  ## two ##\ncode\n"_s), Crlf(u"\n  one\n     two   @/t\ncode\n"_s));
    // A blank line ends a block; code before the character starts none.
    EXPECT_EQ(hashes(u"\n# a\n\n# b\nx = 1 # no\ny"_s), Crlf(u"\n  a@/t\n\n  b@/t\nx = 1 # no\ny"_s));
    // The first line of the text has no line break before it.
    EXPECT_EQ(hashes(u"# a\nb\n"_s), Crlf(u"# a\nb\n"_s));

    const auto slashes = [](const QString& t) {
        return Applied([](QString& x) { CloseAndBlankDoubleSlashBlocks(x); }, Crlf(t));
    };
    EXPECT_EQ(slashes(u"\nint a; // one\n  // two\nint b; /// x\ny"_s),
              Crlf(u"\nint a;    one\n     two@/t\nint b;     x@/t\ny"_s));
    EXPECT_EQ(slashes(u"\n// see http&#58&#47&#47x.y/z\nz"_s), Crlf(u"\n   see http&#58&#47&#47x.y/z@/t\nz"_s));
}

TEST(ScannerPasses, LiteralBlocksAndSeparatorLines) {
    const auto encode = [](const QString& t) { return Applied([](QString& x) { EncodeLiteralBlocks(x); }, t); };
    EXPECT_EQ(encode(u"a {{A b}} c{{ // }}x{{}}y"_s), u"a &#65&#32&#98 c&#47&#47xy"_s);
    EXPECT_EQ(encode(u"{{a}b}}{{{a}}}"_s), u"&#97&#125&#98&#123&#97}"_s);
    EXPECT_EQ(encode(u"{{\U0001F600\u00e9}}"_s), u"&#128512&#233"_s);
    // The last reference is ended where a digit or ";" follows, and only there.
    EXPECT_EQ(encode(u"{{<}}1 {{a}}; {{b}}c {{}}2"_s), u"&#60;1 &#97;; &#98c 2"_s);
    // A line break or the end abandons a block.
    EXPECT_EQ(encode(Crlf(u"{{a\nb}} {{c}} {{never"_s)), Crlf(u"{{a\nb}} &#99 {{never"_s));

    const auto separators = [](const QString& t) { return Applied([](QString& x) { BlankSeparatorLines(x); }, t); };
    EXPECT_EQ(separators(Crlf(u"\n  =====@/t\n===abc @/t\nx"_s)), Crlf(u"\n       @/t\n       @/t\nx"_s));
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
    // The styles' passes, star decoration and separator lines.
    EXPECT_EQ(ui.progressSteps, StyleProgressSteps(styles) + 2 + 1);
    EXPECT_EQ(StyleProgressSteps(styles), 2 + 2 + 3);
}

TEST(ScanComments, EveryStyleAtOnce) {
    RecordingUserInterface ui;
    CommentStyles styles{true, true, true, true, true, true, true, true, true, true};
    QString text = Crlf(u"\n# a #\n; b\n-- k\n! d\nC e\n' f\n{ g }\n(* h *)\nx\n"_s);
    ScanComments(text, styles, ui);
    // Each line is a block of its own style.
    EXPECT_EQ(text, Crlf(u"\n  a  @/t\n  b@/t\n   k@/t\n  d@/t\n  e@/t\n  f@/t\n   g @/t\n   h @/t\nx\n"_s));
    EXPECT_EQ(ui.progressSteps, StyleProgressSteps(styles) + 2 + 1);
    EXPECT_EQ(StyleProgressSteps(styles), 2 + 2 + 4 + 6 + 2 + 5 * 3);
}

}  // namespace

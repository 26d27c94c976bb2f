#include "extract/emphasis.h"
#include "support/string_functions.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

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

// The single-character cases live in the randomized comparison below; here
// the passes together, the underline pass (which that comparison leaves out)
// and the progress they report.
TEST(Emphasis, AllThreePassesInOrderWithTheirProgress) {
    RecordingUserInterface ui;
    CommentStyles styles;  // "/* */" on, "(* *)" off
    QString text = u" *b* /i/ _u_ my_var_name /* *c* */\r\n"_s;
    FormatEmphasis(text, styles, ui);
    EXPECT_EQ(text, u" <b>b</b> <i>i</i> <u>u</u> my_var_name /* <b>c</b> */\r\n"_s);
    EXPECT_EQ(ui.progressSteps, 4);
    styles.parenStar = true;
    FormatEmphasis(text, styles, ui);
    EXPECT_EQ(ui.progressSteps, 4 + 5);
}

/// The walk as written: one state step per character, the text rebuilt at
/// each replacement, the delimiters really replaced by placeholders.
QString LiteralEmphasis(QString text, QChar m, const QString& openTag, const QString& closeTag, const QString& opener,
                        const QString& closer) {
    const QString hiddenOpener = u"<[[[!^^++]]]>"_s;
    const QString hiddenCloser = u"<[[[!^^--]]]>"_s;
    if (!opener.isEmpty()) {
        ReplaceAll(text, opener, hiddenOpener);
        ReplaceAll(text, closer, hiddenCloser);
    }
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    int state = 0;
    qsizetype open = 0;
    qsizetype close = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (state == 0) {
            state = blank(c) || c == u'\n' ? 1 : 0;
        } else if (state == 1) {
            state = c == m ? 2 : 0;
            open = i;
        } else if (state == 2) {
            state = c != m && !blank(c) && c != u'\r' && c != u'\n' ? 3 : 0;
        } else if (state == 3) {
            if (c == u'\r') {
                state = 0;
            } else if (c == m) {
                close = i;
                state = 4;
            }
        } else if (QStringView(u"\r \t:;.),").contains(c)) {
            const QString inserted = openTag + TrimSpaces(text.mid(open + 1, close - open - 1)) + closeTag;
            text = text.left(open) + inserted + text.mid(close + 1);
            i = open + inserted.size() - 1;
            state = 0;
        } else {
            open = close;
            state = 2;
        }
    }
    if (!opener.isEmpty()) {
        ReplaceAll(text, hiddenOpener, opener);
        ReplaceAll(text, hiddenCloser, closer);
    }
    return text;
}

TEST(Emphasis, TheWalkGivesTheLiteralResults) {
    // Every piece that steers the walk, the placeholders and their start included.
    const QStringList pieces =
        u" |\t|\r\n|\n|\r|*|/|_|a|bc|.|)|:|(*|*)|/*|*/|(|<[[[!^^++]]]>|<[[[!^^--]]]>|<[[[!^^"_s.split(u'|');
    QRandomGenerator random(99);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int count = random.bounded(0, 30);
        for (int k = 0; k < count; ++k) {
            text += pieces[random.bounded(pieces.size())];
        }
        const bool hide = random.bounded(2) == 0;
        ASSERT_EQ(Bold(text, hide),
                  LiteralEmphasis(text, u'*', u"<b>"_s, u"</b>"_s, hide ? u"(*"_s : QString(), u"*)"_s))
            << text.toStdString() << hide;
        ASSERT_EQ(Italic(text, hide),
                  LiteralEmphasis(text, u'/', u"<i>"_s, u"</i>"_s, hide ? u"/*"_s : QString(), u"*/"_s))
            << text.toStdString() << hide;
    }
}

}  // namespace

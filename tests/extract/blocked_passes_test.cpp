// The passes run block by block against the same passes run over the whole
// text one after another, on random texts made of what steers them: marks,
// delimiters, comment prefixes, keyword lines, lines of blanks and every kind
// of line end, cut into blocks of a few characters.

#include "extract/blocked_passes.h"
#include "extract/comment_scanner.h"
#include "extract/emphasis.h"
#include "extract/keyword_parser.h"
#include "extract/protection_passes.h"

#include "support/testing.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace tessarel;
using tessarel::testing::RandomText;
using namespace Qt::Literals::StringLiterals;

namespace {

/// The passes one after another over the whole text, as the parser ran them.
QString OneByOne(QString text, const CommentStyles& styles, int* steps) {
    tessarel::testing::RecordingUserInterface ui;
    FormatEmphasis(text, styles, ui);
    EscapeMarkers(text);
    ui.advanceProgress();
    ScanComments(text, styles, ui);
    ConvertKeywordLines(text);
    ui.advanceProgress();
    *steps = ui.progressSteps;
    return text;
}

CommentStyles RandomStyles(QRandomGenerator& random) {
    const quint32 bits = random.bounded(1U << 10);
    CommentStyles styles;
    bool* const flags[] = {&styles.doubleSlash, &styles.apostrophe, &styles.hash,        &styles.semicolon,
                           &styles.dash,        &styles.letterC,    &styles.exclamation, &styles.slashStar,
                           &styles.parenStar,   &styles.braces};
    for (int i = 0; i < 10; ++i) {
        *flags[i] = ((bits >> i) & 1U) != 0;
    }
    return styles;
}

const QStringList kPieces = {
    u"\r\n"_s,
    u"\r\n"_s,
    u"\r\n  \r\n"_s,
    u"\r\n\r\n"_s,
    u"\n"_s,
    u"\r"_s,
    u" "_s,
    u"\t"_s,
    u"x"_s,
    u"Name"_s,
    u"*"_s,
    u"/"_s,
    u"_"_s,
    u"(*"_s,
    u"*)"_s,
    u"/*"_s,
    u"*/"_s,
    u"{"_s,
    u"}"_s,
    u"{{"_s,
    u"}}"_s,
    u"@t"_s,
    u"@/t"_s,
    u"::"_s,
    u"@"_s,
    u":"_s,
    u";"_s,
    u"c "_s,
    u"C"_s,
    u"//"_s,
    u"'"_s,
    u"#"_s,
    u"-"_s,
    u"!"_s,
    u"***"_s,
    u"==="_s,
    u"."_s,
    u"function: "_s,
    u"Type:"_s,
    u"<[[[!^^++]]]>"_s,
    u"<[[[!^^--]]]>"_s,
    u"[_un_+].."_s,
    u"[_un_-].."_s,
    u"1"_s,
};

TEST(BlockedPasses, GiveWhatThePassesGiveOneAfterAnother) {
    QRandomGenerator random(26);
    int cut = 0;
    for (int round = 0; round < 6000; ++round) {
        const QString text = RandomText(random, kPieces, 80);
        const CommentStyles styles = round % 4 == 0
                                         ? CommentStyles{true, true, true, true, true, true, true, true, true, true}
                                         : RandomStyles(random);
        int steps = 0;
        const QString expected = OneByOne(text, styles, &steps);
        ASSERT_EQ(steps, BlockedPassSteps(styles));
        for (const qsizetype blockChars : {1, 4, 12, 40}) {
            cut += PassBlockEnds(text, blockChars).empty() ? 0 : 1;
            QString blocked = text;
            RunBlockedPasses(blocked, styles, nullptr, blockChars);
            ASSERT_EQ(blocked, expected) << "blocks of " << blockChars << ": " << text.toStdString();
        }
    }
    // Many texts were cut into blocks.
    EXPECT_GT(cut, 6000);
}

TEST(BlockedPasses, CutAtLinesOfBlanksOnly) {
    const QString text = u"ab\r\n\r\ncd\r\n \t \r\nef\r\nx \r\n"_s;
    // Each block from the one before's closing CR LF to the CR LF after a line of blanks.
    EXPECT_EQ(PassBlockEnds(text, 1), (std::vector<qsizetype>{6, 15, text.size()}));
    EXPECT_EQ(PassBlockEnds(text, 7), (std::vector<qsizetype>{15, text.size()}));
    // A block that would hold more than 16 times the block's size runs the text whole.
    EXPECT_TRUE(PassBlockEnds(u"x"_s.repeated(40) + u"\r\n\r\n"_s + u"y"_s.repeated(40), 2).empty());
    EXPECT_TRUE(PassBlockEnds(text, text.size()).empty());
}

}  // namespace

#include "support/string_functions.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace tessarel;

namespace {
QString S(const char* text) { return QString::fromUtf8(text); }
}  // namespace

TEST(ReplaceAll, EveryOccurrenceOnceGoingOnAfterTheInsertedText) {
    const std::tuple<QString, QString, QString, QString> cases[] = {
        {S("abab"), S("ab"), S("abab"), S("abababab")},
        {S("xaxbx"), S("x"), S("[x]"), S("[x]a[x]b[x]")},
        // An empty search or replacement, or an empty text, changes nothing.
        {S("a-b-c"), S("-"), QString(), S("a-b-c")},
        {S("a-b-c"), QString(), S("x"), S("a-b-c")},
        {QString(), S("a"), S("b"), QString()},
    };
    for (auto [text, found, replacement, expected] : cases) {
        ReplaceAll(text, found, replacement);
        EXPECT_EQ(text, expected) << found.toStdString();
    }
}

TEST(ExpandLineFeeds, GivesWhatReplacingEveryLineFeedGivesWithOrWithoutRoom) {
    const QString texts[] = {
        S("\n"),
        S("\n\n\nx\n"),
        S("one\ntwo\n\nthree"),
        S("no feed at all"),
        QString(),
        // Lines longer than a block of the search, and characters beyond Latin-1.
        S("a much longer first line than eight characters\n\u00e9t\u00e9 \u4e2d\u6587\nlast"),
        // More line feeds than a counting lane holds.
        QString(300000, u'\n') + S("x\n"),
    };
    for (const QString& original : texts) {
        for (const qsizetype from : {qsizetype{0}, qsizetype{2}}) {
            QString expected = original.left(from) + original.mid(from).replace(u'\n', S("\r\n"));
            for (const bool room : {false, true}) {
                QString text = original;
                if (room) {
                    text.reserve(original.size() * 3);
                }
                const QString shared = text;
                EXPECT_EQ(ExpandLineFeeds(text, from), expected != original) << original.toStdString();
                EXPECT_EQ(text, expected) << original.toStdString() << " from " << from;
                EXPECT_EQ(shared, original);
            }
        }
    }
}

TEST(ReplaceAllFrom, StartsAtThePositionAndMayDelete) {
    QString text = S("\\\\host\\\\share\\\\x");
    ReplaceAllFrom(2, text, S("\\\\"), S("\\"));
    EXPECT_EQ(text, S("\\\\host\\share\\x"));
    QString dashes = S("a-b-c");
    ReplaceAllFrom(3, dashes, S("-"), QString());
    EXPECT_EQ(dashes, S("a-bc"));
}

TEST(ReplaceFirst, OnlyTheFirst) {
    QString text = S("(a(b(");
    ReplaceFirst(text, S("("), S("(<br> "));
    EXPECT_EQ(text, S("(<br> a(b("));
}

TEST(ReplaceWord, NeedsADelimiterOfItsOwnOnBothSides) {
    QString text = S("x a x b\r\nx\tx ax xa x");
    ReplaceWord(text, S("x"), S("y"));
    // Start and end of the text are not delimiters; "ax" and "xa" are not words.
    EXPECT_EQ(text, S("x a y b\r\ny\ty ax xa x"));
    // Two words sharing a delimiter are not both replaced by one pair.
    QString shared = S("a x x b");
    ReplaceWord(shared, S("x"), S("y"));
    EXPECT_EQ(shared, S("a y x b"));
}

TEST(ReplaceWord, PairsRunInTheirFixedOrder) {
    // " _\r\n" is matched by the space/CR LF pair; the line-feed pair then sees
    // a word that no longer exists.
    QString text = S("f(a, _\r\n  b)");
    ReplaceWord(text, S("_"), QString());
    EXPECT_EQ(text, S("f(a, \r\n  b)"));
}

TEST(ReplaceWordExtended, AlsoAfterParenthesisAndAroundStars) {
    QString text = S("f(Item a, *Item b, Item*c)");
    ReplaceWordExtended(text, S("Item"), S("<a>Item</a>"));
    EXPECT_EQ(text, S("f(<a>Item</a> a, *<a>Item</a> b, <a>Item</a>*c)"));
}

TEST(MidRangeAndReplaceRange, UseInclusiveAndExclusiveEnds) {
    EXPECT_EQ(MidRange(S("abcdef"), 2, 4), S("bcd"));
    EXPECT_EQ(MidRange(S("abcdef"), 3, 2), QString());
    EXPECT_EQ(MidRange(S("abc"), 3, 10), S("c"));
    QString text = S("abcdef");
    ReplaceRange(text, 2, 5, S("XY"));
    EXPECT_EQ(text, S("aXYef"));
}

TEST(BlankOutTags, KeepsTheLength) {
    QString text = S("a<b>c");
    BlankOutTags(text);
    EXPECT_EQ(text, S("a   c"));
    QString open = S("x<y");
    BlankOutTags(open);
    EXPECT_EQ(open, S("x  "));
    QString nested = S("<a <b> c>d");
    BlankOutTags(nested);
    EXPECT_EQ(nested, S("       c>d"));
}

TEST(TrimSpacesAndNumberValue, MatchTheStoredForms) {
    EXPECT_EQ(TrimSpaces(S("  a b\t ")), S("a b\t"));
    EXPECT_EQ(TrimSpaces(S("\r\n x \r\n")), S("\r\n x \r\n"));
    EXPECT_EQ(NumberValue(S(" 1")), 1);
    EXPECT_EQ(NumberValue(S("1")), 1);
    EXPECT_EQ(NumberValue(S(" 0")), 0);
    EXPECT_EQ(NumberValue(S("-1")), -1);
    EXPECT_EQ(NumberValue(S("2x")), 2);
    EXPECT_EQ(NumberValue(S("yes")), 0);
    EXPECT_EQ(NumberValue(QString()), 0);
    EXPECT_EQ(NumberValue(S("99999999999")), 2147483647);
}

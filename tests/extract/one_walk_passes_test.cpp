// Passes that do in one walk what several replacements did one after
// another, checked against them on random texts made of the pieces that steer
// them; the searches against the library's; and walks that jump to the next
// character that can change their state, at the ends of texts where a jump
// finds nothing.

#include "extract/block_formatters.h"
#include "extract/keyword_parser.h"
#include "extract/lists.h"
#include "extract/protection_passes.h"
#include "extract/text_search.h"

#include "support/string_functions.h"
#include "support/testing.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>

using namespace tessarel;
using tessarel::testing::RandomText;
using namespace Qt::Literals::StringLiterals;

namespace {

template <typename Pass>
QString Applied(Pass pass, QString text) {
    pass(text);
    return text;
}

TEST(OneWalkPasses, WebAddressesAsTheTwoReplacementsInTurn) {
    const QStringList pieces = {u"http"_s, u"https"_s, u"s"_s, u"h"_s, u"://"_s, u":/"_s, u"/"_s, u"&#58&#47&#47"_s,
                                u"&#58"_s, u"&#47"_s,  u"&"_s, u" "_s, u"x"_s,   u"1"_s,  u";"_s};
    // Before a digit or ";" the hidden form ends its last reference with ";".
    static const QRegularExpression kBeforeDigit(u"(https?)://(?=[1;])"_s);
    static const QRegularExpression kEndedBeforeDigit(u"(https?)&#58&#47&#47;(?=[1;])"_s);
    QRandomGenerator random(12);
    for (int round = 0; round < 20000; ++round) {
        const QString text = RandomText(random, pieces, 16);
        QString hidden = QString(text).replace(kBeforeDigit, u"\\1&#58&#47&#47;"_s);
        ReplaceAll(hidden, u"http://"_s, u"http&#58&#47&#47"_s);
        ReplaceAll(hidden, u"https://"_s, u"https&#58&#47&#47"_s);
        ASSERT_EQ(Applied([](QString& t) { ProtectWebAddresses(t); }, text), hidden) << text.toStdString();
        QString restored = QString(text).replace(kEndedBeforeDigit, u"\\1://"_s);
        ReplaceAll(restored, u"http&#58&#47&#47"_s, u"http://"_s);
        ReplaceAll(restored, u"https&#58&#47&#47"_s, u"https://"_s);
        ASSERT_EQ(Applied([](QString& t) { RestoreWebAddresses(t); }, text), restored) << text.toStdString();
        if (!text.contains(u"&#58&#47&#47"_s)) {
            ASSERT_EQ(Applied([](QString& t) { RestoreWebAddresses(t); }, hidden), text) << text.toStdString();
        }
    }
}

TEST(Searches, FindWhatTheLibraryFinds) {
    // Lengths around the eight characters the search reads at once.
    const QStringList pieces = {u"a"_s, u"@"_s, u"@/t"_s, u"\r\n"_s, u"\u00e9"_s, u"\U0001F600"_s, u"/"_s};
    const QStringList needles = {u"@"_s,       u"\r"_s,     u"@/t"_s,        u"\r\n"_s, u"a@"_s,
                                 u"@/t\r\n"_s, u"\u00e9"_s, u"\U0001F600"_s, u"z"_s};
    QRandomGenerator random(13);
    for (int round = 0; round < 5000; ++round) {
        const QString text = RandomText(random, pieces, 40);
        const QStringView view(text);
        for (const QString& needle : needles) {
            for (qsizetype from = 0; from <= text.size() + 1; ++from) {
                ASSERT_EQ(FindText(view, needle, from), view.indexOf(needle, from))
                    << text.toStdString() << " from " << from;
            }
        }
        for (qsizetype from = 0; from <= text.size(); ++from) {
            const qsizetype found = view.indexOf(u'@', from);
            ASSERT_EQ(FindChar(view.utf16(), view.size(), from, u'@'), found < 0 ? view.size() : found);
        }
    }
}

// The two searches in turn: every opener left to right, then every closer
// not overlapping an opener or a closer taken before it.
std::vector<std::pair<qsizetype, bool>> LiteralOpenersThenClosers(const QString& text, const QString& opener,
                                                                  const QString& closer) {
    std::vector<std::pair<qsizetype, bool>> all;
    std::vector<qsizetype> openers;
    for (qsizetype at = text.indexOf(opener); at >= 0; at = text.indexOf(opener, at + opener.size())) {
        openers.push_back(at);
        all.emplace_back(at, false);
    }
    for (qsizetype at = text.indexOf(closer); at >= 0; at = text.indexOf(closer, at + 1)) {
        const bool overlaps = std::any_of(openers.begin(), openers.end(), [&](qsizetype o) {
            return o < at + closer.size() && at < o + opener.size();
        });
        if (!overlaps) {
            all.emplace_back(at, true);
            at += closer.size() - 1;
        }
    }
    std::sort(all.begin(), all.end());
    return all;
}

TEST(Searches, OpenersThenClosersAsTheTwoSearchesInTurn) {
    // Delimiter pairs sharing their middle character take one walk; the others
    // (a doubled character, longer ones) the two searches.
    const QList<std::pair<QString, QString>> pairs = {
        {u"/*"_s, u"*/"_s}, {u"(*"_s, u"*)"_s}, {u"{"_s, u"}"_s}, {u"**"_s, u"*/"_s}, {u"<!--"_s, u"-->"_s}};
    const QStringList pieces = {u"/"_s, u"*"_s, u"("_s, u")"_s, u"x"_s, u"{"_s, u"}"_s, u"<!--"_s, u"-"_s, u">"_s};
    QRandomGenerator random(14);
    for (int round = 0; round < 20000; ++round) {
        const QString text = RandomText(random, pieces, 24);
        for (const auto& [opener, closer] : pairs) {
            ASSERT_EQ(OpenersThenClosers(text, opener, closer), LiteralOpenersThenClosers(text, opener, closer))
                << text.toStdString() << " " << opener.toStdString() << " " << closer.toStdString();
        }
    }
}

TEST(SkippingWalks, TextsEndingWhileAWalkWaits) {
    const auto paragraphs = [](QString& t) { FormatParagraphs(t); };
    EXPECT_EQ(Applied(paragraphs, u"a\r\n  \r\n"_s), u"a\r\n  \r\n@p"_s);
    EXPECT_EQ(Applied(paragraphs, u"a\r\n\r"_s), u"a\r\n\r"_s);
    EXPECT_EQ(Applied(paragraphs, u"a long line without any break"_s), u"a long line without any break"_s);

    const auto tables = [](QString& t) { FormatDefinitionTables(t); };
    EXPECT_EQ(Applied(tables, u"x\r\nterm - text"_s),
              u"x\r\n\r\n<table class=DefTable>\r\n<tr class=Def>\r\n<td class=Def>\r\nterm\r\n</td>\r\n"
              u"<td class=DefSep>-</td>\r\n<td class=DefText>\r\ntext\r\n</td>\r\n</tr>\r\n</table>\r\n"_s);
    EXPECT_EQ(Applied(tables, u"a term without a dash"_s), u"a term without a dash"_s);

    const auto afterLists = [](QString& t) { FormatHeadingsAfterLists(t); };
    EXPECT_EQ(Applied(afterLists, u"</ul>\r\n\r\nNext"_s), u"</ul>\r\n\r\nNext"_s);
    EXPECT_EQ(Applied(afterLists, u"</ul>\r\n\r\nNext: a"_s), u"</ul>\r\n\r\n<h4>Next</h4> a"_s);
    const auto afterEmpty = [](QString& t) { FormatHeadingsAfterEmptyLines(t); };
    EXPECT_EQ(Applied(afterEmpty, u"a\r\n\r\nTitle"_s), u"a\r\n\r\nTitle"_s);
    EXPECT_EQ(Applied(afterEmpty, u"a\r\n\r\nTitle: x"_s), u"a\r\n\r\n<h4>Title</h4> x"_s);
    EXPECT_EQ(Applied([](QString& t) { FormatBulletLists(t); }, u"o a\r\nb"_s), u"<ul>\r\n<li>a\r\nb</ul>"_s);

    const auto keywords = [](QString& t) { ConvertKeywordLines(t); };
    EXPECT_EQ(Applied(keywords, u"\r\nfunction: f"_s), u"\r\nfunction: f"_s);
    EXPECT_EQ(Applied(keywords, u"\r\nfunction: f\r"_s), u"\r\nfunction: f\r"_s);
    const auto escapes = [](QString& t) { EscapeMarkers(t); };
    EXPECT_EQ(Applied(escapes, u"a@"_s), u"a@"_s);
    EXPECT_EQ(Applied(escapes, u"12345678:"_s), u"12345678:"_s);
    EXPECT_EQ(Applied(escapes, u"1234567@t"_s), u"1234567&#64&#116"_s);
}

}  // namespace

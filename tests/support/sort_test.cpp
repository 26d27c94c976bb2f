#include "support/sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <utility>
#include <vector>

using namespace Qt::Literals::StringLiterals;

using namespace tessarel;

TEST(Sort, IgnoresLetterCaseAndPutsPunctuationAfterLetters) {
    QStringList list{u"beta"_s, u"Alpha"_s, u"gamma"_s, u"_under"_s, u"zeta"_s, QString()};
    SortStrings(list, 0, list.size() - 1);
    EXPECT_EQ(list, (QStringList{QString(), u"Alpha"_s, u"beta"_s, u"gamma"_s, u"zeta"_s, u"_under"_s}));
}

TEST(Sort, EqualKeysKeepTheirOrder) {
    std::vector<std::pair<QString, int>> items;
    for (int i = 0; i < 50; ++i) {
        items.emplace_back(i % 2 ? u"KEY"_s : u"key"_s, i);
    }
    items.emplace_back(u"a"_s, 99);
    SortRange(items, 0, static_cast<qsizetype>(items.size()) - 1, [](const auto& item) { return item.first; });
    EXPECT_EQ(items.front().second, 99);
    for (size_t i = 1; i < items.size(); ++i) {
        EXPECT_EQ(items[i].second, static_cast<int>(i) - 1);
    }
}

TEST(Sort, OnlyTheGivenRangeMoves) {
    QStringList list{u"z"_s, u"c"_s, u"b"_s, u"a"_s};
    SortStrings(list, 1, 3);
    EXPECT_EQ(list, (QStringList{u"z"_s, u"a"_s, u"b"_s, u"c"_s}));
    SortStrings(list, 2, 2);
    SortStrings(list, 3, 1);
    SortStrings(list, 0, 10);
    EXPECT_EQ(list.first(), u"z"_s);
}

// The keyed sort must give exactly the order of comparing the keys themselves,
// ties included, for any text: letters of every case and script, marks that
// sort after letters, units beyond Latin-1 and lone surrogates; for a large
// range too, whose halves are sorted apart and merged.
TEST(Sort, KeyedOrderEqualsComparingTheKeys) {
    const char16_t alphabet[] = {u'a',
                                 u'A',
                                 u'b',
                                 u'B',
                                 u'z',
                                 u'_',
                                 u'^',
                                 u' ',
                                 u'0',
                                 u'\u00e9',
                                 u'\u00c9',
                                 u'\u00df',
                                 u'\u00ff',
                                 u'\u0178',
                                 u'\u01c5',
                                 u'\u03c3',
                                 u'\u03a3',
                                 u'\u0131',
                                 char16_t{0xd801},
                                 char16_t{0xdc28}};
    std::mt19937 random(15);
    for (int round = 0; round < 42; ++round) {
        // The last rounds are large enough to be sorted in two halves on two threads.
        const int count = round < 40 ? 300 : static_cast<int>(kSortOnTwoThreads) * 2 + round;
        std::vector<std::pair<QString, int>> items;
        for (int i = 0; i < count; ++i) {
            QString text;
            const int length = static_cast<int>(random() % 5);
            for (int c = 0; c < length; ++c) {
                text.append(QChar(alphabet[random() % std::size(alphabet)]));
            }
            items.emplace_back(text, i);
        }
        auto expected = items;
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto& a, const auto& b) { return CompareSortKeys(a.first, b.first) < 0; });
        SortRange(items, 0, static_cast<qsizetype>(items.size()) - 1,
                  [](const auto& item) -> const QString& { return item.first; });
        ASSERT_EQ(items, expected) << "round " << round;
    }
}

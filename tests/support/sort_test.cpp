#include "support/sort.h"

#include <gtest/gtest.h>

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

#include "support/sort.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace tessarel;

TEST(Sort, IgnoresLetterCaseAndPutsPunctuationAfterLetters) {
    QStringList list{QStringLiteral("beta"), QStringLiteral("Alpha"), QStringLiteral("gamma"),
                     QStringLiteral("_under"), QStringLiteral("zeta"), QString()};
    SortStrings(list, 0, list.size() - 1);
    EXPECT_EQ(list, (QStringList{QString(), QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("gamma"),
                                 QStringLiteral("zeta"), QStringLiteral("_under")}));
}

TEST(Sort, EqualKeysKeepTheirOrder) {
    std::vector<std::pair<QString, int>> items;
    for (int i = 0; i < 50; ++i) {
        items.emplace_back(i % 2 ? QStringLiteral("KEY") : QStringLiteral("key"), i);
    }
    items.emplace_back(QStringLiteral("a"), 99);
    SortRange(items, 0, static_cast<qsizetype>(items.size()) - 1, [](const auto& item) { return item.first; });
    EXPECT_EQ(items.front().second, 99);
    for (size_t i = 1; i < items.size(); ++i) {
        EXPECT_EQ(items[i].second, static_cast<int>(i) - 1);
    }
}

TEST(Sort, OnlyTheGivenRangeMoves) {
    QStringList list{QStringLiteral("z"), QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")};
    SortStrings(list, 1, 3);
    EXPECT_EQ(list, (QStringList{QStringLiteral("z"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    SortStrings(list, 2, 2);
    SortStrings(list, 3, 1);
    SortStrings(list, 0, 10);
    EXPECT_EQ(list.first(), QStringLiteral("z"));
}

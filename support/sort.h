#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace tessarel {

/// The one comparison of every sort: keys compared in upper case, character code
/// by character code ("a" equals "A"; "_" and "^" sort after every letter).
int CompareSortKeys(const QString& a, const QString& b);

/// Sorts elements lo..hi (inclusive) by key. Elements whose keys compare equal
/// keep their relative order, so two builds of the same project give the same
/// pages. An empty or one-element range is left untouched.
template <typename Container, typename KeyOf>
void SortRange(Container& items, qsizetype lo, qsizetype hi, KeyOf keyOf) {
    if (lo >= hi || lo < 0 || hi >= static_cast<qsizetype>(items.size())) {
        return;
    }
    auto first = items.begin() + lo;
    auto last = items.begin() + hi + 1;
    std::stable_sort(first, last,
                     [&keyOf](const auto& a, const auto& b) { return CompareSortKeys(keyOf(a), keyOf(b)) < 0; });
}

inline void SortStrings(QStringList& list, qsizetype lo, qsizetype hi) {
    SortRange(list, lo, hi, [](const QString& s) -> const QString& { return s; });
}

}  // namespace tessarel

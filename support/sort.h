#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace tessarel {

/// The one comparison of every sort: keys compared in upper case, character code
/// by character code ("a" equals "A"; "_" and "^" sort after every letter).
int CompareSortKeys(const QString& a, const QString& b);

/// The key CompareSortKeys compares: every UTF-16 unit in upper case, so two
/// keys compare as their units do.
QString UpperSortKey(const QString& key);

/// Whether upper-case key `a` sorts before `b`: unit by unit, a prefix first.
inline bool SortKeyBefore(const QString& a, const QString& b) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(a.utf16()), static_cast<size_t>(a.size())) <
           std::u16string_view(reinterpret_cast<const char16_t*>(b.utf16()), static_cast<size_t>(b.size()));
}

/// Sorts elements lo..hi (inclusive) by key, in CompareSortKeys' order.
/// Elements whose keys compare equal keep their relative order, so two builds
/// of the same project give the same pages. An empty or one-element range is
/// left untouched.
template <typename Container, typename KeyOf>
void SortRange(Container& items, qsizetype lo, qsizetype hi, KeyOf keyOf) {
    if (lo >= hi || lo < 0 || hi >= static_cast<qsizetype>(items.size())) {
        return;
    }
    // Each key is put in upper case once, not at every one of n log n comparisons.
    struct Slot {
        QString key;
        qsizetype index;
    };
    std::vector<Slot> slots;
    slots.reserve(static_cast<size_t>(hi - lo + 1));
    for (qsizetype i = lo; i <= hi; ++i) {
        slots.push_back({UpperSortKey(keyOf(std::as_const(items)[i])), i});
    }
    std::stable_sort(slots.begin(), slots.end(),
                     [](const Slot& a, const Slot& b) { return SortKeyBefore(a.key, b.key); });
    std::vector<typename Container::value_type> sorted;
    sorted.reserve(slots.size());
    for (const Slot& slot : slots) {
        sorted.push_back(std::move(items[slot.index]));
    }
    for (size_t i = 0; i < sorted.size(); ++i) {
        items[lo + static_cast<qsizetype>(i)] = std::move(sorted[i]);
    }
}

inline void SortStrings(QStringList& list, qsizetype lo, qsizetype hi) {
    SortRange(list, lo, hi, [](const QString& s) -> const QString& { return s; });
}

}  // namespace tessarel

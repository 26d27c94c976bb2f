#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <exception>
#include <string_view>
#include <system_error>
#include <thread>
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

/// From this many elements a sort makes and sorts the keys of its second half
/// on a thread of its own (the index of a large book), then merges the halves.
inline constexpr qsizetype kSortOnTwoThreads = 16384;

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
        qsizetype index = 0;
    };
    const auto before = [](const Slot& a, const Slot& b) { return SortKeyBefore(a.key, b.key); };
    const qsizetype count = hi - lo + 1;
    std::vector<Slot> slots(static_cast<size_t>(count));
    // Slots from..to-1, each written by one thread only; the items are only read.
    const auto sortPart = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            slots[static_cast<size_t>(i)] = {UpperSortKey(keyOf(std::as_const(items)[lo + i])), lo + i};
        }
        std::stable_sort(slots.begin() + from, slots.begin() + to, before);
    };
    if (count < kSortOnTwoThreads) {
        sortPart(0, count);
    } else {
        // A stable merge of two stably sorted halves is the stable sort of the whole.
        const qsizetype half = count / 2;
        std::exception_ptr failure;
        std::thread second;
        try {
            second = std::thread([&] {
                try {
                    sortPart(half, count);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: the second half is sorted here, first.
            sortPart(half, count);
        }
        try {
            sortPart(0, half);
        } catch (...) {
            if (second.joinable()) {
                second.join();
            }
            throw;
        }
        if (second.joinable()) {
            second.join();
        }
        if (failure) {
            std::rethrow_exception(failure);
        }
        std::inplace_merge(slots.begin(), slots.begin() + half, slots.end(), before);
    }
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

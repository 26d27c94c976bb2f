#pragma once

// Which section names stand at a word start of a text; the cross-reference
// linker's look-up.

#include "extract/cross_references.h"

#include <QStringView>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace tessarel {

/// The targets by their names, found in a text by their first word (up to the
/// first space). The tables are flat: a hit in the text costs a probe of one
/// table slot, the name's characters in one pool and its sections in one
/// array, whatever the number of sections, since with a hundred thousand names
/// every separate allocation is a cache miss.
///
/// Names are keyed by their whole text, and each distinct first word has a head
/// that lists the lengths of the longer names starting with it. Many names
/// sharing a first word ("Open File 1" ... "Open File 9999") then cost one
/// probe per distinct length where the word stands, not one comparison each.
class NameFinder {
public:
    /// Where a name was found: the first target of the name, its slot in the
    /// first-word table and the position in the text.
    struct Place {
        int leader;
        std::uint32_t slot;
        qsizetype at;
    };

    explicit NameFinder(const std::vector<LinkTarget>& targets);

    /// Appends where each target's name stands at a word start (after a
    /// delimiter, or after "(" that follows one).
    void findPlaces(QStringView text, std::vector<Place>& places) const;

    /// Whether `target` is the first target of its name.
    bool leads(int target) const { return slots_[slotOf_[static_cast<size_t>(target)]].leader == target; }
    /// The slot of the name of `target`.
    std::uint32_t slotOf(int target) const { return slotOf_[static_cast<size_t>(target)]; }
    qsizetype nameLength(std::uint32_t slot) const { return static_cast<qsizetype>(slots_[slot].nameLength); }

    /// The first section after `after` that bears the name in `slot`, other
    /// than the text's own; -1 when none is left.
    int nextMember(std::uint32_t slot, int after, int section) const {
        const Member* first = members_.data() + slots_[slot].firstMember;
        const Member* last = first + slots_[slot].memberCount;
        for (const Member *it =
                 std::upper_bound(first, last, after, [](int x, const Member&m) { return x < m.target; });
             it != last; ++it) {
            if (it->section != section) {
                return it->target;
            }
        }
        return -1;
    }

private:
    /// One distinct name in the name table.
    struct Slot {
        std::uint32_t tag = 0;  ///< high half of the name's hash
        int leader = -1;        ///< the name's first target; -1: an empty slot
        std::uint32_t nameOffset = 0;
        std::uint32_t nameLength = 0;
        std::uint32_t firstLength = 0;
        std::uint32_t firstMember = 0;  ///< the name's sections in `members_`
        std::uint32_t memberCount = 0;
    };
    static constexpr std::uint32_t kNoSlot = std::numeric_limits<std::uint32_t>::max();
    /// Marks a length in `lengths_` that some name has; the others are steps
    /// that only keep a long name from being hashed whole at every mention
    /// of its first word.
    static constexpr std::uint32_t kNameLength = 0x80000000U;
    /// One distinct first word.
    struct Head {
        std::uint32_t tag = 0;         ///< high half of the first word's hash
        std::uint32_t wordOffset = 0;  ///< the word's characters in the pool
        std::uint32_t wordLength = 0;
        std::uint32_t wordSlot = kNoSlot;  ///< the name that is this word alone
        int wordLeader = -1;               ///< its first target
        std::uint32_t lengthsBegin = 0;    ///< the longer names' lengths in `lengths_`, ascending
        std::uint32_t lengthsEnd = 0;
        bool used = false;
    };
    struct Member {
        int target;
        int section;
    };
    struct Longer;

    std::pair<size_t, size_t> filterBits(std::uint64_t hash) const;
    void setFilter(std::uint64_t hash);
    bool mayHold(std::uint64_t hash) const;
    void addToHead(std::uint32_t slot, std::uint64_t wordHash, std::vector<Longer>& longer);
    void buildLengths(std::vector<Longer>& longer);
    bool continuesPast(std::uint64_t hash) const;
    void findNamesAt(const char16_t* s, qsizetype n, qsizetype c, qsizetype b, std::vector<Place>& places) const;
    Q_NEVER_INLINE void findLongerNames(const Head& head, const char16_t* s, qsizetype n, qsizetype c,
                                        std::uint64_t state, std::vector<Place>& places) const;
    void findName(const char16_t* s, qsizetype c, qsizetype length, std::uint64_t hash,
                  std::vector<Place>& places) const;

    std::vector<Slot> slots_;  ///< open addressing by the name's hash, half empty at most
    size_t tableMask_ = 0;
    std::vector<Head> heads_;  ///< open addressing by the first word's hash
    size_t headMask_ = 0;
    std::vector<std::uint32_t> lengths_;
    std::vector<std::uint64_t> prefixes_;  ///< open addressing of prefix hashes; 0: empty
    std::uint64_t prefixMask_ = 0;
    std::vector<std::uint64_t> filter_;
    int filterShift_ = 0;
    std::vector<char16_t> pool_;  ///< every distinct name's characters
    std::vector<Member> members_;
    std::vector<std::uint32_t> slotOf_;  ///< by target: the slot of its name
    std::vector<std::uint8_t> firstWordLengths_;
};

}  // namespace tessarel

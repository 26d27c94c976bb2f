#include "extract/cross_references.h"

#include "extract/document_model.h"
#include "extract/linked_text.h"
#include "support/user_interface.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <queue>
#include <utility>

namespace tessarel {

// Linking is specified as, for every target name and every text, nine
// whole-word replacements over sixteen delimiter pairs, each a full pass over
// the text. That is quadratic in the number of sections, so the linker finds
// the mentions first and applies the same replacements, in the same order,
// only where a name stands.
//
// Every replacement only inserts: "@goto[" before the name and "]" after it.
// A text is therefore kept as its original characters plus the strings
// inserted between them. A name without "@", "[" or "]" can only match
// original characters with nothing inserted between them, since every
// inserted string holds one of those characters; its matches are found among
// the places where it stood in the original text. A name with one of them
// could match across inserted text and is applied literally, as is a name
// with blanks at its ends or line breaks in it, which the parser never makes.

namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

inline bool IsSpaceLike(char16_t c) {
    // Space, tab, CR and LF as bits, since every character of a text is asked.
    return c <= u' ' && ((0x100002600ULL >> c) & 1) != 0;
}
/// The last character of a left delimiter (CR LF, LF, space, tab).
inline bool EndsLeftDelimiter(char16_t c) { return c == u' ' || c == u'\t' || c == kLf; }

bool IsLiteralName(const QString& name) {
    return name.contains(u'@') || name.contains(u'[') || name.contains(u']');
}

/// A name as the parser leaves it: no tab or line break, no blank at either end.
/// Only such a name is found by its first word.
bool IsCleanName(const QString& name) {
    return !name.isEmpty() && name.front() != u' ' && name.back() != u' ' && !name.contains(u'\t') &&
           !name.contains(kCr) && !name.contains(kLf);
}

/// Where a name was found: the first target of the name, its slot in the
/// first-word table and the position in the text.
struct Place {
    int leader;
    std::uint32_t slot;
    qsizetype at;
};

/// The places of one name, a run of `Place`s.
struct PlaceGroup {
    int leader;
    std::uint32_t slot;
    std::uint32_t begin;
    std::uint32_t end;
};

/// Working buffers of one linker, kept from text to text so that linking a
/// text allocates nothing once they have grown.
struct LinkScratch {
    std::vector<Place> places;
    std::vector<PlaceGroup> groups;
    std::vector<std::pair<int, std::uint32_t>> runs;  ///< heap of (target to run as, group)
    std::vector<std::uint16_t> fits;                  ///< per place of the running name: patterns it fits
    std::vector<std::uint8_t> marks;                  ///< per text position: a link text inserted before it
    std::vector<std::pair<qsizetype, bool>> inserts;  ///< (position, whether "@goto[")
    QString out;
};

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
class NameLinker {
public:
    explicit NameLinker(const std::vector<LinkTarget>& targets) : targets_(targets) {
        const size_t count = targets.size();
        literal_.resize(count);
        clean_.resize(count);
        slotOf_.assign(count, 0);
        slots_.resize(TableSizeFor(count));
        tableMask_ = slots_.size() - 1;
        heads_.resize(slots_.size());
        headMask_ = tableMask_;
        // A bit filter of about eight bits per name stays in the second-level
        // cache and turns most words away before the table is touched.
        size_t filterBits = 512;
        filterShift_ = 55;
        while (filterBits < 8 * count) {
            filterBits *= 2;
            --filterShift_;
        }
        filter_.assign(filterBits / 64, 0);
        qsizetype poolSize = 0;
        for (const LinkTarget& target : targets) {
            poolSize += target.name.size();
        }
        pool_.reserve(static_cast<size_t>(poolSize));

        std::vector<int> leaderOf(count);
        std::vector<std::uint32_t> memberCount(count, 0);
        std::vector<Longer> longer;
        for (size_t t = 0; t < count; ++t) {
            const QString& name = targets[t].name;
            clean_[t] = IsCleanName(name);
            literal_[t] = IsLiteralName(name) || !clean_[t];
            const qsizetype space = name.indexOf(u' ');
            const qsizetype firstLength = space < 0 ? name.size() : space;
            const char16_t* chars = QStringView(name).utf16();
            std::uint64_t state = Hashed(kHashBasis, chars, 0, firstLength);
            const std::uint64_t wordHash = Mix(state);
            const std::uint64_t hash = Mix(Hashed(state, chars, firstLength, name.size()));
            // Sections of the same name are found once, through the first.
            std::uint32_t i = static_cast<std::uint32_t>(hash & tableMask_);
            int leader = -1;
            for (; slots_[i].leader >= 0; i = static_cast<std::uint32_t>((i + 1) & tableMask_)) {
                const Slot& slot = slots_[i];
                if (slot.tag == Tag(hash) && slot.nameLength == static_cast<std::uint32_t>(name.size()) &&
                    std::equal(chars, chars + name.size(), pool_.data() + slot.nameOffset)) {
                    leader = slot.leader;
                    break;
                }
            }
            if (leader >= 0) {
                leaderOf[t] = leader;
                ++memberCount[static_cast<size_t>(leader)];
                continue;
            }
            leaderOf[t] = static_cast<int>(t);
            ++memberCount[t];
            Slot& slot = slots_[i];
            slot.tag = Tag(hash);
            slot.leader = static_cast<int>(t);
            slot.nameOffset = static_cast<std::uint32_t>(pool_.size());
            slot.nameLength = static_cast<std::uint32_t>(name.size());
            slot.firstLength = static_cast<std::uint32_t>(firstLength);
            slotOf_[t] = i;
            pool_.insert(pool_.end(), chars, chars + name.size());
            addToHead(i, wordHash, longer);
            if (firstWordLengths_.size() <= static_cast<size_t>(firstLength)) {
                firstWordLengths_.resize(static_cast<size_t>(firstLength) + 1, 0);
            }
            firstWordLengths_[static_cast<size_t>(firstLength)] = 1;
            if (literal_[t]) {
                literalTargets_.push_back(static_cast<int>(t));
                if (!clean_[t]) {
                    uncleanTargets_.push_back(static_cast<int>(t));
                }
            }
        }
        if (!longer.empty()) {
            buildLengths(longer);
        }
        // Every name's sections in one array, in target order.
        std::uint32_t next = 0;
        for (size_t t = 0; t < count; ++t) {
            if (leaderOf[t] == static_cast<int>(t)) {
                Slot& slot = slots_[slotOf_[t]];
                slot.firstMember = next;
                slot.memberCount = 0;
                next += memberCount[t];
            }
        }
        members_.resize(count);
        for (size_t t = 0; t < count; ++t) {
            Slot& slot = slots_[slotOf_[static_cast<size_t>(leaderOf[t])]];
            members_[slot.firstMember + slot.memberCount++] = {static_cast<int>(t), targets[t].section};
        }
    }

    void link(QString& text, int section, LinkScratch& scratch) const {
        if (text.isEmpty()) {
            return;
        }
        // Where each target's name stands at a word start (after a delimiter,
        // or after "(" that follows one).
        std::vector<Place>& places = scratch.places;
        places.clear();
        const char16_t* s = QStringView(text).utf16();
        const qsizetype n = text.size();
        qsizetype a = 0;
        while (a < n) {
            while (a < n && IsSpaceLike(s[a])) {
                ++a;
            }
            qsizetype b = a;
            while (b < n && !IsSpaceLike(s[b])) {
                ++b;
            }
            if (a < b && a > 0 && EndsLeftDelimiter(s[a - 1])) {
                findNamesAt(s, n, a, b, places);
                if (s[a] == u'(' && a + 1 < b) {
                    findNamesAt(s, n, a + 1, b, places);
                }
            }
            a = b;
        }
        if (places.empty() && uncleanTargets_.empty()) {
            return;
        }
        // By name, each name's places in text order (a name is found at most
        // once at a position).
        std::sort(places.begin(), places.end(), [](const Place& x, const Place& y) {
            return x.leader != y.leader ? x.leader < y.leader : x.at < y.at;
        });
        std::vector<PlaceGroup>& groups = scratch.groups;
        groups.clear();
        for (size_t k = 0; k < places.size();) {
            size_t end = k;
            while (end < places.size() && places[end].leader == places[k].leader) {
                ++end;
            }
            groups.push_back({places[k].leader, places[k].slot, static_cast<std::uint32_t>(k),
                              static_cast<std::uint32_t>(end)});
            k = end;
        }
        if (literalTargets_.empty()) {
            linkCleanNames(text, section, scratch);
        } else {
            linkAnyNames(text, section, scratch);
        }
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
        std::uint32_t tag = 0;          ///< high half of the first word's hash
        std::uint32_t wordOffset = 0;   ///< the word's characters in the pool
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

    static constexpr std::uint64_t kHashBasis = 0xcbf29ce484222325ULL;
    static constexpr std::uint64_t kHashPrime = 0x100000001b3ULL;

    static std::uint64_t Mix(std::uint64_t h) {
        h ^= h >> 31;
        h *= 0xbf58476d1ce4e5b9ULL;
        h ^= h >> 29;
        return h;
    }
    /// The hash state after `s[from]` to `s[to - 1]` follow `state`.
    static std::uint64_t Hashed(std::uint64_t state, const char16_t* s, qsizetype from, qsizetype to) {
        for (qsizetype k = from; k < to; ++k) {
            state = (state ^ s[k]) * kHashPrime;
        }
        return state;
    }
    static std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

    std::pair<size_t, size_t> filterBits(std::uint64_t hash) const {
        const std::uint64_t g = hash * 0x9e3779b97f4a7c15ULL;
        return {static_cast<size_t>(g >> filterShift_), static_cast<size_t>((g << 16) >> filterShift_)};
    }
    void setFilter(std::uint64_t hash) {
        const auto [x, y] = filterBits(hash);
        filter_[x / 64] |= std::uint64_t{1} << (x % 64);
        filter_[y / 64] |= std::uint64_t{1} << (y % 64);
    }
    bool mayHold(std::uint64_t hash) const {
        const auto [x, y] = filterBits(hash);
        return ((filter_[x / 64] >> (x % 64)) & (filter_[y / 64] >> (y % 64)) & 1) != 0;
    }

    static size_t TableSizeFor(size_t count) {
        size_t size = 16;
        while (size < 2 * count) {
            size *= 2;
        }
        return size;
    }

    /// A name longer than its first word, by its head.
    struct Longer {
        std::uint32_t head;
        std::uint32_t length;
        std::uint32_t slot;
        bool operator<(const Longer& other) const {
            return head != other.head ? head < other.head : length < other.length;
        }
    };

    /// Files the new name in `slot` under the head of its first word.
    void addToHead(std::uint32_t slot, std::uint64_t wordHash, std::vector<Longer>& longer) {
        const Slot& name = slots_[slot];
        const char16_t* word = pool_.data() + name.nameOffset;
        std::uint32_t i = static_cast<std::uint32_t>(wordHash & headMask_);
        for (; heads_[i].used; i = static_cast<std::uint32_t>((i + 1) & headMask_)) {
            const Head& head = heads_[i];
            if (head.tag == Tag(wordHash) && head.wordLength == name.firstLength &&
                std::equal(word, word + name.firstLength, pool_.data() + head.wordOffset)) {
                break;
            }
        }
        Head& head = heads_[i];
        if (!head.used) {
            head.used = true;
            head.tag = Tag(wordHash);
            head.wordOffset = name.nameOffset;
            head.wordLength = name.firstLength;
            setFilter(wordHash);
        }
        if (name.nameLength == name.firstLength) {
            head.wordSlot = slot;
            head.wordLeader = name.leader;
        } else {
            longer.push_back({i, name.nameLength, slot});
        }
    }

    /// The lengths each head lists and the hashes of the longer names'
    /// prefixes at those lengths.
    void buildLengths(std::vector<Longer>& longer) {
        std::sort(longer.begin(), longer.end());
        for (size_t k = 0; k < longer.size();) {
            const std::uint32_t index = longer[k].head;
            Head& head = heads_[index];
            head.lengthsBegin = static_cast<std::uint32_t>(lengths_.size());
            // Steps at doubling distances from the word's end, so that going on
            // past a step costs at most what the text already matched.
            std::uint32_t step = head.wordLength + 8;
            for (; k < longer.size() && longer[k].head == index; ++k) {
                const std::uint32_t length = longer[k].length;
                // The last length listed is always a name's.
                if (lengths_.size() > head.lengthsBegin && (lengths_.back() & ~kNameLength) == length) {
                    continue;
                }
                for (; step < length; step = head.wordLength + 2 * (step - head.wordLength)) {
                    lengths_.push_back(step);
                }
                if (step == length) {
                    step = head.wordLength + 2 * (step - head.wordLength);
                }
                lengths_.push_back(length | kNameLength);
            }
            head.lengthsEnd = static_cast<std::uint32_t>(lengths_.size());
        }
        // A longer name may still stand in a text only while the text so far
        // is a prefix of one: the hashes of every name's prefixes at the
        // lengths before its own.
        std::vector<std::uint64_t> prefixes;
        for (const Longer& name : longer) {
            const Head& head = heads_[name.head];
            const char16_t* chars = pool_.data() + slots_[name.slot].nameOffset;
            std::uint64_t state = kHashBasis;
            qsizetype hashed = 0;
            for (std::uint32_t e = head.lengthsBegin; e < head.lengthsEnd; ++e) {
                const std::uint32_t length = lengths_[e] & ~kNameLength;
                if (length >= name.length) {
                    break;
                }
                state = Hashed(state, chars, hashed, length);
                hashed = length;
                prefixes.push_back(Mix(state));
            }
        }
        prefixes_.assign(TableSizeFor(prefixes.size()), 0);
        prefixMask_ = prefixes_.size() - 1;
        for (const std::uint64_t hash : prefixes) {
            const std::uint64_t key = hash == 0 ? 1 : hash;
            std::uint64_t i = key & prefixMask_;
            while (prefixes_[i] != 0 && prefixes_[i] != key) {
                i = (i + 1) & prefixMask_;
            }
            prefixes_[i] = key;
        }
    }

    /// Whether some name goes on past a prefix of this hash (or, rarely, a
    /// prefix whose hash is the same).
    bool continuesPast(std::uint64_t hash) const {
        const std::uint64_t key = hash == 0 ? 1 : hash;
        for (std::uint64_t i = key & prefixMask_; prefixes_[i] != 0; i = (i + 1) & prefixMask_) {
            if (prefixes_[i] == key) {
                return true;
            }
        }
        return false;
    }

    /// Records the targets whose names start at `c`; the word from `c` runs to
    /// `b`. A one-word name may be followed in the word by ".", ",", ";", "("
    /// or ")" and by ")" with ".", "," or ";"; a longer name's first word ends
    /// at a space.
    void findNamesAt(const char16_t* s, qsizetype n, qsizetype c, qsizetype b, std::vector<Place>& places) const {
        const qsizetype whole = b - c;
        const auto isPunctuation = [](char16_t ch) {
            return ch == u'.' || ch == u',' || ch == u';' || ch == u'(' || ch == u')';
        };
        // Shortest first, so that one running hash serves all three lengths.
        qsizetype lengths[3];
        int variants = 0;
        if (whole >= 3 && s[b - 2] == u')' && (s[b - 1] == u'.' || s[b - 1] == u',' || s[b - 1] == u';')) {
            lengths[variants++] = whole - 2;
        }
        if (whole >= 2 && isPunctuation(s[b - 1])) {
            lengths[variants++] = whole - 1;
        }
        lengths[variants++] = whole;
        std::uint64_t state = kHashBasis;
        qsizetype hashed = 0;
        for (int v = 0; v < variants; ++v) {
            const qsizetype length = lengths[v];
            // Most words are no name's first word by their length alone.
            if (static_cast<size_t>(length) >= firstWordLengths_.size() ||
                firstWordLengths_[static_cast<size_t>(length)] == 0) {
                continue;
            }
            for (; hashed < length; ++hashed) {
                state = (state ^ s[c + hashed]) * kHashPrime;
            }
            const std::uint64_t hash = Mix(state);
            if (!mayHold(hash)) {
                continue;
            }
            const Head* head = nullptr;
            for (std::uint32_t i = static_cast<std::uint32_t>(hash & headMask_); heads_[i].used;
                 i = static_cast<std::uint32_t>((i + 1) & headMask_)) {
                const Head& h = heads_[i];
                if (h.tag == Tag(hash) && h.wordLength == static_cast<std::uint32_t>(length) &&
                    std::equal(s + c, s + c + length, pool_.data() + h.wordOffset)) {
                    head = &h;
                    break;
                }
            }
            if (head == nullptr) {
                continue;
            }
            if (head->wordLeader >= 0) {
                places.push_back({head->wordLeader, head->wordSlot, c});
            }
            // A longer name has a space after its first word; as the word holds
            // no blank, any name that stands here past it has this first word.
            if (head->lengthsBegin != head->lengthsEnd && c + length < n && s[c + length] == u' ') {
                findLongerNames(*head, s, n, c, state, places);
            }
        }
    }

    /// Records the names longer than the first word of `head` that start at
    /// `c`; `state` is the hash state after the word. Kept out of line, since
    /// most words are at most a one-word name.
    Q_NEVER_INLINE void findLongerNames(const Head& head, const char16_t* s, qsizetype n, qsizetype c,
                                        std::uint64_t state, std::vector<Place>& places) const {
        qsizetype hashed = head.wordLength;
        for (std::uint32_t e = head.lengthsBegin; e < head.lengthsEnd; ++e) {
            const qsizetype to = lengths_[e] & ~kNameLength;
            if (c + to > n) {
                break;
            }
            state = Hashed(state, s + c, hashed, to);
            hashed = to;
            const std::uint64_t prefix = Mix(state);
            if ((lengths_[e] & kNameLength) != 0) {
                findName(s, c, to, prefix, places);
            }
            if (e + 1 < head.lengthsEnd && !continuesPast(prefix)) {
                break;
            }
        }
    }

    /// Records the name of `length` characters at `c`, whose hash is `hash`,
    /// if there is one.
    void findName(const char16_t* s, qsizetype c, qsizetype length, std::uint64_t hash,
                  std::vector<Place>& places) const {
        for (std::uint32_t i = static_cast<std::uint32_t>(hash & tableMask_); slots_[i].leader >= 0;
             i = static_cast<std::uint32_t>((i + 1) & tableMask_)) {
            const Slot& slot = slots_[i];
            if (slot.tag == Tag(hash) && slot.nameLength == static_cast<std::uint32_t>(length) &&
                std::equal(s + c, s + c + length, pool_.data() + slot.nameOffset)) {
                places.push_back({slot.leader, i, c});
                return;
            }
        }
    }

    /// The first section after `after` that bears the name in `slot`, other
    /// than the text's own; -1 when none is left.
    int nextMember(const Slot& slot, int after, int section) const {
        const Member* first = members_.data() + slot.firstMember;
        const Member* last = first + slot.memberCount;
        for (const Member* it = std::upper_bound(first, last, after,
                                                 [](int x, const Member& m) { return x < m.target; });
             it != last; ++it) {
            if (it->section != section) {
                return it->target;
            }
        }
        return -1;
    }

    /// The usual case: no name holds "@", "[" or "]" or is unclean, so every
    /// name links only at its own places and only the found names run. The
    /// replacements are those of `LinkedText::linkAt`, with the inserted
    /// texts kept as marks beside the original characters.
    void linkCleanNames(QString& text, int section, LinkScratch& scratch) const {
        const char16_t* s = QStringView(text).utf16();
        const qsizetype n = text.size();
        std::vector<std::pair<int, std::uint32_t>>& runs = scratch.runs;
        runs.clear();
        for (std::uint32_t g = 0; g < scratch.groups.size(); ++g) {
            const int member = nextMember(slots_[scratch.groups[g].slot], -1, section);
            if (member >= 0) {
                runs.emplace_back(member, g);
            }
        }
        if (runs.empty()) {
            return;
        }
        std::make_heap(runs.begin(), runs.end(), std::greater<>());
        if (scratch.marks.size() < static_cast<size_t>(n) + 1) {
            scratch.marks.resize(static_cast<size_t>(n) + 1, 0);
        }
        scratch.inserts.clear();
        // Targets run in their order, a name again for its next section only
        // while it still links something.
        while (!runs.empty()) {
            std::pop_heap(runs.begin(), runs.end(), std::greater<>());
            const auto [t, g] = runs.back();
            runs.pop_back();
            const PlaceGroup& group = scratch.groups[g];
            const Slot& slot = slots_[group.slot];
            if (linkPlaces(s, n, static_cast<qsizetype>(slot.nameLength), group, scratch)) {
                const int member = nextMember(slot, t, section);
                if (member >= 0) {
                    runs.emplace_back(member, g);
                    std::push_heap(runs.begin(), runs.end(), std::greater<>());
                }
            }
        }
        std::vector<std::pair<qsizetype, bool>>& inserts = scratch.inserts;
        if (inserts.empty()) {
            return;
        }
        std::sort(inserts.begin(), inserts.end());
        QString& out = scratch.out;
        out.resize(0);
        out.reserve(n + static_cast<qsizetype>(inserts.size()) * kLinkOpen.size());
        qsizetype copied = 0;
        for (const auto& [at, open] : inserts) {
            scratch.marks[static_cast<size_t>(at)] = 0;
            out.append(QStringView(s + copied, at - copied));
            out.append(open ? kLinkOpen : kLinkClose);
            copied = at;
        }
        out.append(QStringView(s + copied, n - copied));
        // The caller's buffer becomes the next text's scratch.
        text.swap(out);
    }

    /// `LinkedText::linkAt` over marks: true when anything was linked.
    static bool linkPlaces(const char16_t* s, qsizetype n, qsizetype length, const PlaceGroup& group,
                           LinkScratch& scratch) {
        const Place* places = scratch.places.data() + group.begin;
        const size_t count = group.end - group.begin;
        // Which of the nine patterns each place still fits; 0 once linked.
        std::vector<std::uint16_t>& fits = scratch.fits;
        fits.resize(count);
        for (size_t k = 0; k < count; ++k) {
            std::uint16_t mask = 0;
            for (size_t p = 0; p < std::size(kPatterns); ++p) {
                if (FitsPattern(s, n, places[k].at, length, kPatterns[p])) {
                    mask |= static_cast<std::uint16_t>(1U << p);
                }
            }
            fits[k] = mask;
        }
        std::uint8_t* marks = scratch.marks.data();
        const auto insertedWithin = [marks](qsizetype start, qsizetype end) {
            for (qsizetype k = start + 1; k < end; ++k) {
                if (marks[k] != 0) {
                    return true;
                }
            }
            return false;
        };
        bool linkedAny = false;
        for (size_t p = 0; p < std::size(kPatterns); ++p) {
            const LinkPattern& pattern = kPatterns[p];
            const std::uint16_t bit = static_cast<std::uint16_t>(1U << p);
            if (std::none_of(fits.begin(), fits.end(), [bit](std::uint16_t mask) { return (mask & bit) != 0; })) {
                continue;
            }
            for (const DelimiterPair& pair : kPairs) {
                qsizetype lastEnd = std::numeric_limits<qsizetype>::min();
                for (size_t k = 0; k < count; ++k) {
                    if ((fits[k] & bit) == 0) {
                        continue;
                    }
                    const qsizetype c = places[k].at;
                    const qsizetype start = c - pattern.before.size() - pair.left.size();
                    const qsizetype end = c + length + pattern.after.size() + pair.right.size();
                    if (start < lastEnd || start < 0 || end > n || !HasAt(s + start, pair.left) ||
                        !HasAt(s + end - pair.right.size(), pair.right) || insertedWithin(start, end)) {
                        continue;
                    }
                    marks[c] = 1;
                    marks[c + length] = 1;
                    scratch.inserts.emplace_back(c, true);
                    scratch.inserts.emplace_back(c + length, false);
                    fits[k] = 0;
                    lastEnd = end;
                    linkedAny = true;
                }
            }
        }
        return linkedAny;
    }

    /// Any names, literal ones among them, over a `LinkedText`.
    void linkAnyNames(QString& text, int section, LinkScratch& scratch) const {
        const std::vector<Place>& places = scratch.places;
        const std::vector<PlaceGroup>& groups = scratch.groups;
        const auto groupOf = [&groups](int leader) -> const PlaceGroup* {
            const auto it = std::lower_bound(groups.begin(), groups.end(), leader,
                                             [](const PlaceGroup& g, int x) { return g.leader < x; });
            return it != groups.end() && it->leader == leader ? &*it : nullptr;
        };

        // Targets run in their order, a name once for each of its sections.
        // A name that links nothing leaves the text as it was, so the same name
        // again links nothing until something else changes the text; a name
        // without "@", "[" or "]" even never again, since links only insert
        // between characters. Many sections of one name would otherwise cost
        // their number for every text.
        using Run = std::pair<int, int>;  // (target to run as, first target of its name)
        std::priority_queue<Run, std::vector<Run>, std::greater<>> runs;
        const auto runNext = [&](int first, int after) {
            const int member = nextMember(slots_[slotOf_[static_cast<size_t>(first)]], after, section);
            if (member >= 0) {
                runs.emplace(member, first);
            }
        };
        // A clean literal name found at no word start cannot link in the text
        // as it stands, so only the names found run at first; the others wait
        // for the first change. Running them all on every text would cost the
        // number of such names (many sections with "@" in their names) squared.
        for (const PlaceGroup& group : groups) {
            if (clean_[static_cast<size_t>(group.leader)]) {
                runNext(group.leader, -1);
            }
        }
        for (const int first : uncleanTargets_) {
            runNext(first, -1);
        }
        bool dormant = true;

        LinkedText linked(text);
        std::vector<qsizetype> at;
        std::vector<int> idle;  // literal names whose last run linked nothing
        while (!runs.empty()) {
            const auto [t, first] = runs.top();
            runs.pop();
            at.clear();
            if (const PlaceGroup* group = groupOf(first)) {
                for (std::uint32_t k = group->begin; k < group->end; ++k) {
                    at.push_back(places[k].at);
                }
            }
            const LinkTarget& target = targets_[static_cast<size_t>(t)];
            bool linkedNow = false;
            if (!literal_[static_cast<size_t>(t)]) {
                const size_t before = linked.insertions();
                linked.linkAt(target.name, at);
                linkedNow = linked.insertions() != before;
            } else if (linked.changed() || !clean_[static_cast<size_t>(t)] ? linked.currentlyContains(target.name)
                                                                          : !at.empty()) {
                linkedNow = linked.linkLiterally(target.name);
            }
            if (linkedNow) {
                runNext(first, t);
                for (const int waiting : idle) {
                    runNext(waiting, t);
                }
                idle.clear();
                if (dormant) {
                    dormant = false;
                    for (const int waiting : literalTargets_) {
                        if (clean_[static_cast<size_t>(waiting)] && groupOf(waiting) == nullptr) {
                            runNext(waiting, t);
                        }
                    }
                }
            } else if (literal_[static_cast<size_t>(t)]) {
                idle.push_back(first);
            }
        }
        if (linked.changed()) {
            text = linked.result();
        }
    }

    const std::vector<LinkTarget>& targets_;
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
    std::vector<std::uint32_t> slotOf_;  ///< by the first target of a name: its slot
    std::vector<std::uint8_t> firstWordLengths_;
    std::vector<std::uint8_t> literal_;
    std::vector<std::uint8_t> clean_;
    std::vector<int> literalTargets_;
    std::vector<int> uncleanTargets_;  ///< literal names the first-word index cannot find
};

}  // namespace

void LinkSectionNames(QString& text, int section, const std::vector<LinkTarget>& targets) {
    LinkScratch scratch;
    NameLinker(targets).link(text, section, scratch);
}

std::vector<LinkTarget> LinkTargets(const DocumentModel& doc) {
    std::vector<LinkTarget> targets;
    for (int j = 2; j <= doc.count(); ++j) {
        // An empty name would match every pair of delimiters.
        if (!doc.section(j).Name.isEmpty()) {
            targets.push_back({j, doc.section(j).Name});
        }
    }
    return targets;
}

struct SectionLinker::Tables {
    explicit Tables(std::vector<LinkTarget> list) : targets(std::move(list)), linker(targets) {}
    const std::vector<LinkTarget> targets;
    const NameLinker linker;
    LinkScratch scratch;
};

SectionLinker::SectionLinker(std::vector<LinkTarget> targets)
    : tables_(std::make_unique<Tables>(std::move(targets))) {}

SectionLinker::~SectionLinker() = default;

void SectionLinker::link(QString& text, int section) const {
    if (!tables_->targets.empty()) {
        tables_->linker.link(text, section, tables_->scratch);
    }
}

void ResolveCrossReferences(DocumentModel& doc, Yielder* yielder) {
    const SectionLinker linker(LinkTargets(doc));
    for (int i = 1; i <= doc.count(); ++i) {
        if (yielder != nullptr) {
            yielder->tick();
        }
        linker.link(doc.section(i).Text, i);
    }
}

}  // namespace tessarel

#include "extract/name_finder.h"

#include "extract/text_search.h"

namespace tessarel {

namespace {

constexpr std::uint64_t kHashBasis = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kHashPrime = 0x100000001b3ULL;

inline std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 31;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 29;
    return h;
}
/// The hash state after `s[from]` to `s[to - 1]` follow `state`.
inline std::uint64_t Hashed(std::uint64_t state, const char16_t* s, qsizetype from, qsizetype to) {
    for (qsizetype k = from; k < to; ++k) {
        state = (state ^ s[k]) * kHashPrime;
    }
    return state;
}
inline std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

/// Room for `count` entries, at most two thirds full: the probes stay short,
/// and a table never takes four times its entries.
size_t TableSizeFor(size_t count) {
    size_t size = 16;
    while (2 * size < 3 * count) {
        size *= 2;
    }
    return size;
}

inline bool IsSpaceLike(char16_t c) {
    // Space, tab, CR and LF as bits, since every character of a text is asked.
    return c <= u' ' && ((0x100002600ULL >> c) & 1) != 0;
}
/// The last character of a left delimiter (CR LF, LF, space, tab).
inline bool EndsLeftDelimiter(char16_t c) { return c == u' ' || c == u'\t' || c == kLf; }

}  // namespace

/// A name longer than its first word, by its head.
struct NameFinder::Longer {
    std::uint32_t head;
    std::uint32_t length;
    std::uint32_t slot;
    bool operator<(const Longer& other) const { return head != other.head ? head < other.head : length < other.length; }
};

namespace {

/// How many distinct names and distinct first words the targets have, and
/// the first target of each target's name. The tables are sized by these
/// counts: many sections often share one name.
struct DistinctNames {
    std::vector<int> leaderOf;
    size_t names = 0;
    size_t words = 0;
    size_t characters = 0;  ///< of the distinct names
};

DistinctNames CountDistinctNames(const std::vector<LinkTarget>& targets) {
    const size_t count = targets.size();
    DistinctNames distinct;
    distinct.leaderOf.resize(count);
    // Open addressing of target numbers + 1; 0: an empty slot.
    const size_t size = TableSizeFor(count);
    std::vector<std::uint32_t> names(size, 0);
    std::vector<std::uint32_t> words(size, 0);
    const auto firstLengthOf = [](const QString& name) {
        const qsizetype space = name.indexOf(u' ');
        return space < 0 ? name.size() : space;
    };
    for (size_t t = 0; t < count; ++t) {
        const QString& name = targets[t].name;
        const qsizetype firstLength = firstLengthOf(name);
        const char16_t* chars = QStringView(name).utf16();
        const std::uint64_t state = Hashed(kHashBasis, chars, 0, firstLength);
        const std::uint64_t hash = Mix(Hashed(state, chars, firstLength, name.size()));
        size_t i = hash & (size - 1);
        for (; names[i] != 0; i = (i + 1) & (size - 1)) {
            if (targets[names[i] - 1].name == name) {
                break;
            }
        }
        if (names[i] != 0) {
            distinct.leaderOf[t] = static_cast<int>(names[i] - 1);
            continue;
        }
        names[i] = static_cast<std::uint32_t>(t + 1);
        distinct.leaderOf[t] = static_cast<int>(t);
        ++distinct.names;
        distinct.characters += static_cast<size_t>(name.size());
        const QStringView word(chars, firstLength);
        for (i = Mix(state) & (size - 1); words[i] != 0; i = (i + 1) & (size - 1)) {
            const QString& other = targets[words[i] - 1].name;
            if (QStringView(other).first(firstLengthOf(other)) == word) {
                break;
            }
        }
        if (words[i] == 0) {
            words[i] = static_cast<std::uint32_t>(t + 1);
            ++distinct.words;
        }
    }
    return distinct;
}

}  // namespace

NameFinder::NameFinder(const std::vector<LinkTarget>& targets) {
    const size_t count = targets.size();
    const DistinctNames distinct = CountDistinctNames(targets);
    const std::vector<int>& leaderOf = distinct.leaderOf;
    slotOf_.assign(count, 0);
    slots_.resize(TableSizeFor(distinct.names));
    tableMask_ = slots_.size() - 1;
    heads_.resize(TableSizeFor(distinct.words));
    headMask_ = heads_.size() - 1;
    // A bit filter of about eight bits per first word stays in the second-level
    // cache and turns most words away before the table is touched.
    size_t filterBits = 512;
    filterShift_ = 55;
    while (filterBits < 8 * distinct.words) {
        filterBits *= 2;
        --filterShift_;
    }
    filter_.assign(filterBits / 64, 0);
    pool_.reserve(distinct.characters);

    std::vector<std::uint32_t> memberCount(count, 0);
    std::vector<Longer> longer;
    for (size_t t = 0; t < count; ++t) {
        // Sections of the same name are found once, through the first.
        const auto leader = static_cast<size_t>(leaderOf[t]);
        if (leader != t) {
            slotOf_[t] = slotOf_[leader];
            ++memberCount[leader];
            continue;
        }
        const QString& name = targets[t].name;
        const qsizetype space = name.indexOf(u' ');
        const qsizetype firstLength = space < 0 ? name.size() : space;
        const char16_t* chars = QStringView(name).utf16();
        std::uint64_t state = Hashed(kHashBasis, chars, 0, firstLength);
        const std::uint64_t wordHash = Mix(state);
        const std::uint64_t hash = Mix(Hashed(state, chars, firstLength, name.size()));
        std::uint32_t i = static_cast<std::uint32_t>(hash & tableMask_);
        while (slots_[i].leader >= 0) {
            i = static_cast<std::uint32_t>((i + 1) & tableMask_);
        }
        slotOf_[t] = i;
        ++memberCount[t];
        Slot& slot = slots_[i];
        slot.tag = Tag(hash);
        slot.leader = static_cast<int>(t);
        slot.nameOffset = static_cast<std::uint32_t>(pool_.size());
        slot.nameLength = static_cast<std::uint32_t>(name.size());
        slot.firstLength = static_cast<std::uint32_t>(firstLength);
        pool_.insert(pool_.end(), chars, chars + name.size());
        addToHead(i, wordHash, longer);
        if (firstWordLengths_.size() <= static_cast<size_t>(firstLength)) {
            firstWordLengths_.resize(static_cast<size_t>(firstLength) + 1, 0);
        }
        firstWordLengths_[static_cast<size_t>(firstLength)] = 1;
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
        Slot& slot = slots_[slotOf_[t]];
        members_[slot.firstMember + slot.memberCount++] = {static_cast<int>(t), targets[t].section};
    }
}

void NameFinder::findPlaces(QStringView text, std::vector<Place>& places) const {
    const char16_t* s = text.utf16();
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
}

inline std::pair<size_t, size_t> NameFinder::filterBits(std::uint64_t hash) const {
    const std::uint64_t g = hash * 0x9e3779b97f4a7c15ULL;
    return {static_cast<size_t>(g >> filterShift_), static_cast<size_t>((g << 16) >> filterShift_)};
}

void NameFinder::setFilter(std::uint64_t hash) {
    const auto [x, y] = filterBits(hash);
    filter_[x / 64] |= std::uint64_t{1} << (x % 64);
    filter_[y / 64] |= std::uint64_t{1} << (y % 64);
}

inline bool NameFinder::mayHold(std::uint64_t hash) const {
    const auto [x, y] = filterBits(hash);
    return ((filter_[x / 64] >> (x % 64)) & (filter_[y / 64] >> (y % 64)) & 1) != 0;
}

/// Files the new name in `slot` under the head of its first word.
void NameFinder::addToHead(std::uint32_t slot, std::uint64_t wordHash, std::vector<Longer>& longer) {
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
void NameFinder::buildLengths(std::vector<Longer>& longer) {
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
bool NameFinder::continuesPast(std::uint64_t hash) const {
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
void NameFinder::findNamesAt(const char16_t* s, qsizetype n, qsizetype c, qsizetype b,
                             std::vector<Place>& places) const {
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
void NameFinder::findLongerNames(const Head& head, const char16_t* s, qsizetype n, qsizetype c, std::uint64_t state,
                                 std::vector<Place>& places) const {
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
void NameFinder::findName(const char16_t* s, qsizetype c, qsizetype length, std::uint64_t hash,
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

}  // namespace tessarel

#include "extract/declarations.h"

#include "extract/document_model.h"
#include "extract/markers.h"
#include "extract/text_search.h"
#include "support/string_functions.h"

#include <QHash>

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace tessarel {

namespace {

const QString kBlankedClose = QStringLiteral("   ");

/// The case-folded character at `j`; a surrogate pair is folded as one character.
inline char16_t FoldedAt(const char16_t* s, qsizetype n, qsizetype j) {
    const char16_t c = s[j];
    // ASCII folds as it lowers; the library call costs more than the rest.
    if (c < 0x80) {
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    }
    if (QChar::isLowSurrogate(c) && j > 0 && QChar::isHighSurrogate(s[j - 1])) {
        const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(s[j - 1], c));
        return QChar::requiresSurrogates(folded) ? QChar::lowSurrogate(folded) : c;
    }
    if (QChar::isHighSurrogate(c) && j + 1 < n && QChar::isLowSurrogate(s[j + 1])) {
        const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, s[j + 1]));
        return QChar::requiresSurrogates(folded) ? QChar::highSurrogate(folded) : c;
    }
    return QChar::toCaseFolded(c);
}

/// The case-folded form the declaration look-up compares (same length).
QString FoldedText(const QString& text) {
    QString folded(text.size(), Qt::Uninitialized);
    const char16_t* s = Chars(text);
    char16_t* w = reinterpret_cast<char16_t*>(folded.data());
    for (qsizetype i = 0; i < text.size(); ++i) {
        w[i] = FoldedAt(s, text.size(), i);
    }
    return folded;
}

}  // namespace

QString CleanDeclaration(QString cut) {
    // Only a "_" between a blank or line break and another can be a word.
    const qsizetype n = cut.size();
    const char16_t* s = Chars(cut);
    bool lone = false;
    for (qsizetype i = FindChar(s, n, 1, u'_'); i + 1 < n && !lone; i = FindChar(s, n, i + 1, u'_')) {
        const char16_t before = s[i - 1];
        const char16_t after = s[i + 1];
        lone = (before == u' ' || before == u'\t' || before == kLf) &&
               (after == u' ' || after == u'\t' || after == kLf || after == kCr);
    }
    if (lone) {
        ReplaceWord(cut, QStringLiteral("_"), QString());
    }
    const qsizetype open = cut.indexOf(kTextOpenMarker);
    if (open >= 0) {
        cut.remove(open, kTextOpenMarker.size());
    }
    return cut;
}

namespace {

/// Finds, for every "(" of a text, which of the (case-folded) names end right
/// before it, comparing case-folded characters.
///
/// A name made of letters, digits and "_" can only end before a "(" as the
/// end of the run of such characters there, so the ends of that run are
/// hashed and looked up (the runs are disjoint: linear in the text). Other
/// names are kept reversed in a trie, so each "(" costs only as many steps as
/// the text before it agrees with the end of one of them.
class NameBeforeParenthesis {
public:
    explicit NameBeforeParenthesis(const std::vector<QString>& names) : names_(names), nodes_(1) {
        for (size_t id = 0; id < names.size(); ++id) {
            const QString& name = names[id];
            if (IsWordName(name)) {
                const qsizetype length = name.size();
                if (wordLengths_.size() <= static_cast<size_t>(length)) {
                    wordLengths_.resize(static_cast<size_t>(length) + 1, false);
                }
                wordLengths_[static_cast<size_t>(length)] = true;
                quint64 hash = kHashStart;
                for (qsizetype i = length - 1; i >= 0; --i) {
                    hash = Mix(hash, name[i].unicode());
                }
                wordNames_.emplace_back(hash, static_cast<int>(id));
                continue;
            }
            insertReversed(static_cast<int>(id));
        }
        // The word names in a flat table, open addressing on the hash: a look-up
        // is a probe or two of one array, however many sections there are.
        size_t size = 16;
        while (size < 2 * wordNames_.size()) {
            size *= 2;
        }
        byHash_.assign(size, {0, -1});
        for (const auto& entry : wordNames_) {
            size_t i = SlotOf(entry.first) & (size - 1);
            while (byHash_[i].second >= 0) {
                i = (i + 1) & (size - 1);
            }
            byHash_[i] = entry;
        }
        wordNames_ = {};
    }

    void scan(const QString& text) {
        const char16_t* s = Chars(text);
        const qsizetype n = text.size();
        const bool anyOther = nodes_.size() > 1 || nodes_[0].name >= 0;
        for (qsizetype r = FindChar(s, n, 0, u'('); r < n; r = FindChar(s, n, r + 1, u'(')) {
            if (!wordLengths_.empty()) {
                scanWord(s, n, r);
            }
            if (anyOther) {
                scanTrie(s, n, r);
            }
        }
        // Per name, in text order: the places were found "(" by "(", so a
        // counting sort by name keeps that order.
        firstOf_.assign(names_.size() + 1, 0);
        for (const auto& place : found_) {
            ++firstOf_[static_cast<size_t>(place.first) + 1];
        }
        for (size_t id = 1; id < firstOf_.size(); ++id) {
            firstOf_[id] += firstOf_[id - 1];
        }
        std::vector<size_t> slot(firstOf_.begin(), firstOf_.end() - 1);
        std::vector<std::pair<int, qsizetype>> byName(found_.size());
        for (const auto& place : found_) {
            byName[slot[static_cast<size_t>(place.first)]++] = place;
        }
        found_ = std::move(byName);
    }

    /// The first start of name `id` followed by "(" at or after `from`; -1 if none.
    qsizetype firstAtOrAfter(int id, qsizetype from) const {
        const auto begin = found_.begin() + static_cast<qsizetype>(firstOf_[static_cast<size_t>(id)]);
        const auto end = found_.begin() + static_cast<qsizetype>(firstOf_[static_cast<size_t>(id) + 1]);
        const auto it =
            std::lower_bound(begin, end, from, [](const auto& place, qsizetype f) { return place.second < f; });
        return it == end ? -1 : it->second;
    }

private:
    static constexpr quint64 kHashStart = 14695981039346656037ULL;
    static quint64 Mix(quint64 hash, char16_t c) { return (hash ^ c) * 1099511628211ULL; }
    // The low bits pick the slot; the multiplication leaves them depending on
    // the characters' low bits alone.
    static size_t SlotOf(quint64 hash) { return static_cast<size_t>(hash ^ (hash >> 32)); }
    static bool IsWordCharacter(char16_t c) {
        return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_';
    }
    static bool IsWordName(const QString& name) {
        return !name.isEmpty() &&
               std::all_of(name.begin(), name.end(), [](QChar c) { return IsWordCharacter(c.unicode()); });
    }

    void scanWord(const char16_t* s, qsizetype n, qsizetype r) {
        quint64 hash = kHashStart;
        const qsizetype longest = static_cast<qsizetype>(wordLengths_.size()) - 1;
        for (qsizetype length = 1; length <= longest && r - length >= 0; ++length) {
            const qsizetype j = r - length;
            const char16_t c = FoldedAt(s, n, j);
            if (!IsWordCharacter(c)) {
                break;
            }
            hash = Mix(hash, c);
            if (!wordLengths_[static_cast<size_t>(length)]) {
                continue;
            }
            const size_t mask = byHash_.size() - 1;
            for (size_t slot = SlotOf(hash) & mask; byHash_[slot].second >= 0; slot = (slot + 1) & mask) {
                if (byHash_[slot].first != hash) {
                    continue;
                }
                const QString& name = names_[static_cast<size_t>(byHash_[slot].second)];
                bool same = name.size() == length;
                for (qsizetype k = 0; same && k < length; ++k) {
                    same = name[k].unicode() == FoldedAt(s, n, j + k);
                }
                if (same) {
                    found_.emplace_back(byHash_[slot].second, j);
                }
            }
        }
    }

    void scanTrie(const char16_t* s, qsizetype n, qsizetype r) {
        if (nodes_[0].name >= 0) {
            found_.emplace_back(nodes_[0].name, r);
        }
        int node = 0;
        qsizetype j = r - 1;
        while (j >= 0) {
            node = child(node, FoldedAt(s, n, j));
            if (node < 0) {
                return;
            }
            const Node& edge = nodes_[static_cast<size_t>(node)];
            for (qsizetype m = 1; m < edge.length; ++m) {
                if (j - m < 0 || reversedAt(edge.label, edge.from + m) != FoldedAt(s, n, j - m)) {
                    return;
                }
            }
            j -= edge.length;
            if (edge.name >= 0) {
                found_.emplace_back(edge.name, j + 1);
            }
        }
    }

    /// A node of the trie of reversed names, compressed: the edge into it is a
    /// run of one name's reversed characters, so the trie has at most two nodes
    /// per name however long the names are.
    struct Node {
        int name = -1;         ///< the name that ends here; -1 if none
        int label = -1;        ///< the name whose reversed characters label the edge into it
        qsizetype from = 0;    ///< where the label starts in that reversed name
        qsizetype length = 0;  ///< how many characters it has
    };

    char16_t reversedAt(int id, qsizetype k) const {
        const QString& name = names_[static_cast<size_t>(id)];
        return name[name.size() - 1 - k].unicode();
    }

    static quint64 key(int node, char16_t c) { return (static_cast<quint64>(node) << 16) | c; }

    int child(int node, char16_t c) const {
        const auto it = edges_.find(key(node, c));
        return it == edges_.end() ? -1 : it->second;
    }

    int addNode(const Node& node) {
        nodes_.push_back(node);
        return static_cast<int>(nodes_.size()) - 1;
    }

    void insertReversed(int id) {
        const qsizetype length = names_[static_cast<size_t>(id)].size();
        int node = 0;
        qsizetype k = 0;
        while (k < length) {
            const char16_t c = reversedAt(id, k);
            const int next = child(node, c);
            if (next < 0) {
                edges_.emplace(key(node, c), addNode({id, id, k, length - k}));
                return;
            }
            const Node edge = nodes_[static_cast<size_t>(next)];
            qsizetype same = 1;
            while (same < edge.length && k + same < length &&
                   reversedAt(edge.label, edge.from + same) == reversedAt(id, k + same)) {
                ++same;
            }
            if (same < edge.length) {
                // The name leaves the edge part way: the agreeing part becomes a node of its own.
                const int middle = addNode({-1, edge.label, edge.from, same});
                edges_[key(node, c)] = middle;
                Node& rest = nodes_[static_cast<size_t>(next)];
                rest.from += same;
                rest.length -= same;
                edges_.emplace(key(middle, reversedAt(rest.label, rest.from)), next);
                node = middle;
            } else {
                node = next;
            }
            k += same;
        }
        nodes_[static_cast<size_t>(node)].name = id;
    }

    const std::vector<QString>& names_;
    std::vector<bool> wordLengths_;                   // lengths some word name has
    std::vector<std::pair<quint64, int>> wordNames_;  // (hash of the reversed characters, name), while building
    std::vector<std::pair<quint64, int>> byHash_;     // the same, open addressing; -1: an empty slot
    std::vector<Node> nodes_;                         // the trie of the other names; 0 is its root
    std::unordered_map<quint64, int> edges_;          // (node, first character of the edge) to the node below
    std::vector<std::pair<int, qsizetype>> found_;    // (name, start) of every name before a "("
    std::vector<size_t> firstOf_;                     // where each name's places begin in found_
};

/// What a declaration needs to know about the place where its name was found.
struct FoundName {
    qsizetype at = -1;        ///< where the name starts
    qsizetype lineStart = 0;  ///< one after the last CR or LF before it
    qsizetype closing = -1;   ///< the ")" that balances the parentheses from it
    qsizetype end = 0;        ///< the CR or LF ending the closing line (or the text length)
};

/// Fills lineStart, closing and end of every place in one walk: a place waits
/// at the depth ("(" minus ")") before it for the first ")" that brings the
/// depth back there, and then for the next line break. No sort of all the
/// ")" by depth, whose cost grew faster than the text. The walk stops at line
/// breaks only while a place waits for one: a place finds its line start by
/// looking back, no further than the place before it.
void WalkParentheses(const QString& text, std::vector<FoundName*>& places) {
    const auto byPosition = [](const FoundName* a, const FoundName* b) { return a->at < b->at; };
    // Sections mostly find their names in their own order.
    if (!std::is_sorted(places.begin(), places.end(), byPosition)) {
        std::sort(places.begin(), places.end(), byPosition);
    }
    const char16_t* s = Chars(text);
    const qsizetype n = text.size();
    std::unordered_map<qint64, std::vector<FoundName*>> waiting;  // by depth, each in text order
    size_t waitingCount = 0;
    std::vector<FoundName*> closed;  // waiting for the line break after their ")"
    qint64 depth = 0;
    qsizetype lineStart = 0;
    qsizetype lookedBackTo = 0;  // the line start above holds for every place up to here
    size_t next = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (next == places.size() && waitingCount == 0 && closed.empty()) {
            break;
        }
        // Nothing happens between parentheses, places and, while a place
        // waits for one, line breaks.
        const qsizetype stop = next < places.size() ? std::clamp<qsizetype>(places[next]->at, i, n) : n;
        i = closed.empty() ? FindAnyOf<u'(', u')'>(s, stop, i) : FindAnyOf<u'(', u')', kLf, kCr>(s, stop, i);
        if (i >= n) {
            break;
        }
        if (next < places.size() && places[next]->at == i) {
            for (qsizetype k = i; k > lookedBackTo; --k) {
                if (s[k - 1] == kLf || s[k - 1] == kCr) {
                    lineStart = k;
                    break;
                }
            }
            lookedBackTo = i;
        }
        while (next < places.size() && places[next]->at == i) {
            places[next]->lineStart = lineStart;
            waiting[depth].push_back(places[next]);
            ++waitingCount;
            ++next;
        }
        const char16_t c = s[i];
        if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
            if (waitingCount != 0) {
                const auto it = waiting.find(depth);
                if (it != waiting.end() && !it->second.empty()) {
                    for (FoundName* place : it->second) {
                        place->closing = i;
                        closed.push_back(place);
                    }
                    waitingCount -= it->second.size();
                    it->second.clear();
                }
            }
        } else if ((c == kLf || c == kCr) && !closed.empty()) {
            for (FoundName* place : closed) {
                place->end = i;
            }
            closed.clear();
        }
    }
    for (FoundName* place : closed) {
        place->end = n;
    }
}

}  // namespace

void FindDeclarations(DocumentModel& doc) {
    const int count = doc.count();
    for (int i = 0; i < count; ++i) {
        SectionRecord& section = doc.section(i);
        if (section.Name.contains(kTextCloseMarker)) {
            // The keyword line ended its comment block: no text followed it.
            section.Name.replace(kTextCloseMarker, kBlankedClose);
            section.Text.clear();
        }
        section.Name = TrimSpaces(section.Name);
        section.Declaration.clear();
    }
    if (count == 0) {
        return;
    }

    // Each section looks, from its own tag on, for its name followed by "(".
    const QString& text = doc.SourceText;
    QHash<QString, int> nameIds;
    nameIds.reserve(count);
    std::vector<QString> names;
    names.reserve(static_cast<size_t>(count));
    std::vector<int> sectionName(static_cast<size_t>(count), -1);
    for (int i = 0; i < count; ++i) {
        const QString key = FoldedText(doc.section(i).Name);
        auto it = nameIds.find(key);
        if (it == nameIds.end()) {
            it = nameIds.insert(key, static_cast<int>(names.size()));
            names.push_back(key);
        }
        sectionName[static_cast<size_t>(i)] = it.value();
    }
    NameBeforeParenthesis index(names);
    index.scan(text);

    std::vector<FoundName> found(static_cast<size_t>(count));
    std::vector<FoundName*> places;
    for (int i = 0; i < count; ++i) {
        const qsizetype from = doc.section(i).Position;
        FoundName& place = found[static_cast<size_t>(i)];
        place.at = index.firstAtOrAfter(sectionName[static_cast<size_t>(i)], from);
        if (place.at >= 0) {
            places.push_back(&place);
        }
    }
    if (places.empty()) {
        return;
    }

    // From the name on, the first ")" that brings the depth back to the depth
    // before the name balances the parentheses. A declaration is cut at the
    // line breaks around it, CR or LF alike: a file of bare LF lines that also
    // holds one CR LF (so it is not converted), or of bare CR lines, would
    // otherwise give every section a declaration running over much of the file.
    WalkParentheses(text, places);

    // Sections that find the same place share one copy of the declaration.
    QHash<QPair<qsizetype, qsizetype>, QString> cut;
    cut.reserve(static_cast<qsizetype>(places.size()));
    for (int i = 0; i < count; ++i) {
        const FoundName& place = found[static_cast<size_t>(i)];
        if (place.closing < 0) {
            continue;
        }
        const QPair<qsizetype, qsizetype> range(place.lineStart, place.end);
        auto it = cut.find(range);
        if (it == cut.end()) {
            it = cut.insert(range, CleanDeclaration(text.mid(place.lineStart, place.end - place.lineStart)));
        }
        doc.section(i).Declaration = it.value();
    }
}

}  // namespace tessarel

#include "pages/declaration_linker.h"

#include "support/html_text.h"
#include "support/string_functions.h"

#include <algorithm>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

quint64 EdgeKey(int node, char16_t c) { return quint64{static_cast<quint32>(node)} << 16 | quint64{c}; }

/// Whether the whole-word replacement could replace a name standing at
/// [start, end): only between the delimiters of one of its pairs. A name found
/// elsewhere, say inside a longer name ("Open File 1" in "Open File 12"), would
/// only cost a try that changes nothing.
bool IsDelimited(QStringView text, qsizetype start, qsizetype end) {
    if (start == 0 || end >= text.size()) {
        return false;
    }
    const char16_t left = text[start - 1].unicode();
    const char16_t right = text[end].unicode();
    if (right == u'*') {
        return left == u' ' || left == u'(';
    }
    const bool rightBreak = right == u' ' || right == u'\t' || right == u'\n' ||
                            (right == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n');
    return rightBreak && (left == u'\n' || left == u' ' || left == u'\t' || left == u'(' || left == u'*');
}

/// Walks a declaration's markup: its tags (a quoted value may hold ">") and the
/// texts of its links. Asked about positions in increasing order, so one walk
/// costs one pass over the text.
class MarkupWalk {
public:
    explicit MarkupWalk(QStringView text) : text_(text) {}

    /// Whether `at` lies outside every tag and every link's text, where a name
    /// may be linked. A tag that starts at `at` does not count: a name may hold
    /// whole emphasis tags.
    bool isFree(qsizetype at) {
        for (; walked_ < at; ++walked_) {
            step(text_[walked_].unicode());
        }
        return state_ == State::Text;
    }

private:
    enum class State { Text, Tag, TagQuote, LinkTag, LinkTagQuote, LinkText };

    void step(char16_t c) {
        switch (state_) {
        case State::Text:
            if (c == u'<') {
                state_ = opensLink() ? State::LinkTag : State::Tag;
            }
            break;
        case State::Tag:
        case State::LinkTag:
            if (c == u'"') {
                state_ = state_ == State::Tag ? State::TagQuote : State::LinkTagQuote;
            } else if (c == u'>') {
                state_ = state_ == State::Tag ? State::Text : State::LinkText;
            }
            break;
        case State::TagQuote:
            state_ = c == u'"' ? State::Tag : state_;
            break;
        case State::LinkTagQuote:
            state_ = c == u'"' ? State::LinkTag : state_;
            break;
        case State::LinkText:
            // A link's text is a name shown as code: its only "<" are emphasis tags.
            if (c == u'<' && text_.sliced(walked_).startsWith(u"</a>")) {
                state_ = State::Tag;
            }
            break;
        }
    }

    bool opensLink() const {
        const QStringView rest = text_.sliced(walked_);
        return rest.size() > 2 && rest[1] == u'a' && (rest[2] == u' ' || rest[2] == u'>');
    }

    QStringView text_;
    qsizetype walked_ = 0;
    State state_ = State::Text;
};

/// ReplaceAll of `find` (a word between its delimiters, the word at `offset`)
/// by `replacement`, leaving alone every occurrence whose word starts inside
/// markup. Whether the text changed.
bool ReplaceFreeOccurrences(QString& text, const QString& find, qsizetype offset, const QString& replacement) {
    qsizetype hit = text.indexOf(find);
    if (hit < 0) {
        return false;
    }
    MarkupWalk walk(text);
    QString result;
    qsizetype done = 0;
    bool changed = false;
    for (; hit >= 0; hit = text.indexOf(find, hit)) {
        if (!walk.isFree(hit + offset)) {
            ++hit;
            continue;
        }
        if (!changed) {
            result.reserve(text.size() + replacement.size() + text.size() / 8);
            changed = true;
        }
        result.append(QStringView(text).sliced(done, hit - done));
        result.append(replacement);
        hit += find.size();
        done = hit;
    }
    if (!changed) {
        return false;
    }
    result.append(QStringView(text).sliced(done));
    text = std::move(result);
    return true;
}

/// ReplaceWordExtended of `word` by `link`, except where the word starts inside
/// a tag or a link's text: a name found inside a link made for a longer name
/// would nest a link in its text or its target, whose quote would end early.
/// Whether the text changed.
bool LinkFreeWord(QString& text, const QString& word, const QString& link) {
    bool changed = false;
    for (const auto& [left, right] : ExtendedWordDelimiters()) {
        if (text.contains(word)) {
            changed = ReplaceFreeOccurrences(text, left + word + right, left.size(), left + link + right) || changed;
        }
    }
    return changed;
}

}  // namespace

DeclarationLinker::DeclarationLinker(const std::vector<QString>& names, int count) : names_(names) { build(count); }

void DeclarationLinker::build(int count) {
    const size_t slots = static_cast<size_t>(std::max(count, 0));
    // Declarations are escaped before they are linked, so a name is looked for
    // as the escaped code shows it. Filled before any view into it is taken.
    words_.resize(slots);
    for (int j = 1; j < count; ++j) {
        const QString& name = names_[static_cast<size_t>(j)];
        // A name the escape leaves alone is shared, not copied.
        const bool plain =
            std::none_of(name.begin(), name.end(), [](QChar c) { return c == u'&' || c == u'<' || c == u'>'; });
        words_[static_cast<size_t>(j)] = plain ? name : EscapeSourceCode(name);
    }
    firstOfName_.assign(slots, -1);
    groupBegin_.assign(slots, 0);
    groupEnd_.assign(slots, 0);
    QHash<QStringView, int> firstByName;
    std::vector<int> spanning;
    for (int j = 1; j < count; ++j) {
        const QString& name = words_[static_cast<size_t>(j)];
        // An empty name would turn every pair of neighbouring blanks into a link.
        if (name.isEmpty()) {
            continue;
        }
        const auto known = firstByName.constFind(QStringView(name));
        int first = j;
        if (known != firstByName.constEnd()) {
            first = *known;
        } else {
            firstByName.insert(QStringView(name), j);
            if (std::any_of(name.begin(), name.end(), isWordBreak)) {
                spanning.push_back(j);
            } else {
                byWord_.insert(QStringView(name), j);
            }
        }
        firstOfName_[static_cast<size_t>(j)] = first;
        ++groupEnd_[static_cast<size_t>(first)];
    }
    // Groups laid out one after another: groupEnd_ counts first, then serves as
    // the fill position and ends at the group's end.
    int offset = 0;
    for (int j = 1; j < count; ++j) {
        const auto at = static_cast<size_t>(j);
        if (firstOfName_[at] == j) {
            groupBegin_[at] = offset;
            offset += groupEnd_[at];
            groupEnd_[at] = groupBegin_[at];
        }
    }
    members_.resize(static_cast<size_t>(offset));
    for (int j = 1; j < count; ++j) {
        const int first = firstOfName_[static_cast<size_t>(j)];
        if (first >= 0) {
            members_[static_cast<size_t>(groupEnd_[static_cast<size_t>(first)]++)] = j;
        }
    }
    buildSpanningTrie(spanning);
}

void DeclarationLinker::buildSpanningTrie(const std::vector<int>& spanning) {
    trieNodes_.reserve(2 * spanning.size() + 1);
    trieNodes_.push_back(TrieNode{});  // the root
    if (spanning.empty()) {
        return;
    }
    // At most one edge per node below the root, two nodes per name; a table
    // at most half full keeps the probes short.
    size_t capacity = 16;
    int bits = 4;
    while (capacity < 4 * spanning.size()) {
        capacity *= 2;
        ++bits;
    }
    trieEdges_.assign(capacity, TrieEdge{});
    trieShift_ = 64 - bits;
    for (const int first : spanning) {
        insertSpanning(first);
    }
}

int DeclarationLinker::addTrieNode(int label, int from, int length) {
    trieNodes_.push_back(TrieNode{-1, label, from, length});
    return static_cast<int>(trieNodes_.size()) - 1;
}

void DeclarationLinker::insertSpanning(int first) {
    const QString& word = words_[static_cast<size_t>(first)];
    const int length = static_cast<int>(word.size());
    const auto labelAt = [this](const TrieNode& node, int k) {
        return words_[static_cast<size_t>(node.label)][node.from + k].unicode();
    };
    int node = 0;
    int k = 0;
    while (k < length) {
        const char16_t c = word[k].unicode();
        const int next = trieChild(node, c);
        if (next == 0) {
            const int leaf = addTrieNode(first, k, length - k);
            setTrieEdge(node, c, leaf);
            node = leaf;
            break;
        }
        const TrieNode edge = trieNodes_[static_cast<size_t>(next)];
        int same = 1;
        while (same < edge.length && k + same < length && labelAt(edge, same) == word[k + same].unicode()) {
            ++same;
        }
        if (same < edge.length) {
            // The name leaves the edge part way: the agreeing part becomes a node of its own.
            const int middle = addTrieNode(edge.label, edge.from, same);
            setTrieEdge(node, c, middle);
            TrieNode& rest = trieNodes_[static_cast<size_t>(next)];
            rest.from += same;
            rest.length -= same;
            setTrieEdge(middle, labelAt(rest, 0), next);
            node = middle;
        } else {
            node = next;
        }
        k += same;
    }
    trieNodes_[static_cast<size_t>(node)].name = first;
}

void DeclarationLinker::setTrieEdge(int node, char16_t c, int child) {
    const quint64 key = EdgeKey(node, c);
    const size_t mask = trieEdges_.size() - 1;
    size_t slot = static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> trieShift_);
    while (trieEdges_[slot].child != 0 && trieEdges_[slot].key != key) {
        slot = (slot + 1) & mask;
    }
    trieEdges_[slot] = TrieEdge{key, child};
}

int DeclarationLinker::trieChild(int node, char16_t c) const {
    const quint64 key = EdgeKey(node, c);
    const size_t mask = trieEdges_.size() - 1;
    for (size_t slot = static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> trieShift_);; slot = (slot + 1) & mask) {
        const TrieEdge& edge = trieEdges_[slot];
        if (edge.child == 0 || edge.key == key) {
            return edge.child;
        }
    }
}

int DeclarationLinker::nextOfName(int first, int after) const {
    const auto begin = members_.begin() + groupBegin_[static_cast<size_t>(first)];
    const auto end = members_.begin() + groupEnd_[static_cast<size_t>(first)];
    const auto next = std::upper_bound(begin, end, after);
    return next == end ? -1 : *next;
}

void DeclarationLinker::link(QString& declaration, int self) const {
    // Sections are tried in order; only the names found in the declaration can
    // link anything. A link is markup in which no name is linked again: it turns
    // free text into markup and brings none of its own, and the characters on
    // either side of it ("<", ">") delimit no word. So a name that links nothing
    // links nothing later either, and after a name has linked something only the
    // next section of that name may find more (an occurrence whose delimiter the
    // previous link took): many sections of one name would otherwise each run
    // the whole-word replacement over every declaration.
    std::set<int> pending;
    addCandidates(declaration, -1, pending);
    addSpanning(declaration, -1, pending);
    const auto tryNext = [&](int first, int after) {
        const int next = nextOfName(first, after);
        if (next >= 0) {
            pending.insert(next);
        }
    };
    while (!pending.empty()) {
        const int j = *pending.begin();
        pending.erase(pending.begin());
        const int first = firstOfName_[static_cast<size_t>(j)];
        if (j == self) {
            tryNext(first, j);
            continue;
        }
        const QString& word = words_[static_cast<size_t>(j)];
        const QString link =
            u"<a HREF=\"#"_s + QuoteHtmlAttribute(names_[static_cast<size_t>(j)]) + u"\">"_s + word + u"</a>"_s;
        if (LinkFreeWord(declaration, word, link)) {
            tryNext(first, j);
        }
    }
}

bool DeclarationLinker::isWordBreak(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'(' || c == u'*';
}

void DeclarationLinker::addCandidates(QStringView text, int after, std::set<int>& pending) const {
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && !isWordBreak(text.at(i))) {
            continue;
        }
        if (i > start) {
            const auto found = byWord_.constFind(text.sliced(start, i - start));
            if (found != byWord_.constEnd()) {
                const int next = nextOfName(*found, after);
                if (next >= 0) {
                    pending.insert(next);
                }
            }
        }
        start = i + 1;
    }
}

void DeclarationLinker::addSpanning(QStringView text, int after, std::set<int>& pending) const {
    if (trieEdges_.empty()) {
        return;
    }
    // From every position the trie is walked only as far as the text follows
    // some name: a position costs at most the length of the longest name, however
    // many names share their beginning.
    const char16_t* s = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype p = 0; p < size; ++p) {
        int node = 0;
        qsizetype q = p;
        while (q < size) {
            node = trieChild(node, s[q]);
            if (node == 0) {
                break;
            }
            const TrieNode& edge = trieNodes_[static_cast<size_t>(node)];
            if (q + edge.length > size) {
                break;
            }
            const char16_t* label = QStringView(words_[static_cast<size_t>(edge.label)]).utf16() + edge.from;
            if (!std::equal(label + 1, label + edge.length, s + q + 1)) {
                break;
            }
            q += edge.length;
            if (edge.name >= 0 && IsDelimited(text, p, q)) {
                const int next = nextOfName(edge.name, after);
                if (next >= 0) {
                    pending.insert(next);
                }
            }
        }
    }
}

}  // namespace tessarel

#include "extract/cross_references.h"

#include "extract/document_model.h"
#include "support/user_interface.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <map>
#include <queue>
#include <unordered_map>
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

inline bool IsSpaceLike(char16_t c) { return c == u' ' || c == u'\t' || c == kCr || c == kLf; }
/// The last character of a left delimiter (CR LF, LF, space, tab).
inline bool EndsLeftDelimiter(char16_t c) { return c == u' ' || c == u'\t' || c == kLf; }

struct Pattern {
    QStringView before;
    QStringView after;
};
const Pattern kPatterns[] = {
    {u"", u""},   {u"", u"."},   {u"", u","},   {u"", u";"},   {u"", u"("},
    {u"(", u")"}, {u"(", u")."}, {u"(", u"),"}, {u"(", u");"},
};

struct DelimiterPair {
    QStringView left;
    QStringView right;
};
const DelimiterPair kPairs[] = {
    {u"\r\n", u" "}, {u"\r\n", u"\r\n"}, {u"\r\n", u"\t"}, {u"\r\n", u"\n"},
    {u"\n", u" "},   {u"\n", u"\r\n"},   {u"\n", u"\n"},   {u"\n", u"\t"},
    {u" ", u" "},    {u" ", u"\r\n"},    {u" ", u"\t"},    {u" ", u"\n"},
    {u"\t", u" "},   {u"\t", u"\r\n"},   {u"\t", u"\t"},   {u"\t", u"\n"},
};

const QString kLinkOpen = QStringLiteral("@goto[");
const QString kLinkClose = QStringLiteral("]");

bool IsLiteralName(const QString& name) {
    return name.contains(u'@') || name.contains(u'[') || name.contains(u']');
}

/// A name as the parser leaves it: no tab or line break, no blank at either end.
/// Only such a name is found by its first word.
bool IsCleanName(const QString& name) {
    return !name.isEmpty() && name.front() != u' ' && name.back() != u' ' && !name.contains(u'\t') &&
           !name.contains(kCr) && !name.contains(kLf);
}

/// A text as its original characters plus the strings inserted before some of
/// them (key n: after the last one).
class LinkedText {
public:
    explicit LinkedText(const QString& original) : original_(original) {}

    bool changed() const { return !inserted_.empty(); }
    /// How many places have text inserted before them; linking a name only adds.
    size_t insertions() const { return inserted_.size(); }

    QString result() const {
        if (inserted_.empty()) {
            return original_;
        }
        QString out;
        materialize(out, nullptr);
        return out;
    }

    /// The replacements of one name that holds no "@", "[" or "]", at the
    /// places where the name stands in the original text.
    void linkAt(const QString& name, const std::vector<qsizetype>& places) {
        const char16_t* s = QStringView(original_).utf16();
        const qsizetype n = original_.size();
        const qsizetype length = name.size();
        std::vector<bool> linked(places.size(), false);
        for (const Pattern& pattern : kPatterns) {
            // Skip the sixteen pairs when the pattern fits nowhere.
            bool fits = false;
            for (size_t k = 0; k < places.size() && !fits; ++k) {
                fits = !linked[k] && fitsPattern(s, n, places[k], length, pattern);
            }
            if (!fits) {
                continue;
            }
            for (const DelimiterPair& pair : kPairs) {
                qsizetype lastEnd = std::numeric_limits<qsizetype>::min();
                for (size_t k = 0; k < places.size(); ++k) {
                    if (linked[k]) {
                        continue;
                    }
                    const qsizetype c = places[k];
                    const qsizetype start = c - pattern.before.size() - pair.left.size();
                    const qsizetype end = c + length + pattern.after.size() + pair.right.size();
                    if (start < lastEnd || start < 0 || end > n || !fitsPattern(s, n, c, length, pattern) ||
                        QStringView(s + start, pair.left.size()) != pair.left ||
                        QStringView(s + end - pair.right.size(), pair.right.size()) != pair.right ||
                        insertedWithin(start, end)) {
                        continue;
                    }
                    inserted_[c] = kLinkOpen;
                    inserted_[c + length] = kLinkClose;
                    linked[k] = true;
                    lastEnd = end;
                }
            }
        }
    }

    /// Whether the current text holds `name` at all.
    bool currentlyContains(const QString& name) const {
        QString current;
        materialize(current, nullptr);
        return current.contains(name);
    }

    /// The replacements of any name, done literally on the current text.
    /// False when nothing was linked; the text is then as it was.
    bool linkLiterally(const QString& name) {
        bool linkedAny = false;
        QString current;
        std::vector<qsizetype> origin;
        materialize(current, &origin);
        for (const Pattern& pattern : kPatterns) {
            const QString core = pattern.before.toString() + name + pattern.after.toString();
            for (const DelimiterPair& pair : kPairs) {
                const QString find = pair.left.toString() + core + pair.right.toString();
                std::vector<qsizetype> points;
                for (qsizetype m = current.indexOf(find); m >= 0; m = current.indexOf(find, m + find.size())) {
                    const qsizetype at = m + pair.left.size() + pattern.before.size();
                    points.push_back(at);
                    points.push_back(at + name.size());
                }
                if (!points.empty()) {
                    insertLinks(current, origin, points);
                    linkedAny = true;
                }
            }
        }
        if (!linkedAny) {
            return false;
        }
        inserted_.clear();
        QString pending;
        for (qsizetype k = 0; k < current.size(); ++k) {
            if (origin[static_cast<size_t>(k)] < 0) {
                pending += current[k];
            } else if (!pending.isEmpty()) {
                inserted_[origin[static_cast<size_t>(k)]] = pending;
                pending.clear();
            }
        }
        if (!pending.isEmpty()) {
            inserted_[original_.size()] = pending;
        }
        return true;
    }

private:
    static bool fitsPattern(const char16_t* s, qsizetype n, qsizetype c, qsizetype length, const Pattern& pattern) {
        const qsizetype before = c - pattern.before.size();
        const qsizetype after = c + length;
        return before >= 0 && after + pattern.after.size() <= n &&
               QStringView(s + before, pattern.before.size()) == pattern.before &&
               QStringView(s + after, pattern.after.size()) == pattern.after;
    }

    /// Whether anything was inserted strictly inside start..end.
    bool insertedWithin(qsizetype start, qsizetype end) const {
        const auto it = inserted_.lower_bound(start + 1);
        return it != inserted_.end() && it->first < end;
    }

    void materialize(QString& out, std::vector<qsizetype>* origin) const {
        out.clear();
        out.reserve(original_.size() + static_cast<qsizetype>(inserted_.size()) * 6);
        if (origin != nullptr) {
            origin->clear();
            origin->reserve(static_cast<size_t>(out.capacity()));
        }
        qsizetype copied = 0;
        const auto copyOriginal = [&](qsizetype upTo) {
            out.append(QStringView(original_).mid(copied, upTo - copied));
            if (origin != nullptr) {
                for (qsizetype k = copied; k < upTo; ++k) {
                    origin->push_back(k);
                }
            }
            copied = upTo;
        };
        for (const auto& [gap, text] : inserted_) {
            copyOriginal(gap);
            out.append(text);
            if (origin != nullptr) {
                origin->insert(origin->end(), static_cast<size_t>(text.size()), -1);
            }
        }
        copyOriginal(original_.size());
    }

    /// Inserts "@goto[" at the even and "]" at the odd entries of `points`.
    static void insertLinks(QString& current, std::vector<qsizetype>& origin, const std::vector<qsizetype>& points) {
        QString out;
        std::vector<qsizetype> outOrigin;
        out.reserve(current.size() + static_cast<qsizetype>(points.size()) * 4);
        outOrigin.reserve(static_cast<size_t>(out.capacity()));
        qsizetype copied = 0;
        for (size_t k = 0; k < points.size(); ++k) {
            const qsizetype at = points[k];
            out.append(QStringView(current).mid(copied, at - copied));
            outOrigin.insert(outOrigin.end(), origin.begin() + copied, origin.begin() + at);
            const QString& link = k % 2 == 0 ? kLinkOpen : kLinkClose;
            out.append(link);
            outOrigin.insert(outOrigin.end(), static_cast<size_t>(link.size()), -1);
            copied = at;
        }
        out.append(QStringView(current).mid(copied));
        outOrigin.insert(outOrigin.end(), origin.begin() + copied, origin.end());
        current = std::move(out);
        origin = std::move(outOrigin);
    }

    QString original_;
    std::map<qsizetype, QString> inserted_;
};

/// The targets by the first word of their names (up to the first space), so
/// a text is searched once for all names.
class NameLinker {
public:
    explicit NameLinker(const std::vector<LinkTarget>& targets) : targets_(targets) {
        literal_.resize(targets.size());
        members_.resize(targets.size());
        QHash<QString, int> leaders;
        for (size_t t = 0; t < targets.size(); ++t) {
            const QString& name = targets[t].name;
            clean_.push_back(IsCleanName(name));
            literal_[t] = IsLiteralName(name) || !clean_[t];
            // Sections of the same name are found once, through the first.
            const auto leader = leaders.constFind(name);
            if (leader != leaders.constEnd()) {
                members_[static_cast<size_t>(*leader)].push_back(static_cast<int>(t));
                continue;
            }
            leaders.insert(name, static_cast<int>(t));
            members_[t].push_back(static_cast<int>(t));
            if (literal_[t]) {
                literalTargets_.push_back(static_cast<int>(t));
                if (!clean_[t]) {
                    uncleanTargets_.push_back(static_cast<int>(t));
                }
            }
            const qsizetype space = name.indexOf(u' ');
            const QStringView first = QStringView(name).first(space < 0 ? name.size() : space);
            byFirstWord_[qHash(first)].push_back(static_cast<int>(t));
            if (firstWordLengths_.size() <= static_cast<size_t>(first.size())) {
                firstWordLengths_.resize(static_cast<size_t>(first.size()) + 1, false);
            }
            firstWordLengths_[static_cast<size_t>(first.size())] = true;
        }
    }

    void link(QString& text, int section) const {
        if (text.isEmpty()) {
            return;
        }
        // Where each target's name stands at a word start (after a delimiter,
        // or after "(" that follows one), as (target, position) in text order.
        std::vector<std::pair<int, qsizetype>> places;
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
        std::stable_sort(places.begin(), places.end(),
                         [](const auto& x, const auto& y) { return x.first < y.first; });
        // Where each name's places lie in `places`.
        std::unordered_map<int, std::pair<size_t, size_t>> spans;
        for (size_t k = 0; k < places.size();) {
            size_t end = k;
            while (end < places.size() && places[end].first == places[k].first) {
                ++end;
            }
            spans[places[k].first] = {k, end};
            k = end;
        }

        // Targets run in their order, a name once for each of its sections.
        // A name that links nothing leaves the text as it was, so the same name
        // again links nothing until something else changes the text; a name
        // without "@", "[" or "]" even never again, since links only insert
        // between characters. Many sections of one name would otherwise cost
        // their number for every text.
        using Run = std::pair<int, int>;  // (target to run as, first target of its name)
        std::priority_queue<Run, std::vector<Run>, std::greater<>> runs;
        const auto runNext = [&](int first, int after) {
            const int member = nextMember(first, after, section);
            if (member >= 0) {
                runs.emplace(member, first);
            }
        };
        // A clean literal name found at no word start cannot link in the text
        // as it stands, so only the names found run at first; the others wait
        // for the first change. Running them all on every text would cost the
        // number of such names (many sections with "@" in their names) squared.
        for (const auto& [first, span] : spans) {
            if (clean_[static_cast<size_t>(first)]) {
                runNext(first, -1);
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
            if (const auto span = spans.find(first); span != spans.end()) {
                for (size_t k = span->second.first; k < span->second.second; ++k) {
                    at.push_back(places[k].second);
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
                        if (clean_[static_cast<size_t>(waiting)] && !spans.contains(waiting)) {
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

private:
    /// The first section after `after` that bears the name led by `first`,
    /// other than the text's own; -1 when none is left.
    int nextMember(int first, int after, int section) const {
        const std::vector<int>& members = members_[static_cast<size_t>(first)];
        for (auto it = std::upper_bound(members.begin(), members.end(), after); it != members.end(); ++it) {
            if (targets_[static_cast<size_t>(*it)].section != section) {
                return *it;
            }
        }
        return -1;
    }

    /// Records the targets whose names start at `c`; the word from `c` runs to
    /// `b`. A one-word name may be followed in the word by ".", ",", ";", "("
    /// or ")" and by ")" with ".", "," or ";"; a longer name's first word ends
    /// at a space.
    void findNamesAt(const char16_t* s, qsizetype n, qsizetype c, qsizetype b,
                     std::vector<std::pair<int, qsizetype>>& places) const {
        qsizetype lengths[3];
        int variants = 0;
        lengths[variants++] = b - c;
        const auto isPunctuation = [](char16_t ch) {
            return ch == u'.' || ch == u',' || ch == u';' || ch == u'(' || ch == u')';
        };
        if (b - c >= 2 && isPunctuation(s[b - 1])) {
            lengths[variants++] = b - c - 1;
        }
        if (b - c >= 3 && s[b - 2] == u')' && (s[b - 1] == u'.' || s[b - 1] == u',' || s[b - 1] == u';')) {
            lengths[variants++] = b - c - 2;
        }
        for (int v = 0; v < variants; ++v) {
            // Most words are no name's first word by their length alone.
            if (static_cast<size_t>(lengths[v]) >= firstWordLengths_.size() ||
                !firstWordLengths_[static_cast<size_t>(lengths[v])]) {
                continue;
            }
            const QStringView word(s + c, lengths[v]);
            const auto it = byFirstWord_.find(qHash(word));
            if (it == byFirstWord_.end()) {
                continue;
            }
            for (const int t : it->second) {
                const QString& name = targets_[static_cast<size_t>(t)].name;
                const qsizetype space = name.indexOf(u' ');
                if ((space < 0 ? name.size() : space) != word.size() || c + name.size() > n ||
                    QStringView(s + c, name.size()) != name) {
                    continue;
                }
                places.emplace_back(t, c);
            }
        }
    }

    const std::vector<LinkTarget>& targets_;
    std::unordered_map<size_t, std::vector<int>> byFirstWord_;
    std::vector<bool> firstWordLengths_;
    std::vector<bool> literal_;
    std::vector<bool> clean_;
    std::vector<int> literalTargets_;
    std::vector<int> uncleanTargets_;  ///< literal names the first-word index cannot find
    std::vector<std::vector<int>> members_;  ///< by the first target of a name: every target of that name
};

}  // namespace

void LinkSectionNames(QString& text, int section, const std::vector<LinkTarget>& targets) {
    NameLinker(targets).link(text, section);
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
};

SectionLinker::SectionLinker(std::vector<LinkTarget> targets)
    : tables_(std::make_unique<Tables>(std::move(targets))) {}

SectionLinker::~SectionLinker() = default;

void SectionLinker::link(QString& text, int section) const {
    if (!tables_->targets.empty()) {
        tables_->linker.link(text, section);
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

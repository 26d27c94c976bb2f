#include "extract/cross_references.h"

#include "extract/document_model.h"
#include "extract/linked_text.h"
#include "extract/markers.h"
#include "extract/name_finder.h"
#include "extract/text_search.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <queue>
#include <utility>

namespace tessarel {

// Linking means, for every target name and every text, nine whole-word
// replacements over sixteen delimiter pairs, each a full pass over the text.
// That is quadratic in the number of sections, so the linker finds the
// mentions first (`NameFinder`) and applies the same replacements, in the same
// order, only where a name stands.
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

bool IsLiteralName(const QString& name) { return name.contains(u'@') || name.contains(u'[') || name.contains(u']'); }

/// A name as the parser leaves it: no tab or line break, no blank at either end.
/// Only such a name is found by its first word.
bool IsCleanName(const QString& name) {
    return !name.isEmpty() && name.front() != u' ' && name.back() != u' ' && !name.contains(u'\t') &&
           !name.contains(kCr) && !name.contains(kLf);
}

using Place = NameFinder::Place;

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

/// Links a text to the targets whose names the finder places in it.
class NameLinker {
public:
    explicit NameLinker(const std::vector<LinkTarget>& targets) : targets_(targets), finder_(targets) {
        const size_t count = targets.size();
        literal_.resize(count);
        clean_.resize(count);
        for (size_t t = 0; t < count; ++t) {
            const QString& name = targets[t].name;
            clean_[t] = IsCleanName(name);
            literal_[t] = IsLiteralName(name) || !clean_[t];
            if (literal_[t] && finder_.leads(static_cast<int>(t))) {
                literalTargets_.push_back(static_cast<int>(t));
                if (!clean_[t]) {
                    uncleanTargets_.push_back(static_cast<int>(t));
                }
            }
        }
    }

    void link(QString& text, int section, LinkScratch& scratch) const {
        if (text.isEmpty()) {
            return;
        }
        std::vector<Place>& places = scratch.places;
        places.clear();
        finder_.findPlaces(text, places);
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
            groups.push_back(
                {places[k].leader, places[k].slot, static_cast<std::uint32_t>(k), static_cast<std::uint32_t>(end)});
            k = end;
        }
        if (literalTargets_.empty()) {
            linkCleanNames(text, section, scratch);
        } else {
            linkAnyNames(text, section, scratch);
        }
    }

private:
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
            const int member = finder_.nextMember(scratch.groups[g].slot, -1, section);
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
            if (linkPlaces(s, n, finder_.nameLength(group.slot), group, scratch)) {
                const int member = finder_.nextMember(group.slot, t, section);
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
        out.reserve(n + static_cast<qsizetype>(inserts.size()) * kLinkOpenMarker.size());
        qsizetype copied = 0;
        for (const auto& [at, open] : inserts) {
            scratch.marks[static_cast<size_t>(at)] = 0;
            out.append(QStringView(s + copied, at - copied));
            out.append(open ? kLinkOpenMarker : kLinkCloseMarker);
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
            const int member = finder_.nextMember(finder_.slotOf(first), after, section);
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
    const NameFinder finder_;
    std::vector<std::uint8_t> literal_;
    std::vector<std::uint8_t> clean_;
    std::vector<int> literalTargets_;
    std::vector<int> uncleanTargets_;  ///< literal names the first-word index cannot find
};

}  // namespace

std::vector<LinkTarget> LinkTargets(const DocumentModel& doc) {
    std::vector<LinkTarget> targets;
    targets.reserve(static_cast<size_t>(std::max(doc.count() - 1, 0)));
    for (int j = 1; j < doc.count(); ++j) {
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

struct SectionLinker::Buffers::Scratch : LinkScratch {};

SectionLinker::Buffers::Buffers() : scratch_(std::make_unique<Scratch>()) {}

SectionLinker::Buffers::~Buffers() = default;

SectionLinker::SectionLinker(std::vector<LinkTarget> targets) : tables_(std::make_unique<Tables>(std::move(targets))) {}

SectionLinker::~SectionLinker() = default;

void SectionLinker::link(QString& text, int section, Buffers& buffers) const {
    if (!tables_->targets.empty()) {
        tables_->linker.link(text, section, *buffers.scratch_);
    }
}

}  // namespace tessarel
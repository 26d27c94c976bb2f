#include "extract/linked_text.h"

#include "extract/markers.h"

#include <limits>
#include <utility>

namespace tessarel {

QString LinkedText::result() const {
    if (inserted_.empty()) {
        return original_;
    }
    QString out;
    materialize(out, nullptr);
    return out;
}

void LinkedText::linkAt(const QString& name, const std::vector<qsizetype>& places) {
    const char16_t* s = QStringView(original_).utf16();
    const qsizetype n = original_.size();
    const qsizetype length = name.size();
    std::vector<bool> linked(places.size(), false);
    for (const LinkPattern& pattern : kPatterns) {
        // Skip the sixteen pairs when the pattern fits nowhere.
        bool fits = false;
        for (size_t k = 0; k < places.size() && !fits; ++k) {
            fits = !linked[k] && FitsPattern(s, n, places[k], length, pattern);
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
                if (start < lastEnd || start < 0 || end > n || !FitsPattern(s, n, c, length, pattern) ||
                    !HasAt(s + start, pair.left) || !HasAt(s + end - pair.right.size(), pair.right) ||
                    insertedWithin(start, end)) {
                    continue;
                }
                inserted_[c] = kLinkOpenMarker;
                inserted_[c + length] = kLinkCloseMarker;
                linked[k] = true;
                lastEnd = end;
            }
        }
    }
}

bool LinkedText::currentlyContains(const QString& name) const {
    QString current;
    materialize(current, nullptr);
    return current.contains(name);
}

bool LinkedText::linkLiterally(const QString& name) {
    bool linkedAny = false;
    QString current;
    std::vector<qsizetype> origin;
    materialize(current, &origin);
    for (const LinkPattern& pattern : kPatterns) {
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

bool LinkedText::insertedWithin(qsizetype start, qsizetype end) const {
    const auto it = inserted_.lower_bound(start + 1);
    return it != inserted_.end() && it->first < end;
}

void LinkedText::materialize(QString& out, std::vector<qsizetype>* origin) const {
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

void LinkedText::insertLinks(QString& current, std::vector<qsizetype>& origin, const std::vector<qsizetype>& points) {
    QString out;
    std::vector<qsizetype> outOrigin;
    out.reserve(current.size() + static_cast<qsizetype>(points.size()) * 4);
    outOrigin.reserve(static_cast<size_t>(out.capacity()));
    qsizetype copied = 0;
    for (size_t k = 0; k < points.size(); ++k) {
        const qsizetype at = points[k];
        out.append(QStringView(current).mid(copied, at - copied));
        outOrigin.insert(outOrigin.end(), origin.begin() + copied, origin.begin() + at);
        const QString& link = k % 2 == 0 ? kLinkOpenMarker : kLinkCloseMarker;
        out.append(link);
        outOrigin.insert(outOrigin.end(), static_cast<size_t>(link.size()), -1);
        copied = at;
    }
    out.append(QStringView(current).mid(copied));
    outOrigin.insert(outOrigin.end(), origin.begin() + copied, origin.end());
    current = std::move(out);
    origin = std::move(outOrigin);
}
}  // namespace tessarel

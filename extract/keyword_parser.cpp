#include "extract/keyword_parser.h"

#include "extract/document_model.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <QHash>

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace tessarel {

namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

inline bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
inline const char16_t* Chars(const QString& text) { return QStringView(text).utf16(); }

const QString kUnnamed = QStringLiteral("PLEASE NAME THIS SECTION");
const QString kBlankedClose = QStringLiteral("   ");

/// The first occurrence of `needle` at or after `from` that starts before `limit`.
qsizetype FindBefore(const QString& text, QStringView needle, qsizetype from, qsizetype limit) {
    const qsizetype searched = std::min(text.size(), limit + needle.size() - 1);
    if (from >= searched) {
        return -1;
    }
    return QStringView(text).first(searched).indexOf(needle, from);
}

/// First position at or after `from` whose character satisfies a predicate,
/// for queries that never move backwards: a query inside the stretch already
/// searched is answered without looking again, so all queries together read
/// each character at most once.
template <typename Predicate>
class ForwardFinder {
public:
    ForwardFinder(const char16_t* s, qsizetype n, Predicate predicate) : s_(s), n_(n), predicate_(predicate) {}
    qsizetype operator()(qsizetype from) {
        if (from <= result_ && result_ >= 0) {
            return result_;
        }
        qsizetype i = from;
        while (i < n_ && !predicate_(s_[i])) {
            ++i;
        }
        result_ = i;
        return i;
    }

private:
    const char16_t* s_;
    qsizetype n_;
    Predicate predicate_;
    qsizetype result_ = -1;
};

QString NameFromRange(QStringView range) {
    QString name = range.toString();
    name.replace(u'\t', u' ');
    name = TrimSpaces(name);
    if (name.contains(kCr) || name.contains(kLf)) {
        name.remove(kCr);
        name.remove(kLf);
        name = TrimSpaces(name);
    }
    return name.isEmpty() ? kUnnamed : name;
}

QString SpanText(const QString& text, qsizetype p, qsizetype limit) {
    QString result;
    qsizetype from = p;
    for (;;) {
        const qsizetype open = FindBefore(text, TextOpenTag, from, limit);
        if (open < 0) {
            break;
        }
        const qsizetype close = FindBefore(text, TextCloseTag, open + 2, limit);
        if (close < 0) {
            break;
        }
        result.append(QStringView(text).mid(open + 2, close - open - 2));
        from = close + 1;
    }
    result += kCrLf;
    result += kCrLf;
    return result;
}

}  // namespace

const QStringList& SectionKeywords() {
    static const QStringList keywords = {
        QStringLiteral("name"),     QStringLiteral("routine"),   QStringLiteral("module"),
        QStringLiteral("class"),    QStringLiteral("function"),  QStringLiteral("sub"),
        QStringLiteral("form"),     QStringLiteral("procedure"), QStringLiteral("title"),
        QStringLiteral("file"),     QStringLiteral("header"),    QStringLiteral("def"),
        QStringLiteral("var"),      QStringLiteral("const"),     QStringLiteral("type"),
        QStringLiteral("section"),  QStringLiteral("method"),    QStringLiteral("constructor"),
        QStringLiteral("property"), QStringLiteral("attribute"),
    };
    return keywords;
}

bool IsSectionKeyword(QStringView word) {
    static const QStringList forms = [] {
        QStringList all;
        for (const QString& keyword : SectionKeywords()) {
            all << keyword << keyword.toUpper() << keyword.left(1).toUpper() + keyword.mid(1);
        }
        return all;
    }();
    if (word.size() < 3 || word.size() > 11) {
        return false;
    }
    return std::any_of(forms.begin(), forms.end(), [word](const QString& form) { return form == word; });
}

void ConvertKeywordLines(QString& text, Yielder* yielder) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    QString out;
    qsizetype copied = 0;
    qsizetype lineStart = 0;
    qsizetype colon = 0;
    int state = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (yielder != nullptr) {
            yielder->tick();
        }
        const char16_t c = s[i];
        switch (state) {
        case 0:
            if (c == kCr) {
                state = 1;
            }
            break;
        case 1:
            state = c == kLf ? 2 : 0;
            break;
        case 2:
            if (c == kCr) {
                state = 1;
            } else if (!IsBlank(c)) {
                lineStart = i;
                state = 3;
            }
            break;
        case 3:
            if (c == kCr) {
                state = 1;
            } else if (c == u':') {
                colon = i;
                state = 4;
            }
            break;
        case 4:
            if (c == kCr) {
                state = 5;
            }
            break;
        case 5: {
            if (c != kLf) {
                state = 0;
                break;
            }
            qsizetype wordEnd = colon;
            while (wordEnd > lineStart && IsBlank(s[wordEnd - 1])) {
                --wordEnd;
            }
            const QStringView value(s + colon + 1, i - colon);
            if (value.contains(u';') || !IsSectionKeyword(QStringView(s + lineStart, wordEnd - lineStart))) {
                // Not a keyword line: the next line is looked at all the same.
                state = 2;
                break;
            }
            if (out.isEmpty()) {
                out.reserve(n + n / 8 + 64);
            }
            out.append(QStringView(s + copied, lineStart - copied));
            out.append(u"\r\n@/t\r\n");
            out.append(SectionTag);
            out.append(u' ');
            out.append(TrimSpaces(value.toString()));
            out.append(u" @t");
            copied = i + 1;
            state = 0;
            break;
        }
        }
    }
    if (copied > 0) {
        out.append(QStringView(s + copied, n - copied));
        text = std::move(out);
    }
}

std::vector<qsizetype> SectionTagPositions(const QString& text) {
    std::vector<qsizetype> positions;
    const QStringView view(text);
    for (qsizetype at = view.indexOf(SectionTag); at >= 0; at = view.indexOf(SectionTag, at + 1)) {
        positions.push_back(at);
    }
    return positions;
}

void FillSections(DocumentModel& doc) {
    const QString& text = doc.SourceText;
    const std::vector<qsizetype> tags = SectionTagPositions(text);
    doc.SectionCount = static_cast<double>(tags.size());
    doc.Sections.assign(tags.size() + 1, SectionRecord{});

    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    ForwardFinder nextSpace(s, n, [](char16_t c) { return c == u' '; });
    ForwardFinder nextNonSpace(s, n, [](char16_t c) { return c != u' '; });
    ForwardFinder nextLineBreak(s, n, [](char16_t c) { return c == kCr || c == kLf; });

    // A typed "@section" without a name on its line takes the next line that
    // has a space; many such tags on one long line would each copy the rest
    // of that line. Beyond a generous budget a name is cut at the next tag.
    const qsizetype nameBudget = 2 * n + (1 << 20);
    qsizetype nameCharacters = 0;
    std::pair<qsizetype, qsizetype> lastRange{-1, -1};
    QString lastName;

    for (size_t k = 0; k < tags.size(); ++k) {
        const qsizetype p = tags[k];
        const qsizetype limit = k + 1 < tags.size() ? tags[k + 1] : n;
        SectionRecord& record = doc.Sections[k + 1];
        record.Position = QString::number(p + 1);

        const qsizetype space = nextSpace(p + 3);
        const qsizetype first = space < n ? nextNonSpace(space + 1) : n;
        qsizetype end = first < n ? nextLineBreak(first) : n;
        if (end >= n) {
            record.Name = kUnnamed;
        } else {
            const std::pair<qsizetype, qsizetype> range{first, end};
            if (range != lastRange) {
                if (nameCharacters + (end - first) > nameBudget && limit < end) {
                    end = std::max(first, limit);
                }
                nameCharacters += end - first;
                lastName = NameFromRange(QStringView(s + first, end - first));
                lastRange = range;
            }
            record.Name = lastName;
        }
        record.Text = SpanText(text, p, limit);
    }
}

QString FoldedText(const QString& text) {
    QString folded(text.size(), Qt::Uninitialized);
    const char16_t* s = Chars(text);
    char16_t* w = reinterpret_cast<char16_t*>(folded.data());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            const char32_t code = QChar::toCaseFolded(QChar::surrogateToUcs4(c, s[i + 1]));
            if (QChar::requiresSurrogates(code)) {
                w[i] = QChar::highSurrogate(code);
                w[i + 1] = QChar::lowSurrogate(code);
            } else {
                w[i] = c;
                w[i + 1] = s[i + 1];
            }
            ++i;
        } else {
            w[i] = QChar::toCaseFolded(c);
        }
    }
    return folded;
}

QString CleanDeclaration(QString cut) {
    ReplaceWord(cut, QStringLiteral("_"), QString());
    const qsizetype open = cut.indexOf(TextOpenTag);
    if (open >= 0) {
        cut.remove(open, TextOpenTag.size());
    }
    return cut;
}

namespace {

/// Finds, for every "(" of the folded text, which of the folded names end
/// right before it. The names are kept reversed in a trie, so each "(" costs
/// only as many steps as the text before it agrees with the end of some name.
class NameBeforeParenthesis {
public:
    explicit NameBeforeParenthesis(const std::vector<QString>& names)
        : rootChildren_(65536, -1), occurrences_(names.size()) {
        terminal_.push_back(-1);
        for (size_t id = 0; id < names.size(); ++id) {
            int node = 0;
            const QString& name = names[id];
            for (qsizetype i = name.size() - 1; i >= 0; --i) {
                node = childOrNew(node, name[i].unicode());
            }
            terminal_[static_cast<size_t>(node)] = static_cast<int>(id);
        }
    }

    void scan(const QString& folded) {
        const char16_t* s = Chars(folded);
        const QStringView view(folded);
        for (qsizetype r = view.indexOf(u'('); r >= 0; r = view.indexOf(u'(', r + 1)) {
            if (terminal_[0] >= 0) {
                occurrences_[static_cast<size_t>(terminal_[0])].push_back(r);
            }
            int node = 0;
            for (qsizetype j = r - 1; j >= 0; --j) {
                node = child(node, s[j]);
                if (node < 0) {
                    break;
                }
                if (terminal_[static_cast<size_t>(node)] >= 0) {
                    occurrences_[static_cast<size_t>(terminal_[static_cast<size_t>(node)])].push_back(j);
                }
            }
        }
    }

    /// The first start of name `id` followed by "(" at or after `from`; -1 if none.
    qsizetype firstAtOrAfter(int id, qsizetype from) const {
        const std::vector<qsizetype>& list = occurrences_[static_cast<size_t>(id)];
        const auto it = std::lower_bound(list.begin(), list.end(), from);
        return it == list.end() ? -1 : *it;
    }

private:
    static quint64 key(int node, char16_t c) { return (static_cast<quint64>(node) << 16) | c; }

    int child(int node, char16_t c) const {
        if (node == 0) {
            return rootChildren_[static_cast<size_t>(c)];
        }
        const auto it = edges_.find(key(node, c));
        return it == edges_.end() ? -1 : it->second;
    }

    int childOrNew(int node, char16_t c) {
        const int existing = child(node, c);
        if (existing >= 0) {
            return existing;
        }
        const int created = static_cast<int>(terminal_.size());
        terminal_.push_back(-1);
        if (node == 0) {
            rootChildren_[static_cast<size_t>(c)] = created;
        } else {
            edges_.emplace(key(node, c), created);
        }
        return created;
    }

    std::vector<int> rootChildren_;  // one slot per UTF-16 unit
    std::unordered_map<quint64, int> edges_;
    std::vector<int> terminal_;
    std::vector<std::vector<qsizetype>> occurrences_;
};

/// Where the parentheses opened from a position first balance: the first ")"
/// at or after it that brings the depth back to the depth before it.
class ParenthesisBalance {
public:
    ParenthesisBalance(const QString& text, std::vector<qsizetype> starts) {
        const char16_t* s = Chars(text);
        const qsizetype n = text.size();
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
        qint64 depth = 0;
        size_t next = 0;
        for (qsizetype i = 0; i < n; ++i) {
            while (next < starts.size() && starts[next] == i) {
                depthBefore_.emplace(i, depth);
                ++next;
            }
            const char16_t c = s[i];
            if (c == u'(') {
                ++depth;
            } else if (c == u')') {
                --depth;
                closers_.emplace_back(depth, i);
            } else if (c == kCr) {
                carriageReturns_.push_back(i);
            } else if (c == kLf) {
                lineFeeds_.push_back(i);
            }
        }
        std::sort(closers_.begin(), closers_.end());
    }

    /// The ")" that balances the parentheses counted from `start`; -1 if none.
    qsizetype closingFrom(qsizetype start) const {
        const qint64 depth = depthBefore_.value(start);
        const auto it = std::lower_bound(closers_.begin(), closers_.end(), std::make_pair(depth, start));
        return it != closers_.end() && it->first == depth ? it->second : -1;
    }
    /// One after the last LF before `position` (0 without one).
    qsizetype lineStartBefore(qsizetype position) const {
        const auto it = std::lower_bound(lineFeeds_.begin(), lineFeeds_.end(), position);
        return it == lineFeeds_.begin() ? 0 : *(it - 1) + 1;
    }
    /// The first CR at or after `position`; -1 if none.
    qsizetype carriageReturnFrom(qsizetype position) const {
        const auto it = std::lower_bound(carriageReturns_.begin(), carriageReturns_.end(), position);
        return it == carriageReturns_.end() ? -1 : *it;
    }

private:
    QHash<qsizetype, qint64> depthBefore_;
    std::vector<std::pair<qint64, qsizetype>> closers_;
    std::vector<qsizetype> carriageReturns_;
    std::vector<qsizetype> lineFeeds_;
};

}  // namespace

void FindDeclarations(DocumentModel& doc) {
    const int count = doc.count();
    for (int i = 1; i <= count; ++i) {
        SectionRecord& section = doc.section(i);
        if (section.Name.contains(TextCloseTag)) {
            // The keyword line ended its comment block: no text followed it.
            section.Name.replace(TextCloseTag, kBlankedClose);
            section.Text.clear();
        }
        section.Name = TrimSpaces(section.Name);
    }
    if (count == 0) {
        return;
    }

    const QString& text = doc.SourceText;
    const QString folded = FoldedText(text);
    QHash<QString, int> nameIds;
    std::vector<QString> names;
    std::vector<int> sectionName(static_cast<size_t>(count) + 1, -1);
    for (int i = 1; i <= count; ++i) {
        const QString key = FoldedText(doc.section(i).Name);
        auto it = nameIds.find(key);
        if (it == nameIds.end()) {
            it = nameIds.insert(key, static_cast<int>(names.size()));
            names.push_back(key);
        }
        sectionName[static_cast<size_t>(i)] = it.value();
    }
    NameBeforeParenthesis index(names);
    index.scan(folded);

    std::vector<qsizetype> found(static_cast<size_t>(count) + 1, -1);
    std::vector<qsizetype> starts;
    for (int i = 1; i <= count; ++i) {
        const qsizetype from = doc.section(i).Position.toLongLong() - 1;
        found[static_cast<size_t>(i)] = index.firstAtOrAfter(sectionName[static_cast<size_t>(i)], std::max<qsizetype>(0, from));
        if (found[static_cast<size_t>(i)] >= 0) {
            starts.push_back(found[static_cast<size_t>(i)]);
        }
    }
    if (starts.empty()) {
        for (int i = 1; i <= count; ++i) {
            doc.section(i).Declaration.clear();
        }
        return;
    }

    const ParenthesisBalance balance(text, starts);
    QHash<QPair<qsizetype, qsizetype>, QString> cut;
    for (int i = 1; i <= count; ++i) {
        SectionRecord& section = doc.section(i);
        section.Declaration.clear();
        const qsizetype q = found[static_cast<size_t>(i)];
        if (q < 0) {
            continue;
        }
        const qsizetype closing = balance.closingFrom(q);
        if (closing < 0) {
            continue;
        }
        const qsizetype start = balance.lineStartBefore(q);
        const qsizetype cr = balance.carriageReturnFrom(closing);
        const qsizetype end = cr < 0 ? text.size() : cr;
        const QPair<qsizetype, qsizetype> range(start, end);
        auto it = cut.find(range);
        if (it == cut.end()) {
            it = cut.insert(range, CleanDeclaration(text.mid(start, end - start)));
        }
        section.Declaration = it.value();
    }
}

}  // namespace tessarel

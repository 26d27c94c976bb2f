#include "extract/keyword_parser.h"

#include "extract/document_model.h"
#include "extract/markers.h"
#include "extract/pass_context.h"
#include "extract/text_search.h"
#include "support/html_text.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tessarel {

namespace {

const QString kUnnamed = QStringLiteral("PLEASE NAME THIS SECTION");

/// Whether `text` holds a ";" from `from` up to `to` that is the source's own,
/// not the end of a character reference the earlier passes wrote.
bool HoldsSemicolon(QStringView text, qsizetype from, qsizetype to) {
    const QStringView part = text.first(to);
    for (qsizetype at = part.indexOf(u';', from); at >= 0; at = part.indexOf(u';', at + 1)) {
        if (!IsReferenceEnd(text, at)) {
            return true;
        }
    }
    return false;
}

/// The first occurrence of `needle` at or after `from` that starts before `limit`.
qsizetype FindBefore(const QString& text, QStringView needle, qsizetype from, qsizetype limit) {
    const qsizetype searched = std::min(text.size(), limit + needle.size() - 1);
    if (from >= searched) {
        return -1;
    }
    return FindText(QStringView(text).first(searched), needle, from);
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

/// Appends the stretches strictly between "@t" and the next "@/t" from `p`
/// on, as long as both markers start before `limit`.
void CollectSpans(const QString& text, qsizetype p, qsizetype limit,
                  std::vector<std::pair<qsizetype, qsizetype>>& spans) {
    qsizetype from = p;
    for (;;) {
        const qsizetype open = FindBefore(text, kTextOpenMarker, from, limit);
        if (open < 0) {
            break;
        }
        const qsizetype close = FindBefore(text, kTextCloseMarker, open + 2, limit);
        if (close < 0) {
            break;
        }
        spans.emplace_back(open + 2, close);
        from = close + 1;
    }
}

void AppendSpans(QString& out, const QString& text, const std::pair<qsizetype, qsizetype>* begin,
                 const std::pair<qsizetype, qsizetype>* end) {
    qsizetype length = out.size() + 4;
    for (auto it = begin; it != end; ++it) {
        length += it->second - it->first;
    }
    out.reserve(length);
    for (auto it = begin; it != end; ++it) {
        out.append(QStringView(text).mid(it->first, it->second - it->first));
    }
    out += kCrLf;
    out += kCrLf;
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
    // The three forms of every keyword, by length: a line's first word is
    // compared only with the forms as long as it.
    constexpr qsizetype kLongest = 11;
    static const std::array<QStringList, kLongest + 1> formsByLength = [] {
        std::array<QStringList, kLongest + 1> all;
        for (const QString& keyword : SectionKeywords()) {
            for (const QString& form : {keyword, keyword.toUpper(), keyword.left(1).toUpper() + keyword.mid(1)}) {
                all[static_cast<size_t>(form.size())] << form;
            }
        }
        return all;
    }();
    if (word.size() < 3 || word.size() > kLongest) {
        return false;
    }
    const QStringList& forms = formsByLength[static_cast<size_t>(word.size())];
    return std::any_of(forms.begin(), forms.end(), [word](const QString& form) { return form == word; });
}

void ConvertKeywordLines(QString& text, PassContext* context) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    TextRewriter out(text, context);
    qsizetype lineStart = 0;
    qsizetype colon = 0;
    // Where the walk is, relative to a line that may be a keyword line.
    enum class At {
        OtherLine,  ///< a line that is no candidate: on to its CR
        LineEnd,    ///< after a CR
        LineStart,  ///< the blanks that open a line
        Keyword,    ///< a candidate line before its colon
        Value,      ///< after the colon: on to the line's CR
        ValueEnd,   ///< after that CR: a line feed makes it a whole line
    };
    At state = At::OtherLine;
    for (qsizetype i = 0; i < n; ++i) {
        if (state == At::OtherLine || state == At::Value) {
            // Only a carriage return moves the walk on from these states.
            i = FindChar(s, n, i, kCr);
            if (i >= n) {
                break;
            }
        } else if (state == At::Keyword) {
            // In a candidate line only its colon or its end matters.
            i = FindAnyOf<kCr, u':'>(s, n, i);
            if (i >= n) {
                break;
            }
        }
        const char16_t c = s[i];
        switch (state) {
        case At::OtherLine:
            state = At::LineEnd;
            break;
        case At::LineEnd:
            state = c == kLf ? At::LineStart : At::OtherLine;
            break;
        case At::LineStart:
            if (c == kCr) {
                state = At::LineEnd;
            } else if (!IsBlank(c)) {
                lineStart = i;
                state = At::Keyword;
            }
            break;
        case At::Keyword:
            if (c == kCr) {
                state = At::LineEnd;
            } else if (c == u':') {
                colon = i;
                state = At::Value;
            }
            break;
        case At::Value:
            state = At::ValueEnd;
            break;
        case At::ValueEnd: {
            if (c != kLf) {
                state = At::OtherLine;
                break;
            }
            qsizetype wordEnd = colon;
            while (wordEnd > lineStart && IsBlank(s[wordEnd - 1])) {
                --wordEnd;
            }
            const QStringView value(s + colon + 1, i - colon);
            if (HoldsSemicolon(QStringView(s, n), colon + 1, i + 1) ||
                !IsSectionKeyword(QStringView(s + lineStart, wordEnd - lineStart))) {
                // Not a keyword line: the next line is looked at all the same.
                state = At::LineStart;
                break;
            }
            QString& header = out.replace(lineStart, i + 1);
            header.append(u"\r\n");
            header.append(kTextCloseMarker);
            header.append(u"\r\n");
            header.append(kSectionMarker);
            header.append(u' ');
            header.append(TrimSpaces(value.toString()));
            header.append(u' ');
            header.append(kTextOpenMarker);
            state = At::OtherLine;
            break;
        }
        }
    }
    out.finish(text);
}

std::vector<qsizetype> SectionTagPositions(const QString& text) {
    std::vector<qsizetype> positions;
    for (qsizetype at = FindText(text, kSectionMarker); at >= 0; at = FindText(text, kSectionMarker, at + 1)) {
        positions.push_back(at);
    }
    return positions;
}

void SectionSpans::appendText(QString& out, const QString& source, int i) const {
    const auto k = static_cast<size_t>(i);
    AppendSpans(out, source, ranges.data() + firstRange[k], ranges.data() + firstRange[k + 1]);
}

void FillSections(DocumentModel& doc, SectionSpans* spans) {
    const QString& text = doc.SourceText;
    const std::vector<qsizetype> tags = SectionTagPositions(text);
    doc.Sections.assign(tags.size(), SectionRecord{});

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
    std::vector<std::pair<qsizetype, qsizetype>> ownRanges;
    if (spans != nullptr) {
        spans->ranges.clear();
        spans->firstRange.assign(1, 0);
    }

    for (size_t k = 0; k < tags.size(); ++k) {
        const qsizetype p = tags[k];
        const qsizetype limit = k + 1 < tags.size() ? tags[k + 1] : n;
        SectionRecord& record = doc.Sections[k];
        record.Position = p;

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
        if (spans != nullptr) {
            CollectSpans(text, p, limit, spans->ranges);
            spans->firstRange.push_back(spans->ranges.size());
        } else {
            ownRanges.clear();
            CollectSpans(text, p, limit, ownRanges);
            AppendSpans(record.Text, text, ownRanges.data(), ownRanges.data() + ownRanges.size());
        }
    }
}

}  // namespace tessarel

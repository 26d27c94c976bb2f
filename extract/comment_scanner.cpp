#include "extract/comment_scanner.h"

#include "extract/text_walk.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <QStringView>

#include <algorithm>

namespace tessarel {

namespace {

inline bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

inline char16_t* WritableChars(QString& text) { return reinterpret_cast<char16_t*>(text.data()); }

inline bool CloseMarkerAt(const char16_t* s, qsizetype n, qsizetype i) {
    return i + 2 < n && s[i] == u'@' && s[i + 1] == u'/' && s[i + 2] == u't';
}

const QString kCloseMarker = QStringLiteral("@/t");

/// Appends "&#" and the decimal code of every character (a surrogate pair
/// counts as one character).
void AppendCharacterReferences(QString& out, QStringView content) {
    for (qsizetype i = 0; i < content.size(); ++i) {
        char32_t code = content[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < content.size() && content[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(content[i].unicode(), content[i + 1].unicode());
            ++i;
        }
        char16_t digits[10];
        int count = 0;
        do {
            digits[count++] = static_cast<char16_t>(u'0' + code % 10);
            code /= 10;
        } while (code != 0);
        out += u"&#";
        while (count > 0) {
            out += QChar(digits[--count]);
        }
    }
}

/// The next `c` at or after `from`; `n` when there is none.
inline qsizetype NextOf(const char16_t* s, qsizetype n, qsizetype from, char16_t c) { return FindChar(s, n, from, c); }

}  // namespace

QString& PassContext::output(qsizetype size) {
    spare_.truncate(0);
    if (spare_.capacity() < size) {
        spare_.reserve(size + size / 4 + 256);
    }
    return spare_;
}

TextRewriter::TextRewriter(const QString& source, PassContext* context)
    : source_(source), context_(context != nullptr ? *context : local_) {}

QString& TextRewriter::replace(qsizetype from, qsizetype to) {
    if (out_ == nullptr) {
        out_ = &context_.output(source_.size() + source_.size() / 8 + 64);
    }
    out_->append(QStringView(source_).mid(copied_, from - copied_));
    copied_ = to;
    return *out_;
}

void TextRewriter::finish(QString& text) {
    if (out_ == nullptr) {
        return;
    }
    out_->append(QStringView(source_).mid(copied_));
    context_.commit(text);
    out_ = nullptr;
    // Without a caller's context the room kept for the next pass is never
    // used, and a short text kept per section would carry hundreds of bytes.
    if (&context_ == &local_) {
        text.squeeze();
    }
}

qsizetype FindText(QStringView text, QStringView needle, qsizetype from) {
    const qsizetype m = needle.size();
    const qsizetype n = text.size();
    const char16_t* s = text.utf16();
    if (from < 0 || m == 0) {
        return text.indexOf(needle, from);
    }
    if (from >= n) {
        return -1;
    }
    if (m == 1) {
        const qsizetype at = FindChar(s, n, from, needle.front().unicode());
        return at < n ? at : -1;
    }
    const auto rarity = [](char16_t c) {
        switch (c) {
        case u'@':
        case u'{':
        case u'}':
        case u'*':
        case u':':
        case u'[':
        case u']':
        case u'<':
        case u'>':
        case u'#':
        case u'!':
        case u';':
        case u'&':
        case u'^':
        case u'_':
        case u'\'':
        case u'\\':
            return 3;
        case u' ':
        case u'\t':
        case u'\r':
        case u'\n':
            return 0;
        case u'(':
        case u')':
        case u'/':
        case u',':
        case u'.':
            return 1;
        default:
            return 2;
        }
    };
    qsizetype anchor = 0;
    for (qsizetype k = 1; k < m; ++k) {
        if (rarity(needle[k].unicode()) > rarity(needle[anchor].unicode())) {
            anchor = k;
        }
    }
    const char16_t c = needle[anchor].unicode();
    const char16_t* wanted = needle.utf16();
    for (qsizetype p = FindChar(s, n, from + anchor, c); p < n; p = FindChar(s, n, p + 1, c)) {
        const qsizetype start = p - anchor;
        if (start + m > n) {
            break;
        }
        if (std::equal(wanted, wanted + m, s + start)) {
            return start;
        }
    }
    return -1;
}

std::vector<std::pair<qsizetype, bool>> OpenersThenClosers(QStringView text, QStringView opener, QStringView closer) {
    std::vector<qsizetype> openers;
    for (qsizetype at = FindText(text, opener); at >= 0; at = FindText(text, opener, at + opener.size())) {
        openers.push_back(at);
    }
    std::vector<std::pair<qsizetype, bool>> all;
    size_t next = 0;
    for (qsizetype at = FindText(text, closer); at >= 0; at = FindText(text, closer, at + 1)) {
        while (next < openers.size() && openers[next] + opener.size() <= at) {
            all.emplace_back(openers[next++], false);
        }
        if (next < openers.size() && openers[next] < at + closer.size()) {
            continue;  // gone with the opener
        }
        all.emplace_back(at, true);
        // A later closer starts after this one: the replacements never overlap.
        at += closer.size() - 1;
    }
    for (; next < openers.size(); ++next) {
        all.emplace_back(openers[next], false);
    }
    return all;
}

void ReplaceEverywhere(QString& text, QStringView find, QStringView replacement, PassContext* context) {
    if (text.isEmpty() || find.isEmpty() || replacement.isEmpty()) {
        return;
    }
    const QStringView view(text);
    qsizetype at = FindText(view, find);
    if (at < 0) {
        return;
    }
    TextRewriter out(text, context);
    for (; at >= 0; at = FindText(view, find, at + find.size())) {
        out.replace(at, at + find.size()).append(replacement);
    }
    out.finish(text);
}

void EncodeLiteralBlocks(QString& text, PassContext* context) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    TextRewriter out(text, context);
    int state = 0;
    qsizetype open = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (state == 0) {
            // Nothing happens before the next brace.
            i = NextOf(s, n, i, u'{');
            if (i >= n) {
                break;
            }
        }
        if (context != nullptr) {
            context->tick();
        }
        const char16_t c = s[i];
        switch (state) {
        case 0:
            state = 1;
            break;
        case 1:
            if (c == u'{') {
                open = i - 1;
                state = 2;
            } else {
                state = 0;
            }
            break;
        case 2:
            if (c == u'}') {
                state = 3;
            } else if (c == kCr) {
                state = 0;
            }
            break;
        case 3:
            if (c == u'}') {
                AppendCharacterReferences(out.replace(open, i + 1),
                                          TrimmedSpaces(QStringView(s + open + 2, i - 1 - (open + 2))));
                state = 0;
            } else if (c == kCr) {
                state = 0;
            } else {
                state = 2;
            }
            break;
        }
    }
    out.finish(text);
}

namespace {

/// Replaces `separator` by `replacement` wherever "http" or "https" stands
/// right before it. This is replacing the "http" forms everywhere and then
/// the "https" forms: the two never overlap, and neither replacement holds a
/// character that could make a new one.
void ReplaceAfterScheme(QString& text, QStringView separator, QStringView replacement, PassContext* context) {
    const QStringView view(text);
    const char16_t* s = view.utf16();
    TextRewriter out(text, context);
    for (qsizetype at = FindText(view, separator); at >= 0; at = FindText(view, separator, at + separator.size())) {
        const qsizetype scheme = at >= 1 && s[at - 1] == u's' ? at - 5 : at - 4;
        if (scheme >= 0 && view.sliced(scheme).startsWith(u"http")) {
            out.replace(at, at + separator.size()).append(replacement);
        }
    }
    out.finish(text);
}

}  // namespace

void ProtectWebAddresses(QString& text, PassContext* context) {
    ReplaceAfterScheme(text, u"://", u"&#58&#47&#47", context);
}

void RestoreWebAddresses(QString& text, PassContext* context) {
    ReplaceAfterScheme(text, u"&#58&#47&#47", u"://", context);
}

void EscapeMarkers(QString& text, PassContext* context) {
    // One walk does what replacing the eight pairs one after another does: no
    // escape contains "@" or ":", so none can form a pair for a later one.
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    TextRewriter out(text, context);
    for (qsizetype i = FindAnyOf<u'@', u':'>(s, n - 1, 0); i + 1 < n; i = FindAnyOf<u'@', u':'>(s, n - 1, i + 1)) {
        const char16_t c = s[i];
        const char16_t next = s[i + 1];
        const char16_t* escape = nullptr;
        if (c == u':') {
            escape = next == u':' ? u"&#58&#58" : nullptr;
        } else {
            switch (next) {
            case u't':
                escape = u"&#64&#116";
                break;
            case u'c':
                escape = u"&#64&#99";
                break;
            case u'r':
                escape = u"&#64&#114";
                break;
            case u'x':
                escape = u"&#64&#120";
                break;
            case u'b':
                escape = u"&#64&#98";
                break;
            case u'i':
                escape = u"&#64&#105";
                break;
            case u'u':
                escape = u"&#64&#117";
                break;
            default:
                break;
            }
        }
        if (escape != nullptr) {
            out.replace(i, i + 2).append(QStringView(escape));
            ++i;
        }
    }
    out.finish(text);
}

void CloseMultiLineComments(QString& text, const QString& opener, const QString& closer, PassContext* context) {
    // Every opener becomes two blanks, whatever its length (a single "{"
    // widens the line); then every closer left becomes "@/t". One copy does
    // both, at the places the two replacements in turn would take.
    const std::vector<std::pair<qsizetype, bool>> places = OpenersThenClosers(text, opener, closer);
    TextRewriter out(text, context);
    for (const auto& [at, isCloser] : places) {
        if (isCloser) {
            out.replace(at, at + closer.size()).append(kCloseMarker);
        } else {
            out.replace(at, at + opener.size()).append(u"  ");
        }
    }
    out.finish(text);
}

void CloseBraceComments(QString& text, PassContext* context) {
    // As if "{{" and "}}" were put aside as "[_un_+].." and "[_un_-]..", every
    // single brace replaced, and the two put back: a doubled brace stays, and
    // so does any "[_un_+].." in the text become "{{" (and "[_un_-].." "}}").
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    const QStringView view(s, n);
    TextRewriter out(text, context);
    for (qsizetype i = FindAnyOf<u'{', u'}', u'['>(s, n, 0); i < n; i = FindAnyOf<u'{', u'}', u'['>(s, n, i + 1)) {
        const char16_t c = s[i];
        if (c == u'{' || c == u'}') {
            if (i + 1 < n && s[i + 1] == c) {
                ++i;
            } else {
                out.replace(i, i + 1).append(c == u'{' ? u"  " : u"@/t");
            }
        } else if (c == u'[' && view.sliced(i).startsWith(u"[_un_") && i + 8 < n && s[i + 7] == u'.' &&
                   s[i + 8] == u'.' && s[i + 6] == u']' && (s[i + 5] == u'+' || s[i + 5] == u'-')) {
            out.replace(i, i + 9).append(s[i + 5] == u'+' ? u"{{" : u"}}");
            i += 8;
        }
    }
    out.finish(text);
}

void BlankLeadingRuns(QString& text, QChar mark, PassContext* context) {
    const char16_t k = mark.unicode();
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    for (qsizetype i = NextOf(s, n, 1, kLf); i < n; i = NextOf(s, n, i + 1, kLf)) {
        if (context != nullptr) {
            context->tick();
        }
        if (s[i - 1] != kCr) {
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && IsBlank(s[j])) {
            ++j;
        }
        qsizetype end = j;
        while (end < n && s[end] == k) {
            ++end;
        }
        if (end > j) {
            if (w == nullptr) {
                w = WritableChars(text);
                s = w;
            }
            std::fill(w + j, w + end, u' ');
        }
    }
}

void BlankTrailingRuns(QString& text, QChar mark, PassContext* context) {
    const char16_t k = mark.unicode();
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    for (qsizetype i = NextOf(s, n, 1, k); i < n; i = NextOf(s, n, i, k)) {
        if (context != nullptr) {
            context->tick();
        }
        qsizetype end = i;
        while (end < n && s[end] == k) {
            ++end;
        }
        if (s[i - 1] != k && IsBlank(s[i - 1]) && end < n && (s[end] == kCr || CloseMarkerAt(s, n, end))) {
            if (w == nullptr) {
                w = WritableChars(text);
                s = w;
            }
            std::fill(w + i, w + end, u' ');
        }
        i = end;
    }
}

namespace {

/// Whether only blanks stand between position `r` and a CR LF before it.
/// Nothing before `floor` is read: a blanked run ends there, which was no blank.
inline bool StartsLine(const char16_t* s, qsizetype r, qsizetype floor) {
    qsizetype b = r;
    while (b > floor && IsBlank(s[b - 1])) {
        --b;
    }
    return b >= 2 && s[b - 1] == kLf && s[b - 2] == kCr;
}

/// Blanks every run of `k` that starts a line or that `closing` (given the
/// run's start and end) takes for a closing run, in place. The walk can go in
/// steps over a text that grows at its end: a step leaves alone any run whose
/// decision needs characters not yet written, and the next one starts there.
template <typename Closing>
class RunBlanker {
public:
    /// `leading`: whether a run that starts a line is blanked too.
    RunBlanker(char16_t k, Closing closing, bool leading = true) : k_(k), closing_(closing), leading_(leading) {}

    /// Walks s[0, limit); `complete` when nothing follows. `writable` gives
    /// the characters to write, asked only once a run is blanked.
    template <typename Writable>
    void walk(const char16_t* s, qsizetype limit, bool complete, Writable writable, PassContext* context) {
        char16_t* w = nullptr;
        for (qsizetype i = NextOf(s, limit, next_, k_); i < limit; i = NextOf(s, limit, i, k_)) {
            if (context != nullptr) {
                context->tick();
            }
            qsizetype end = i;
            while (end < limit && s[end] == k_) {
                ++end;
            }
            // A closing test reads up to three characters after the run.
            if (!complete && end + 3 > limit) {
                next_ = i;
                return;
            }
            if ((leading_ && StartsLine(s, i, blankedEnd_)) || closing_(s, limit, i, end)) {
                if (w == nullptr) {
                    w = writable();
                    s = w;
                }
                std::fill(w + i, w + end, u' ');
                blankedEnd_ = end;
            }
            i = end;
        }
        next_ = limit;
    }

private:
    char16_t k_;
    Closing closing_;
    bool leading_;
    qsizetype next_ = 0;
    qsizetype blankedEnd_ = 0;
};

template <typename Closing>
void BlankLeadingAndClosingRuns(QString& text, char16_t k, Closing closing, PassContext* context) {
    RunBlanker<Closing>(k, closing)
        .walk(
            Chars(text), text.size(), true, [&text] { return WritableChars(text); }, context);
}

/// The closing runs of a prefix-character style: after a blank, directly
/// before a CR or "@/t".
inline bool ClosesCommentRun(const char16_t* s, qsizetype n, qsizetype start, qsizetype end) {
    return start >= 1 && IsBlank(s[start - 1]) && end < n && (s[end] == kCr || CloseMarkerAt(s, n, end));
}

}  // namespace

void BlankCommentRuns(QString& text, QChar mark, PassContext* context) {
    // Either pass blanks whole runs and decides by the characters around a
    // run, which are no marks: the two do not see each other's work.
    BlankLeadingAndClosingRuns(text, mark.unicode(), ClosesCommentRun, context);
}

namespace {

/// The block closing of a prefix-character style; with `Blank`, the comment
/// runs are blanked in the result while its latest part is still in the
/// caches, rather than in a second walk over the whole text.
template <bool Blank>
void CloseSingleLineBlocksIn(QString& text, char16_t k, PassContext* context) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    TextRewriter out(text, context);
    RunBlanker blanker(k, ClosesCommentRun);
    qsizetype remembered = 0;
    int state = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (state == 0 || state == 4) {
            // Only a line feed moves the walk on from these states.
            i = NextOf(s, n, i, kLf);
        } else if (state == 2 || state == 6) {
            // Blanks at a line start leave these states as they are.
            while (i < n && IsBlank(s[i])) {
                ++i;
            }
        }
        if (i >= n) {
            break;
        }
        if (context != nullptr) {
            context->tick();
        }
        const char16_t c = s[i];
        switch (state) {
        case 0:
            state = 2;
            break;
        case 2:
            if (c == k) {
                state = 3;
            } else if (!IsBlank(c)) {
                state = 0;
            }
            break;
        case 3:
            if (c != k) {
                state = 4;
            }
            break;
        case 4:
            remembered = i - 1;
            state = 6;
            break;
        case 6:
            if (c == k) {
                state = 3;
            } else if (!IsBlank(c)) {
                state = 7;
            }
            break;
        case 7: {
            // The block ended on the line before: close it before that line's
            // CR and walk on from there.
            QString& result = out.replace(remembered, remembered);
            result.append(kCloseMarker);
            if constexpr (Blank) {
                blanker.walk(
                    Chars(result), result.size(), false, [&result] { return WritableChars(result); }, context);
            }
            i = remembered - 1;
            state = 0;
            break;
        }
        }
    }
    out.finish(text);
    if constexpr (Blank) {
        blanker.walk(
            Chars(text), text.size(), true, [&text] { return WritableChars(text); }, context);
    }
}

}  // namespace

void CloseSingleLineBlocks(QString& text, QChar mark, PassContext* context) {
    CloseSingleLineBlocksIn<false>(text, mark.unicode(), context);
}

void CloseAndBlankSingleLineBlocks(QString& text, QChar mark, PassContext* context) {
    CloseSingleLineBlocksIn<true>(text, mark.unicode(), context);
}

void BlankStarDecoration(QString& text, PassContext* context) {
    BlankLeadingAndClosingRuns(
        text, u'*',
        [](const char16_t* s, qsizetype n, qsizetype, qsizetype end) {
            if (CloseMarkerAt(s, n, end)) {
                return true;
            }
            qsizetype after = end;
            while (after < n && IsBlank(s[after])) {
                ++after;
            }
            return after < n && s[after] == kCr;
        },
        context);
}

namespace {

/// Two or more slashes in a row.
inline bool IsSlashRun(const char16_t*, qsizetype, qsizetype start, qsizetype end) { return end - start >= 2; }

template <bool Blank>
void CloseDoubleSlashBlocksIn(QString& text, PassContext* context) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    TextRewriter out(text, context);
    // As with the prefix styles, the slashes are blanked in the result behind
    // the inserted markers.
    RunBlanker blanker(u'/', IsSlashRun, false);
    qsizetype remembered = 0;
    int state = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (state == 0) {
            i = NextOf(s, n, i, u'/');
        } else if (state == 3) {
            i = NextOf(s, n, i, kCr);
        }
        if (i >= n) {
            break;
        }
        if (context != nullptr) {
            context->tick();
        }
        const char16_t c = s[i];
        bool close = false;
        switch (state) {
        case 0:
            state = 2;
            break;
        case 2:
            state = c == u'/' ? 3 : 0;
            break;
        case 3:
            remembered = i;
            state = 4;
            break;
        case 4:
            state = c == kLf ? 5 : 0;
            break;
        case 5:
            if (c == u'/') {
                state = 6;
            } else if (!IsBlank(c)) {
                close = true;
            }
            break;
        case 6:
            if (c == u'/') {
                state = 3;
            } else {
                close = true;
            }
            break;
        }
        if (close) {
            QString& result = out.replace(remembered, remembered);
            result.append(kCloseMarker);
            if constexpr (Blank) {
                blanker.walk(
                    Chars(result), result.size(), false, [&result] { return WritableChars(result); }, context);
            }
            i = remembered - 1;
            state = 0;
        }
    }
    out.finish(text);
    if constexpr (Blank) {
        blanker.walk(
            Chars(text), text.size(), true, [&text] { return WritableChars(text); }, context);
    }
}

}  // namespace

void CloseDoubleSlashBlocks(QString& text, PassContext* context) { CloseDoubleSlashBlocksIn<false>(text, context); }

void CloseAndBlankDoubleSlashBlocks(QString& text, PassContext* context) {
    CloseDoubleSlashBlocksIn<true>(text, context);
}

void BlankDoubleSlashes(QString& text, PassContext* context) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    for (qsizetype i = NextOf(s, n, 0, u'/'); i < n; i = NextOf(s, n, i, u'/')) {
        if (context != nullptr) {
            context->tick();
        }
        qsizetype end = i;
        while (end < n && s[end] == u'/') {
            ++end;
        }
        if (end - i >= 2) {
            if (w == nullptr) {
                w = WritableChars(text);
                s = w;
            }
            std::fill(w + i, w + end, u' ');
        }
        i = end;
    }
}

void BlankTrailingStars(QString& text, PassContext* context) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    for (qsizetype i = NextOf(s, n, 0, u'*'); i < n; i = NextOf(s, n, i, u'*')) {
        if (context != nullptr) {
            context->tick();
        }
        qsizetype end = i;
        while (end < n && s[end] == u'*') {
            ++end;
        }
        bool closing = CloseMarkerAt(s, n, end);
        if (!closing) {
            qsizetype after = end;
            while (after < n && IsBlank(s[after])) {
                ++after;
            }
            closing = after < n && s[after] == kCr;
        }
        if (closing) {
            if (w == nullptr) {
                w = WritableChars(text);
                s = w;
            }
            std::fill(w + i, w + end, u' ');
        }
        i = end;
    }
}

void BlankSeparatorLines(QString& text, PassContext* context) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    // Only lines holding "@/t" matter: go from one to the next.
    QStringView view(s, n);
    qsizetype searchFrom = 0;
    for (qsizetype marker = FindText(view, kCloseMarker); marker >= 0;
         marker = FindText(view, kCloseMarker, searchFrom)) {
        if (context != nullptr) {
            context->tick();
        }
        // The line runs from after the last CR LF before the marker to the
        // next CR LF; its first "@" decides.
        qsizetype lineStart = marker;
        while (lineStart > 0 && !(s[lineStart - 1] == kLf && lineStart > 1 && s[lineStart - 2] == kCr)) {
            --lineStart;
        }
        qsizetype lineEnd = marker;
        while (lineEnd < n && !(s[lineEnd] == kCr && lineEnd + 1 < n && s[lineEnd + 1] == kLf)) {
            ++lineEnd;
        }
        searchFrom = lineEnd;
        qsizetype at = lineStart;
        while (s[at] != u'@') {
            ++at;
        }
        if (at != marker) {
            continue;
        }
        const QStringView before = TrimmedSpaces(QStringView(s + lineStart, at - lineStart));
        if (before.size() >= 3 && before[0] == before[1] && before[1] == before[2]) {
            if (w == nullptr) {
                w = WritableChars(text);
                s = w;
                view = QStringView(s, n);
            }
            std::fill(w + lineStart, w + at, u' ');
        }
    }
}

void ScanComments(QString& text, const CommentStyles& styles, UserInterface& ui, PassContext* context) {
    if (styles.slashStar) {
        CloseMultiLineComments(text, QStringLiteral("/*"), QStringLiteral("*/"), context);
        ui.advanceProgress();
        ui.advanceProgress();
    }
    if (styles.parenStar) {
        CloseMultiLineComments(text, QStringLiteral("(*"), QStringLiteral("*)"), context);
        ui.advanceProgress();
        ui.advanceProgress();
    }
    if (styles.braces) {
        CloseBraceComments(text, context);
        for (int step = 0; step < 4; ++step) {
            ui.advanceProgress();
        }
    }

    const auto prefixStyle = [&](QChar mark) {
        CloseAndBlankSingleLineBlocks(text, mark, context);
        ui.advanceProgress();
        ui.advanceProgress();
        ui.advanceProgress();
    };
    if (styles.letterC) {
        prefixStyle(u'c');
        prefixStyle(u'C');
    }
    if (styles.doubleSlash) {
        CloseAndBlankDoubleSlashBlocks(text, context);
        ui.advanceProgress();
        ui.advanceProgress();
    }
    if (styles.apostrophe) {
        prefixStyle(u'\'');
    }
    if (styles.hash) {
        prefixStyle(u'#');
    }
    if (styles.semicolon) {
        prefixStyle(u';');
    }
    if (styles.dash) {
        prefixStyle(u'-');
    }
    if (styles.exclamation) {
        prefixStyle(u'!');
    }

    if (styles.anyMultiLine()) {
        BlankStarDecoration(text, context);
        ui.advanceProgress();
        ui.advanceProgress();
    }
    BlankSeparatorLines(text, context);
    ui.advanceProgress();
}

int StyleProgressSteps(const CommentStyles& styles) {
    int steps = 0;
    steps += styles.doubleSlash ? 2 : 0;
    steps += styles.apostrophe ? 3 : 0;
    steps += styles.hash ? 3 : 0;
    steps += styles.semicolon ? 3 : 0;
    steps += styles.dash ? 3 : 0;
    steps += styles.letterC ? 6 : 0;
    steps += styles.exclamation ? 3 : 0;
    steps += styles.slashStar ? 3 : 0;
    steps += styles.parenStar ? 3 : 0;
    steps += styles.braces ? 4 : 0;
    return steps;
}

}  // namespace tessarel

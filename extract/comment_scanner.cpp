#include "extract/comment_scanner.h"

#include "extract/markers.h"
#include "extract/pass_context.h"
#include "extract/text_search.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <QStringView>

#include <algorithm>
#include <array>

namespace tessarel {

namespace {

inline char16_t* WritableChars(QString& text) { return reinterpret_cast<char16_t*>(text.data()); }

inline bool CloseMarkerAt(const char16_t* s, qsizetype n, qsizetype i) {
    return i + 2 < n && s[i] == u'@' && s[i + 1] == u'/' && s[i + 2] == u't';
}

}  // namespace

void CloseMultiLineComments(QString& text, const QString& opener, const QString& closer, PassContext* context) {
    // Every opener becomes two blanks, whatever its length (a single "{"
    // widens the line); then every closer left becomes "@/t". One copy does
    // both, at the places the two replacements in turn would take.
    const std::vector<std::pair<qsizetype, bool>> places = OpenersThenClosers(text, opener, closer);
    TextRewriter out(text, context);
    for (const auto& [at, isCloser] : places) {
        if (isCloser) {
            out.replace(at, at + closer.size()).append(kTextCloseMarker);
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
                out.replace(i, i + 1).append(c == u'{' ? u"  " : QStringView(kTextCloseMarker));
            }
        } else if (c == u'[') {
            const QStringView rest = view.sliced(i);
            const bool opening = rest.startsWith(kDoubledBraceOpenPlaceholder);
            if (opening || rest.startsWith(kDoubledBraceClosePlaceholder)) {
                out.replace(i, i + kDoubledBraceOpenPlaceholder.size()).append(opening ? u"{{" : u"}}");
                i += kDoubledBraceOpenPlaceholder.size() - 1;
            }
        }
    }
    out.finish(text);
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
    void walk(const char16_t* s, qsizetype limit, bool complete, Writable writable) {
        char16_t* w = nullptr;
        for (qsizetype i = FindChar(s, limit, next_, k_); i < limit; i = FindChar(s, limit, i, k_)) {
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
void BlankLeadingAndClosingRuns(QString& text, char16_t k, Closing closing) {
    RunBlanker<Closing>(k, closing).walk(Chars(text), text.size(), true, [&text] { return WritableChars(text); });
}

/// The closing runs of a prefix-character style: after a blank, directly
/// before a CR or "@/t".
inline bool ClosesCommentRun(const char16_t* s, qsizetype n, qsizetype start, qsizetype end) {
    return start >= 1 && IsBlank(s[start - 1]) && end < n && (s[end] == kCr || CloseMarkerAt(s, n, end));
}

}  // namespace

void CloseAndBlankSingleLineBlocks(QString& text, QChar mark, PassContext* context) {
    // The comment runs are blanked in the result while its latest part is
    // still in the caches, rather than in a second walk over the whole text.
    const char16_t k = mark.unicode();
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    TextRewriter out(text, context);
    RunBlanker blanker(k, ClosesCommentRun);
    qsizetype remembered = 0;
    // Where the walk is, relative to the lines of a block of comment lines.
    enum class At {
        OtherLine,    ///< a line that is no comment line: on to the next line feed
        LineStart,    ///< the blanks that open a line
        Marks,        ///< the run of comment marks that opens a comment line
        CommentText,  ///< the rest of a comment line: on to its line feed
        NextLine,     ///< the blanks that open the line after a comment line
        BlockEnded,   ///< that line is no comment line: the block closes
    };
    At state = At::OtherLine;
    for (qsizetype i = 0; i < n; ++i) {
        if (state == At::OtherLine || state == At::CommentText) {
            // Only a line feed moves the walk on from these states.
            i = FindChar(s, n, i, kLf);
        } else if (state == At::LineStart || state == At::NextLine) {
            // Blanks at a line start leave these states as they are.
            while (i < n && IsBlank(s[i])) {
                ++i;
            }
        }
        if (i >= n) {
            break;
        }
        const char16_t c = s[i];
        switch (state) {
        case At::OtherLine:
            state = At::LineStart;
            break;
        case At::LineStart:
            if (c == k) {
                state = At::Marks;
            } else if (!IsBlank(c)) {
                state = At::OtherLine;
            }
            break;
        case At::Marks:
            if (c != k) {
                state = At::CommentText;
            }
            break;
        case At::CommentText:
            remembered = i - 1;
            state = At::NextLine;
            break;
        case At::NextLine:
            if (c == k) {
                state = At::Marks;
            } else if (!IsBlank(c)) {
                state = At::BlockEnded;
            }
            break;
        case At::BlockEnded: {
            // The block ended on the line before: close it before that line's
            // CR and walk on from there.
            QString& result = out.replace(remembered, remembered);
            result.append(kTextCloseMarker);
            blanker.walk(Chars(result), result.size(), false, [&result] { return WritableChars(result); });
            i = remembered - 1;
            state = At::OtherLine;
            break;
        }
        }
    }
    out.finish(text);
    blanker.walk(Chars(text), text.size(), true, [&text] { return WritableChars(text); });
}

void BlankStarDecoration(QString& text, PassContext* /*context: the pass list's shape*/) {
    BlankLeadingAndClosingRuns(text, u'*', [](const char16_t* s, qsizetype n, qsizetype, qsizetype end) {
        if (CloseMarkerAt(s, n, end)) {
            return true;
        }
        qsizetype after = end;
        while (after < n && IsBlank(s[after])) {
            ++after;
        }
        return after < n && s[after] == kCr;
    });
}

namespace {

/// Two or more slashes in a row.
inline bool IsSlashRun(const char16_t*, qsizetype, qsizetype start, qsizetype end) { return end - start >= 2; }

}  // namespace

void CloseAndBlankDoubleSlashBlocks(QString& text, PassContext* context) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    TextRewriter out(text, context);
    // As with the prefix styles, the slashes are blanked in the result behind
    // the inserted markers.
    RunBlanker blanker(u'/', IsSlashRun, false);
    qsizetype remembered = 0;
    // Where the walk is, relative to the lines of a block of "//" lines.
    enum class At {
        Code,           ///< outside a comment: on to the next slash
        Slash,          ///< after one slash
        CommentText,    ///< after two: on to the line's CR
        LineEnd,        ///< after that CR
        NextLine,       ///< the blanks that open the line after a comment line
        NextLineSlash,  ///< after that line's first slash
    };
    At state = At::Code;
    for (qsizetype i = 0; i < n; ++i) {
        if (state == At::Code) {
            i = FindChar(s, n, i, u'/');
        } else if (state == At::CommentText) {
            i = FindChar(s, n, i, kCr);
        }
        if (i >= n) {
            break;
        }
        const char16_t c = s[i];
        bool close = false;
        switch (state) {
        case At::Code:
            state = At::Slash;
            break;
        case At::Slash:
            state = c == u'/' ? At::CommentText : At::Code;
            break;
        case At::CommentText:
            remembered = i;
            state = At::LineEnd;
            break;
        case At::LineEnd:
            state = c == kLf ? At::NextLine : At::Code;
            break;
        case At::NextLine:
            if (c == u'/') {
                state = At::NextLineSlash;
            } else if (!IsBlank(c)) {
                close = true;
            }
            break;
        case At::NextLineSlash:
            if (c == u'/') {
                state = At::CommentText;
            } else {
                close = true;
            }
            break;
        }
        if (close) {
            QString& result = out.replace(remembered, remembered);
            result.append(kTextCloseMarker);
            blanker.walk(Chars(result), result.size(), false, [&result] { return WritableChars(result); });
            i = remembered - 1;
            state = At::Code;
        }
    }
    out.finish(text);
    blanker.walk(Chars(text), text.size(), true, [&text] { return WritableChars(text); });
}

void BlankSeparatorLines(QString& text, PassContext* /*context: the pass list's shape*/) {
    const qsizetype n = text.size();
    const char16_t* s = Chars(text);
    char16_t* w = nullptr;
    // Only lines holding "@/t" matter: go from one to the next.
    QStringView view(s, n);
    qsizetype searchFrom = 0;
    for (qsizetype marker = FindText(view, kTextCloseMarker); marker >= 0;
         marker = FindText(view, kTextCloseMarker, searchFrom)) {
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

namespace {

/// One pass of the comment scan: whether the styles turn it on, the pass, and
/// the progress steps it takes.
struct ScanPass {
    bool (*on)(const CommentStyles&);
    void (*run)(QString&, PassContext*);
    int steps;
};

template <char16_t Mark>
void PrefixStyle(QString& text, PassContext* context) {
    CloseAndBlankSingleLineBlocks(text, QChar(Mark), context);
}

/// The passes of the comment styles, in the order they run.
constexpr std::array kStylePasses{
    ScanPass{
        [](const CommentStyles& s) { return s.slashStar; },
        [](QString& t, PassContext* c) { CloseMultiLineComments(t, QStringLiteral("/*"), QStringLiteral("*/"), c); },
        2},
    ScanPass{
        [](const CommentStyles& s) { return s.parenStar; },
        [](QString& t, PassContext* c) { CloseMultiLineComments(t, QStringLiteral("(*"), QStringLiteral("*)"), c); },
        2},
    ScanPass{[](const CommentStyles& s) { return s.braces; }, CloseBraceComments, 4},
    ScanPass{[](const CommentStyles& s) { return s.letterC; }, PrefixStyle<u'c'>, 3},
    ScanPass{[](const CommentStyles& s) { return s.letterC; }, PrefixStyle<u'C'>, 3},
    ScanPass{[](const CommentStyles& s) { return s.doubleSlash; }, CloseAndBlankDoubleSlashBlocks, 2},
    ScanPass{[](const CommentStyles& s) { return s.apostrophe; }, PrefixStyle<u'\''>, 3},
    ScanPass{[](const CommentStyles& s) { return s.hash; }, PrefixStyle<u'#'>, 3},
    ScanPass{[](const CommentStyles& s) { return s.semicolon; }, PrefixStyle<u';'>, 3},
    ScanPass{[](const CommentStyles& s) { return s.dash; }, PrefixStyle<u'-'>, 3},
    ScanPass{[](const CommentStyles& s) { return s.exclamation; }, PrefixStyle<u'!'>, 3},
};

/// The passes after the styles' own.
constexpr std::array kClosingPasses{
    ScanPass{[](const CommentStyles& s) { return s.anyMultiLine(); }, BlankStarDecoration, 2},
    ScanPass{[](const CommentStyles&) { return true; }, BlankSeparatorLines, 1},
};

/// Runs the passes the styles turn on; with `ui`, each advances the progress by its steps.
void RunPasses(const auto& passes, QString& text, const CommentStyles& styles, UserInterface* ui,
               PassContext* context) {
    for (const ScanPass& pass : passes) {
        if (pass.on(styles)) {
            pass.run(text, context);
            for (int step = 0; ui != nullptr && step < pass.steps; ++step) {
                ui->advanceProgress();
            }
        }
    }
}

int Steps(const auto& passes, const CommentStyles& styles) {
    int steps = 0;
    for (const ScanPass& pass : passes) {
        steps += pass.on(styles) ? pass.steps : 0;
    }
    return steps;
}

}  // namespace

void ScanComments(QString& text, const CommentStyles& styles, UserInterface& ui, PassContext* context) {
    RunPasses(kStylePasses, text, styles, &ui, context);
    RunPasses(kClosingPasses, text, styles, &ui, context);
}

void ScanComments(QString& text, const CommentStyles& styles, PassContext* context) {
    RunPasses(kStylePasses, text, styles, nullptr, context);
    RunPasses(kClosingPasses, text, styles, nullptr, context);
}

int StyleProgressSteps(const CommentStyles& styles) { return Steps(kStylePasses, styles); }

int ScanProgressSteps(const CommentStyles& styles) {
    return Steps(kStylePasses, styles) + Steps(kClosingPasses, styles);
}

}  // namespace tessarel

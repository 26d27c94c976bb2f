#pragma once

#include "support/settings.h"
#include "support/user_interface.h"

#include <QString>
#include <QStringView>

#include <bit>
#include <utility>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tessarel {

/// What a whole-text pass needs besides its text: a yielder to tick as it
/// walks, and a spare buffer to write its result into. The result and the old
/// text then trade places, so a long text moves between the same two
/// allocations from pass to pass; fresh pages cost far more than the copy.
class PassContext {
public:
    PassContext() = default;
    explicit PassContext(Yielder& yielder) : yielder_(&yielder) {}
    PassContext(const PassContext&) = delete;
    PassContext& operator=(const PassContext&) = delete;

    void tick() {
        if (yielder_ != nullptr) {
            yielder_->tick();
        }
    }
    /// The spare buffer, emptied, with room for at least `size` characters.
    QString& output(qsizetype size);
    /// The spare buffer becomes the text; the text's buffer becomes the spare.
    void commit(QString& text) { text.swap(spare_); }
    /// Room for `size` characters in the spare buffer, before any pass needs it.
    void reserve(qsizetype size) { spare_.reserve(size); }
    /// Gives the spare buffer back.
    void release() { spare_ = QString(); }

private:
    Yielder* yielder_ = nullptr;
    QString spare_;
};

/// Copies a text into a pass context's spare buffer with replacements at
/// increasing positions; nothing is copied before the first replacement.
class TextRewriter {
public:
    TextRewriter(const QString& source, PassContext* context);
    /// Copies the source up to `from` and skips it up to `to`; the replacement
    /// is then appended to the returned output.
    QString& replace(qsizetype from, qsizetype to);
    /// Replaces source[from, to) by `replacement`.
    void replace(qsizetype from, qsizetype to, QStringView replacement) { replace(from, to).append(replacement); }
    void insert(qsizetype at, QStringView insertion) { replace(at, at).append(insertion); }
    bool changed() const { return out_ != nullptr; }
    /// Copies the rest and makes the result the text (when anything changed).
    void finish(QString& text);

private:
    const QString& source_;
    PassContext local_;
    PassContext& context_;
    QString* out_ = nullptr;
    qsizetype copied_ = 0;
};

/// The first `c` in s[from, n), or `n` when there is none. Inline, as most
/// searches of the passes end within a line: the library call costs more than
/// the search itself there.
inline qsizetype FindChar(const char16_t* s, qsizetype n, qsizetype from, char16_t c) {
    qsizetype i = from;
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
    for (; i + 8 <= n; i += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(chunk, wanted)));
        if (mask != 0) {
            return i + std::countr_zero(mask) / 2;
        }
    }
#endif
    for (; i < n; ++i) {
        if (s[i] == c) {
            return i;
        }
    }
    return n;
}

/// The first of the `Wanted` characters in s[from, n), or `n` when there is none.
template <char16_t... Wanted>
inline qsizetype FindAnyOf(const char16_t* s, qsizetype n, qsizetype from) {
    qsizetype i = from;
#if defined(__SSE2__) || defined(_M_X64)
    for (; i + 8 <= n; i += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi16(chunk, _mm_set1_epi16(static_cast<short>(Wanted))))), ...);
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) {
            return i + std::countr_zero(mask) / 2;
        }
    }
#endif
    for (; i < n; ++i) {
        const char16_t c = s[i];
        if (((c == Wanted) || ...)) {
            return i;
        }
    }
    return n;
}

/// The first `needle` (not empty) at or after `from`, or -1. Like
/// QStringView::indexOf, but it runs the fast single-character search on the
/// needle's least common-looking character.
qsizetype FindText(QStringView text, QStringView needle, qsizetype from = 0);

/// Where replacing every `opener`, and then every `closer`, would replace
/// (when an opener's replacement cannot help form a closer): the openers left
/// to right, then the closers that overlap no opener. Sorted by position;
/// `second` is true for a closer.
std::vector<std::pair<qsizetype, bool>> OpenersThenClosers(QStringView text, QStringView opener, QStringView closer);

/// Replaces every `find` left to right, going on after each replacement; does
/// nothing when the text, `find` or the replacement is empty.
void ReplaceEverywhere(QString& text, QStringView find, QStringView replacement, PassContext* context = nullptr);

// The comment scanner: whole-text passes that protect what must not be read as
// comment marks, close every comment block with "@/t" and blank the comment
// characters. A line start is the position after a CR LF pair; a blank is a
// space or a tab. Every pass is linear.

/// "{{text}}" on one line becomes "&#N" per character of the trimmed text.
void EncodeLiteralBlocks(QString& text, PassContext* context = nullptr);
/// "http://" and "https://" lose their colon and slashes ("&#58&#47&#47").
void ProtectWebAddresses(QString& text, PassContext* context = nullptr);
/// The reverse of ProtectWebAddresses.
void RestoreWebAddresses(QString& text, PassContext* context = nullptr);
/// Escapes "@t", "@c", "@r", "@x", "@b", "@i", "@u" and "::" so that source
/// text can form neither span markers nor inline tags.
void EscapeMarkers(QString& text, PassContext* context = nullptr);

/// One multi-line style: every opener becomes two spaces, every closer "@/t".
void CloseMultiLineComments(QString& text, const QString& opener, const QString& closer,
                            PassContext* context = nullptr);
/// Brace comments: as CloseMultiLineComments with "{" and "}", but "{{" and
/// "}}" survive.
void CloseBraceComments(QString& text, PassContext* context = nullptr);

/// Prefix-character styles, pass 1: "@/t" before the CR of the last line of
/// every block of lines whose first non-blank character is `mark`.
void CloseSingleLineBlocks(QString& text, QChar mark, PassContext* context = nullptr);
/// At every line start, after blanks, a run of `mark` becomes spaces.
void BlankLeadingRuns(QString& text, QChar mark, PassContext* context = nullptr);
/// A run of `mark` after a blank and directly before a CR or "@/t" becomes spaces.
void BlankTrailingRuns(QString& text, QChar mark, PassContext* context = nullptr);

/// BlankLeadingRuns and then BlankTrailingRuns, in one walk.
void BlankCommentRuns(QString& text, QChar mark, PassContext* context = nullptr);
/// CloseSingleLineBlocks and then BlankCommentRuns, in one walk.
void CloseAndBlankSingleLineBlocks(QString& text, QChar mark, PassContext* context = nullptr);

/// Double-slash style, pass 1: "@/t" before the CR of the last line of every
/// block of "//" comments (a block may start after code).
void CloseDoubleSlashBlocks(QString& text, PassContext* context = nullptr);
/// Every run of two or more "/" becomes spaces.
void BlankDoubleSlashes(QString& text, PassContext* context = nullptr);
/// CloseDoubleSlashBlocks and then BlankDoubleSlashes, in one walk.
void CloseAndBlankDoubleSlashBlocks(QString& text, PassContext* context = nullptr);

/// A run of "*" before optional blanks and a CR, or directly before "@/t",
/// becomes spaces (closing star rows).
void BlankTrailingStars(QString& text, PassContext* context = nullptr);
/// BlankLeadingRuns with "*" and then BlankTrailingStars, in one walk.
void BlankStarDecoration(QString& text, PassContext* context = nullptr);
/// A line ending a block whose text before "@/t" starts with three equal
/// characters (a separator row) is blanked up to the "@/t".
void BlankSeparatorLines(QString& text, PassContext* context = nullptr);

/// Multi-line styles, single-line styles, star decoration and separator lines,
/// for the styles that are on; one progress step after each pass.
void ScanComments(QString& text, const CommentStyles& styles, UserInterface& ui, PassContext* context = nullptr);

/// Progress steps ScanComments and the emphasis passes take for the styles
/// that are on, beyond the fixed passes.
int StyleProgressSteps(const CommentStyles& styles);

}  // namespace tessarel

#pragma once

// The searches the character walks of the passes share.

#include <QString>
#include <QStringView>

#include <bit>
#include <utility>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tessarel {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

/// A blank within a line, as the passes read one.
inline bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

inline const char16_t* Chars(const QString& text) { return QStringView(text).utf16(); }

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

}  // namespace tessarel

#include "support/string_functions.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessarel {

namespace {

// Left-to-right replacement that goes on after each inserted text; linear.
void ReplaceFromIndex(QString& text, qsizetype from, QStringView find, QStringView replacement) {
    if (find.isEmpty() || from >= text.size()) {
        return;
    }
    qsizetype hit = text.indexOf(find, from);
    if (hit < 0) {
        return;
    }
    QString result;
    result.reserve(text.size() + (replacement.size() > find.size() ? text.size() / 8 : 0));
    qsizetype done = 0;
    for (; hit >= 0; hit = text.indexOf(find, done)) {
        result.append(QStringView(text).mid(done, hit - done));
        result.append(replacement);
        done = hit + find.size();
    }
    result.append(QStringView(text).mid(done));
    text = std::move(result);
}

const QString kCr = QStringLiteral("\r");
const QString kLf = QStringLiteral("\n");
const QString kTab = QStringLiteral("\t");
const QString kSpace = QStringLiteral(" ");

const std::array<std::pair<QString, QString>, 16>& WordDelimiters() {
    static const std::array<std::pair<QString, QString>, 16> pairs{{
        {kCrLf, kSpace},
        {kCrLf, kCrLf},
        {kCrLf, kTab},
        {kCrLf, kLf},
        {kLf, kSpace},
        {kLf, kCrLf},
        {kLf, kLf},
        {kLf, kTab},
        {kSpace, kSpace},
        {kSpace, kCrLf},
        {kSpace, kTab},
        {kSpace, kLf},
        {kTab, kSpace},
        {kTab, kCrLf},
        {kTab, kTab},
        {kTab, kLf},
    }};
    return pairs;
}

const std::array<std::pair<QString, QString>, 10>& ExtendedDelimiters() {
    static const QString open = QStringLiteral("(");
    static const QString star = QStringLiteral("*");
    static const std::array<std::pair<QString, QString>, 10> pairs{{
        {open, kSpace},
        {open, kCrLf},
        {open, kTab},
        {open, kLf},
        {star, kSpace},
        {star, kCrLf},
        {star, kTab},
        {star, kLf},
        {kSpace, star},
        {open, star},
    }};
    return pairs;
}

}  // namespace

QString MidRange(const QString& text, qsizetype first, qsizetype last) {
    if (first < 1) {
        first = 1;
    }
    if (first > last || first > text.size()) {
        return {};
    }
    return text.mid(first - 1, last - first + 1);
}

void ReplaceFirst(QString& text, const QString& find, const QString& replacement) {
    if (find.isEmpty()) {
        return;
    }
    const qsizetype hit = text.indexOf(find);
    if (hit >= 0) {
        text.replace(hit, find.size(), replacement);
    }
}

void ReplaceAll(QString& text, QStringView find, QStringView replacement) {
    if (text.isEmpty() || find.isEmpty() || replacement.isEmpty()) {
        return;
    }
    ReplaceFromIndex(text, 0, find, replacement);
}

namespace {

/// Line feeds in s[from, size).
qsizetype CountLineFeeds(const char16_t* s, qsizetype from, qsizetype size) {
    qsizetype feeds = 0;
    qsizetype i = from;
#if defined(__SSE2__)
    // Each lane counts its matches down from zero (a match compares as -1),
    // and is added up before it could wrap.
    const __m128i feed = _mm_set1_epi16(u'\n');
    while (i + 8 <= size) {
        __m128i lanes = _mm_setzero_si128();
        const qsizetype stop = std::min(size, i + qsizetype{8} * 0x7FFF);
        for (; i + 8 <= stop; i += 8) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            lanes = _mm_add_epi16(lanes, _mm_cmpeq_epi16(chunk, feed));
        }
        alignas(16) std::array<short, 8> counts{};
        _mm_store_si128(reinterpret_cast<__m128i*>(counts.data()), lanes);
        for (const short count : counts) {
            feeds -= count;
        }
    }
#endif
    for (; i < size; ++i) {
        feeds += s[i] == u'\n' ? 1 : 0;
    }
    return feeds;
}

/// The last line feed in s[from, before); there must be one.
qsizetype LastLineFeed(const char16_t* s, qsizetype from, qsizetype before) {
    qsizetype i = before;
#if defined(__SSE2__)
    const __m128i feed = _mm_set1_epi16(u'\n');
    for (; i - 8 >= from; i -= 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i - 8));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(chunk, feed)));
        if (mask != 0) {
            return i - 8 + (31 - std::countl_zero(mask)) / 2;
        }
    }
#endif
    while (s[--i] != u'\n') {
    }
    return i;
}

}  // namespace

bool ExpandLineFeeds(QString& text, qsizetype from) {
    const qsizetype size = text.size();
    from = std::clamp<qsizetype>(from, 0, size);
    qsizetype feeds = CountLineFeeds(QStringView(text).utf16(), from, size);
    if (feeds == 0) {
        return false;
    }
    text.resize(size + feeds);
    char16_t* w = reinterpret_cast<char16_t*>(text.data());
    // Each line moves back by the number of line feeds still before its end.
    qsizetype read = size;
    qsizetype write = size + feeds;
    while (feeds > 0) {
        const qsizetype feed = LastLineFeed(w, from, read);
        const qsizetype length = read - feed - 1;
        write -= length;
        std::memmove(w + write, w + feed + 1, static_cast<size_t>(length) * sizeof(char16_t));
        w[--write] = u'\n';
        w[--write] = u'\r';
        read = feed;
        --feeds;
    }
    return true;
}

void ReplaceAllFrom(qsizetype start, QString& text, QStringView find, QStringView replacement) {
    ReplaceFromIndex(text, start < 1 ? 0 : start - 1, find, replacement);
}

void ReplaceWord(QString& text, const QString& word, const QString& replacement) {
    if (word.isEmpty() || !text.contains(word)) {
        return;
    }
    for (const auto& [left, right] : WordDelimiters()) {
        if (text.contains(word)) {
            ReplaceAll(text, left + word + right, left + replacement + right);
        }
    }
}

void ReplaceWordExtended(QString& text, const QString& word, const QString& replacement) {
    if (word.isEmpty() || !text.contains(word)) {
        return;
    }
    for (const auto& [left, right] : ExtendedWordDelimiters()) {
        if (text.contains(word)) {
            ReplaceAll(text, left + word + right, left + replacement + right);
        }
    }
}

const std::array<std::pair<QString, QString>, 26>& ExtendedWordDelimiters() {
    static const std::array<std::pair<QString, QString>, 26> pairs = [] {
        std::array<std::pair<QString, QString>, 26> all;
        const auto& words = WordDelimiters();
        const auto& extra = ExtendedDelimiters();
        std::copy(words.begin(), words.end(), all.begin());
        std::copy(extra.begin(), extra.end(), all.begin() + words.size());
        return all;
    }();
    return pairs;
}

void ReplaceRange(QString& text, qsizetype start, qsizetype end, const QString& replacement) {
    const qsizetype from = qBound<qsizetype>(0, start - 1, text.size());
    const qsizetype to = qBound<qsizetype>(from, end - 1, text.size());
    text.replace(from, to - from, replacement);
}

void BlankOutTags(QString& text) {
    // Writing would copy a text shared with others (a name many sections bear).
    if (!text.contains(QLatin1Char('<'))) {
        return;
    }
    qsizetype open = -1;
    QChar* data = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (open < 0) {
            if (data[i] == QLatin1Char('<')) {
                open = i;
            }
        } else if (data[i] == QLatin1Char('>')) {
            for (qsizetype j = open; j <= i; ++j) {
                data[j] = QLatin1Char(' ');
            }
            open = -1;
        }
    }
    if (open >= 0) {
        for (qsizetype j = open; j < size; ++j) {
            data[j] = QLatin1Char(' ');
        }
    }
}

QStringView TrimmedSpaces(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ') {
        ++first;
    }
    while (last > first && text[last - 1] == u' ') {
        --last;
    }
    return text.sliced(first, last - first);
}

QString TrimSpaces(const QString& text) {
    const QStringView kept = TrimmedSpaces(text);
    // An untrimmed text is shared rather than copied.
    return kept.size() == text.size() ? text : kept.toString();
}

int NumberValue(const QString& text) {
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t') ||
                        text.at(i) == QLatin1Char('\r') || text.at(i) == QLatin1Char('\n'))) {
        ++i;
    }
    bool negative = false;
    if (i < size && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < size && text.at(i).isDigit() && text.at(i).unicode() < 128; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > std::numeric_limits<int>::max()) {
            value = std::numeric_limits<int>::max();
        }
    }
    return static_cast<int>(negative ? -value : value);
}

void AppendAll(QString& text, std::initializer_list<QStringView> pieces) {
    qsizetype added = 0;
    for (const QStringView piece : pieces) {
        added += piece.size();
    }
    const qsizetype old = text.size();
    if (text.capacity() < old + added) {
        text.reserve(std::max(old + added, 2 * text.capacity()));
    }
    text.resize(old + added);
    QChar* at = text.data() + old;
    for (const QStringView piece : pieces) {
        at = std::copy(piece.begin(), piece.end(), at);
    }
}

}  // namespace tessarel

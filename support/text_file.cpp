#include "support/text_file.h"
#include "support/file_read.h"
#include "support/replacing_file.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessarel {

namespace {

// Windows-1252 0x80..0x9F; the five undefined bytes keep their C1 code.
constexpr std::array<char16_t, 32> kCp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendWindows1252(QString& text, QByteArrayView bytes) {
    const qsizetype start = text.size();
    text.resize(start + bytes.size());
    QChar* out = text.data() + start;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        out[i] = (byte >= 0x80 && byte <= 0x9F) ? QChar(kCp1252High[byte - 0x80]) : QChar(char16_t{byte});
    }
}

}  // namespace

void ShowReadOnlyMessage(UserInterface& ui, const QString& path) { ShowWriteFailure(ui, path, QString()); }

namespace {

/// Whether the system refused the write for want of permission, or a
/// read-only file system: what "Read only file" says.
bool IsAccessRefused(const QString& reason) {
    // Qt words a refused access itself, the same in every language.
    return reason == SystemErrorText(EACCES) || reason == SystemErrorText(EPERM) || reason == SystemErrorText(EROFS) ||
           reason == QLatin1String("Permission denied");
}

}  // namespace

void ShowWriteFailure(UserInterface& ui, const QString& path, const QString& reason, const QString& title) {
    const QString shown = TrimSpaces(path).isEmpty() ? QStringLiteral("(file not specified)") : path;
    // The old words only where they are true; otherwise what the system said,
    // in the title too (a full disk is no read-only file).
    const QString why = reason.isEmpty() ? QStringLiteral("The file it's READ ONLY, blank or opened by someone else.")
                                         : QStringLiteral("The system reports: ") + reason + QLatin1Char('.');
    const QString shownTitle = !title.isEmpty()                              ? title
                               : reason.isEmpty() || IsAccessRefused(reason) ? QStringLiteral("Read only file")
                                                                             : reason;
    ui.message(shownTitle, QStringLiteral("Unable to write: ") + kCrLf + shown + kCrLf + why, MessageIcon::Exclamation,
               MessageButtons::Ok);
}

void AppendDecodedText(QString& text, QByteArrayView bytes) {
    if (AppendUtf16WithByteOrderMark(text, bytes)) {
        return;
    }
    QByteArrayView view = bytes;
    if (view.startsWith("\xEF\xBB\xBF")) {
        view = view.sliced(3);
    }
    const qsizetype start = text.size();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // Decoded straight behind what the text holds, so room the caller
    // reserved is used rather than a second copy made.
    text.resize(start + utf8.requiredSpace(view.size()));
    const QChar* end = utf8.appendToBuffer(text.data() + start, view);
    if (!utf8.hasError()) {
        text.resize(end - text.constData());
        return;
    }
    text.resize(start);
    AppendWindows1252(text, bytes);
}

namespace {

/// Whether a CR LF pair starts in the bytes.
bool HoldsCrLf(QByteArrayView bytes) {
    if (bytes.isEmpty()) {
        return false;  // an empty view's data may be null, which memchr must not get
    }
    const char* s = bytes.data();
    const qsizetype n = bytes.size();
    for (const char* cr = static_cast<const char*>(std::memchr(s, '\r', static_cast<size_t>(n))); cr != nullptr;
         cr = static_cast<const char*>(std::memchr(cr + 1, '\r', static_cast<size_t>(n - (cr + 1 - s))))) {
        if (cr + 1 < s + n && cr[1] == '\n') {
            return true;
        }
    }
    return false;
}

/// Whether a CR LF pair starts in the text from `from` on.
bool HoldsCrLf(const QString& text, qsizetype from) {
    const qsizetype at = text.indexOf(u'\r', from);
    for (qsizetype cr = at; cr >= 0; cr = text.indexOf(u'\r', cr + 1)) {
        if (cr + 1 < text.size() && text[cr + 1] == u'\n') {
            return true;
        }
    }
    return false;
}

/// Decodes UTF-8 bytes behind the text with every line feed made CR LF, in
/// one walk: ASCII is widened sixteen bytes at a time, each run of other bytes
/// goes to the library's decoder (a run holds whole sequences, ASCII never
/// being part of one, so the runs decode as the whole would). False, and the
/// text as it was, when the bytes are not UTF-8.
bool AppendUtf8WithCrLfLines(QString& text, QByteArrayView bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype feeds = 0;
    qsizetype counted = 0;
#if defined(__SSE2__)
    // Counted per byte lane, up to 255 blocks before the lanes are summed.
    while (counted + 16 <= n) {
        __m128i lanes = _mm_setzero_si128();
        for (int block = 0; block < 255 && counted + 16 <= n; ++block, counted += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + counted));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n')));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        feeds += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
#endif
    feeds += static_cast<qsizetype>(std::count(b + counted, b + n, static_cast<unsigned char>('\n')));
    const qsizetype start = text.size();
    // A byte makes at most one character, a line feed two; the slack takes a
    // block widened whole before its first line feed is seen.
    text.resize(start + n + feeds + 16);
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data()) + start;
    char16_t* w = begin;
    qsizetype i = 0;
    while (i < n) {
#if defined(__SSE2__)
        if (i + 16 <= n) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w), _mm_unpacklo_epi8(chunk, _mm_setzero_si128()));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w + 8), _mm_unpackhi_epi8(chunk, _mm_setzero_si128()));
            const auto stops = static_cast<unsigned>(_mm_movemask_epi8(chunk)) |
                               static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n'))));
            if (stops == 0) {
                w += 16;
                i += 16;
                continue;
            }
            const int ascii = std::countr_zero(stops);
            w += ascii;
            i += ascii;
        }
#endif
        const unsigned char c = b[i];
        if (c == '\n') {
            *w++ = u'\r';
            *w++ = u'\n';
            ++i;
        } else if (c < 0x80) {
            *w++ = c;
            ++i;
        } else {
            qsizetype end = i + 1;
            while (end < n && b[end] >= 0x80) {
                ++end;
            }
            // Only the first run may lose a byte-order mark, as the whole would.
            QStringDecoder utf8(QStringDecoder::Utf8,
                                i == 0 ? QStringDecoder::Flag::Stateless
                                       : QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
            w = reinterpret_cast<char16_t*>(utf8.appendToBuffer(reinterpret_cast<QChar*>(w), bytes.sliced(i, end - i)));
            if (utf8.hasError()) {
                text.resize(start);
                return false;
            }
            i = end;
        }
    }
    text.resize(start + (w - begin));
    return true;
}

}  // namespace

void AppendDecodedLines(QString& text, QByteArrayView bytes) {
    const qsizetype start = text.size();
    if (!bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF") && !HoldsCrLf(bytes)) {
        const QByteArrayView view = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
        if (AppendUtf8WithCrLfLines(text, view)) {
            return;
        }
        AppendWindows1252(text, bytes);
    } else {
        AppendDecodedText(text, bytes);
        if (HoldsCrLf(text, start)) {
            return;
        }
    }
    ExpandLineFeeds(text, start);
}

QString DecodeText(const QByteArray& bytes) {
    QString text;
    AppendDecodedText(text, bytes);
    return text;
}

namespace {

// Narrows the run of Latin-1 characters that starts at `from` into `out` and
// returns where it ends. A page is almost all Latin-1, so whole blocks are
// tested and narrowed at once: sixteen with SSE2, eight elsewhere.
qsizetype NarrowLatin1Run(const char16_t* chars, qsizetype from, qsizetype size, char* out) {
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i highBytes = _mm_set1_epi16(static_cast<short>(0xFF00));
    for (; i + 16 <= size; i += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + i + 8));
        const __m128i wide = _mm_and_si128(_mm_or_si128(low, high), highBytes);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(wide, _mm_setzero_si128())) != 0xFFFF) {
            break;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(low, high));
        out += 16;
    }
#endif
    for (; i + 8 <= size; i += 8) {
        unsigned bits = 0;
        for (qsizetype k = 0; k < 8; ++k) {
            bits |= chars[i + k];
        }
        if (bits >= 0x100) {
            break;
        }
        for (qsizetype k = 0; k < 8; ++k) {
            *out++ = static_cast<char>(chars[i + k]);
        }
    }
    for (; i < size && chars[i] < 0x100; ++i) {
        *out++ = static_cast<char>(chars[i]);
    }
    return i;
}

// Appends text as Latin-1 with "&#N;" for every character above U+00FF. Runs
// of Latin-1 characters are narrowed straight into the buffer.
void AppendLatin1WithReferences(QByteArray& bytes, QStringView text) {
    const char16_t* chars = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        // Room for the rest as if it were all Latin-1; what is left over is cut.
        const qsizetype old = bytes.size();
        bytes.resize(old + (size - i));
        const qsizetype run = NarrowLatin1Run(chars, i, size, bytes.data() + old);
        bytes.resize(old + (run - i));
        i = run;
        if (i == size) {
            break;
        }
        const char16_t unit = chars[i];
        char32_t code = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(chars[i + 1])) {
            code = QChar::surrogateToUcs4(unit, chars[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            code = 0xFFFD;
        }
        ++i;
        bytes.append("&#");
        bytes.append(QByteArray::number(static_cast<quint32>(code)));
        bytes.append(';');
    }
}

void AppendEncoded(QByteArray& bytes, QStringView text, FileEncoding encoding) {
    if (encoding == FileEncoding::Utf8) {
        bytes.append(text.toUtf8());
    } else {
        AppendLatin1WithReferences(bytes, text);
    }
}

// Characters encoded and written at a time: a whole page encoded at once
// would be one more full copy of it in fresh memory.
constexpr qsizetype kWriteChunk = qsizetype{1} << 18;

}  // namespace

TextFileWriter::TextFileWriter(const QString& path, FileEncoding encoding)
    : path_(path), encoding_(encoding), file_(path) {}

TextFileWriter::~TextFileWriter() = default;

bool TextFileWriter::open() {
    if (file_.isOpen() || finished_ || !file_.open()) {
        return false;
    }
    bytes_.reserve(kWriteChunk + kWriteChunk / 2);
    return true;
}

void TextFileWriter::write(QStringView text) {
    if (!file_.isOpen() || failed_ || text.isEmpty()) {
        return;
    }
    // A surrogate pair is encoded as one character, so a high surrogate waits
    // for the piece that may hold its partner.
    if (!heldBack_.isNull()) {
        const char16_t pair[2] = {heldBack_.unicode(), text.front().unicode()};
        const bool joined = text.front().isLowSurrogate();
        heldBack_ = QChar();
        encodeAndWrite(QStringView(pair, joined ? 2 : 1));
        text = text.sliced(joined ? 1 : 0);
    }
    if (!text.isEmpty() && text.back().isHighSurrogate()) {
        heldBack_ = text.back();
        text.chop(1);
    }
    while (!text.isEmpty() && !failed_) {
        qsizetype piece = std::min(text.size(), kWriteChunk);
        // A piece never ends between the halves of a pair.
        if (piece < text.size() && text.at(piece - 1).isHighSurrogate()) {
            ++piece;
        }
        encodeAndWrite(text.first(piece));
        text = text.sliced(piece);
    }
}

void TextFileWriter::writeOnNewLine(QStringView text) {
    // A list growing by a chapter at a time would otherwise cost two system
    // calls per chapter once its bytes differ from the file it replaces.
    if (!heldBack_.isNull() || text.isEmpty() || text.size() > kWriteChunk || text.back().isHighSurrogate()) {
        write(kCrLf);
        write(text);
        return;
    }
    if (!file_.isOpen() || failed_) {
        return;
    }
    bytes_.resize(0);
    AppendEncoded(bytes_, kCrLf, encoding_);
    AppendEncoded(bytes_, text, encoding_);
    if (!file_.write(bytes_)) {
        failed_ = true;
    }
}

void TextFileWriter::encodeAndWrite(QStringView text) {
    if (text.isEmpty()) {
        return;
    }
    bytes_.resize(0);
    AppendEncoded(bytes_, text, encoding_);
    if (!file_.write(bytes_)) {
        failed_ = true;
    }
}

bool TextFileWriter::finish(UserInterface& ui) {
    if (finished_) {
        return false;
    }
    finished_ = true;
    if (!file_.isOpen()) {
        ShowWriteFailure(ui, path_, file_.failure());
        return false;
    }
    if (!heldBack_.isNull()) {
        const QChar lone = heldBack_;
        heldBack_ = QChar();
        encodeAndWrite(QStringView(&lone, 1));
    }
    // Every write ends with one line end.
    if (!failed_) {
        encodeAndWrite(kCrLf);
    }
    if (!failed() && !ui.mayReplaceFile(path_)) {
        return false;
    }
    if (file_.commit()) {
        return true;
    }
    ShowWriteFailure(ui, path_, file_.failure());
    return false;
}

QByteArray EncodeText(const QString& text, FileEncoding encoding) {
    if (encoding == FileEncoding::Utf8) {
        return text.toUtf8();
    }
    QByteArray bytes;
    bytes.reserve(text.size());
    AppendLatin1WithReferences(bytes, text);
    return bytes;
}

QString ReadTextFile(const QString& path) {
    QByteArray bytes;
    return ReadFileBytes(path, bytes) ? DecodeText(bytes) : QString();
}

bool ReadFileBytes(const QString& path, QByteArray& bytes) { return ReadRegularFile(path, bytes).ok(); }

bool WriteTextFile(UserInterface& ui, const QString& path, const QString& text, FileEncoding encoding) {
    TextFileWriter file(path, encoding);
    file.open();
    file.write(text);
    return file.finish(ui);
}

bool AppendTextFile(const QString& path, const QString& text, FileEncoding encoding) {
    if (path.isEmpty()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return false;
    }
    const QByteArray bytes = EncodeText(text + kCrLf, encoding);
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

}  // namespace tessarel

#include "support/file_functions.h"
#include "support/string_functions.h"
#include "support/user_interface.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

namespace tessarel {

namespace {

// Windows-1252 0x80..0x9F; the five undefined bytes keep their C1 code.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeWindows1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        out[i] = (byte >= 0x80 && byte <= 0x9F) ? QChar(kCp1252High[byte - 0x80]) : QChar(char16_t{byte});
    }
    return text;
}

// Replaces `target` by `source` in one step where the platform allows it.
bool ReplaceFile(const QString& source, const QString& target) {
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(source.toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), error);
    return !error;
}

}  // namespace

void ShowReadOnlyMessage(UserInterface& ui, const QString& path) {
    const QString shown = TrimSpaces(path).isEmpty() ? QStringLiteral("(file not specified)") : path;
    ui.message(QStringLiteral("Read only file"),
               QStringLiteral("Unable to write: ") + kCrLf + shown + kCrLf +
                   QStringLiteral("The file it's READ ONLY, blank or opened by someone else."),
               MessageIcon::Exclamation, MessageButtons::Ok);
}

QString DecodeText(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) {
        view = view.sliced(3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError()) {
        return text;
    }
    return DecodeWindows1252(bytes);
}

namespace {

// Appends text as Latin-1 with "&#N;" for every character above U+00FF. Runs
// of Latin-1 characters are narrowed straight into the buffer.
void AppendLatin1WithReferences(QByteArray& bytes, QStringView text) {
    const char16_t* chars = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        qsizetype run = i;
        while (run < size && chars[run] < 0x100) {
            ++run;
        }
        if (run > i) {
            const qsizetype old = bytes.size();
            bytes.resize(old + (run - i));
            char* out = bytes.data() + old;
            for (qsizetype k = i; k < run; ++k) {
                *out++ = static_cast<char>(chars[k]);
            }
            i = run;
        }
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

bool WriteEncoded(QFile& file, const QString& text, FileEncoding encoding) {
    QByteArray bytes;
    bytes.reserve(kWriteChunk + kWriteChunk / 2);
    const qsizetype size = text.size();
    qsizetype from = 0;
    do {
        qsizetype to = std::min(size, from + kWriteChunk);
        // A surrogate pair is encoded as one character, so it is never split.
        if (to < size && text.at(to - 1).isHighSurrogate()) {
            ++to;
        }
        bytes.resize(0);
        AppendEncoded(bytes, QStringView(text).mid(from, to - from), encoding);
        if (to == size) {
            // Every write ends with one line end.
            AppendEncoded(bytes, kCrLf, encoding);
        }
        if (file.write(bytes) != bytes.size()) {
            return false;
        }
        from = to;
    } while (from < size);
    return true;
}

// Where a replacement is written before it is renamed over the target. A name
// near the file system's limit of 255 bytes gets a short one instead, or such
// a file could be written once and never replaced.
QString ReplacementPath(const QString& path) {
    const QString suffix = QStringLiteral(".tessarel-new");
    const qsizetype nameStart = path.lastIndexOf(PathSeparator()) + 1;
    const QStringView name = QStringView(path).mid(nameStart);
    if (name.toUtf8().size() + suffix.size() <= 255) {
        return path + suffix;
    }
    return path.left(nameStart) + QStringLiteral(".tessarel-") + QString::number(qHash(name), 16) + suffix;
}

}  // namespace

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
    QString text;
    ReadTextFileInto(path, text);
    return text;
}

bool ReadTextFileInto(const QString& path, QString& text) {
    if (path.isEmpty()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    text = DecodeText(bytes);
    return true;
}

bool WriteTextFile(UserInterface& ui, const QString& path, const QString& text, FileEncoding encoding) {
    const QFileInfo target(path);
    // A file without its owner's write permission is read-only even to an
    // administrator, who could otherwise replace it.
    const bool readOnly =
        target.exists() && (!target.isWritable() || !(target.permissions() & QFileDevice::WriteOwner));
    if (TrimSpaces(path).isEmpty() || target.isDir() || readOnly) {
        ShowReadOnlyMessage(ui, path);
        return false;
    }
    // An existing file is replaced by writing beside it and renaming, so a
    // failed write never leaves a half-written file where a good one stood.
    const bool replacing = target.exists();
    const QString written = replacing ? ReplacementPath(path) : path;
    QFile file(written);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ShowReadOnlyMessage(ui, path);
        return false;
    }
    const bool complete = WriteEncoded(file, text, encoding);
    file.close();
    if (complete && file.error() == QFileDevice::NoError) {
        if (!replacing) {
            return true;
        }
        file.setPermissions(target.permissions());
        if (ReplaceFile(written, path)) {
            return true;
        }
    }
    QFile::remove(written);
    ShowReadOnlyMessage(ui, path);
    return false;
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

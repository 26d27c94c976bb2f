#include "book/chm_stamps.h"

#include <QFile>

namespace tessarel {

namespace {

/// Big-endian ("ENCINT") variable-length number of the compiled file's directory.
bool ReadEncodedNumber(const QByteArray& data, qsizetype& at, qsizetype end, quint64& value) {
    value = 0;
    for (int i = 0; i < 9 && at < end; ++i) {
        const auto byte = static_cast<quint8>(data[at++]);
        value = (value << 7) | (byte & 0x7f);
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    return false;
}

quint32 ReadLittle32(const QByteArray& data, qsizetype at) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<quint8>(data[at + i]);
    }
    return value;
}

quint64 ReadLittle64(const QByteArray& data, qsizetype at) {
    return quint64(ReadLittle32(data, at)) | (quint64(ReadLittle32(data, at + 4)) << 32);
}

/// Where "/#SYSTEM" lies in the file, when it is stored uncompressed.
struct StoredFile {
    qsizetype start = -1;
    qsizetype length = 0;
};

StoredFile FindSystemFile(const QByteArray& data) {
    constexpr qsizetype kHeaderLength = 0x60;
    if (data.size() < kHeaderLength || !data.startsWith("ITSF") || ReadLittle32(data, 4) < 3) {
        return {};
    }
    const quint64 directory = ReadLittle64(data, 0x48);
    const quint64 directoryLength = ReadLittle64(data, 0x50);
    const quint64 content = ReadLittle64(data, 0x58);
    if (directory + directoryLength > quint64(data.size()) || directoryLength < 0x54) {
        return {};
    }
    const auto dir = static_cast<qsizetype>(directory);
    if (data.mid(dir, 4) != "ITSP") {
        return {};
    }
    const quint32 headerLength = ReadLittle32(data, dir + 8);
    const quint32 chunkSize = ReadLittle32(data, dir + 0x10);
    const quint32 chunks = ReadLittle32(data, dir + 0x2c);
    if (chunkSize < 0x14 || headerLength + quint64(chunkSize) * chunks > directoryLength) {
        return {};
    }
    for (quint32 c = 0; c < chunks; ++c) {
        const qsizetype chunk = dir + headerLength + qsizetype(c) * chunkSize;
        if (data.mid(chunk, 4) != "PMGL") {
            continue;
        }
        const quint32 freeSpace = ReadLittle32(data, chunk + 4);
        if (freeSpace > chunkSize - 0x14) {
            return {};
        }
        const qsizetype end = chunk + chunkSize - freeSpace;
        qsizetype at = chunk + 0x14;
        while (at < end) {
            quint64 nameLength = 0;
            quint64 section = 0;
            quint64 offset = 0;
            quint64 length = 0;
            if (!ReadEncodedNumber(data, at, end, nameLength) || nameLength > quint64(end - at)) {
                return {};
            }
            const QByteArray name = data.mid(at, static_cast<qsizetype>(nameLength));
            at += static_cast<qsizetype>(nameLength);
            if (!ReadEncodedNumber(data, at, end, section) || !ReadEncodedNumber(data, at, end, offset) ||
                !ReadEncodedNumber(data, at, end, length)) {
                return {};
            }
            if (name == "/#SYSTEM") {
                const quint64 start = content + offset;
                if (section != 0 || start + length > quint64(data.size()) || length < 4) {
                    return {};
                }
                return {static_cast<qsizetype>(start), static_cast<qsizetype>(length)};
            }
        }
    }
    return {};
}

}  // namespace

bool SetCompiledHelpStamps(const QString& compiledFile, qint64 secondsSinceEpoch) {
    QFile file(compiledFile);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        return false;
    }
    QByteArray data = file.readAll();
    const StoredFile system = FindSystemFile(data);
    if (system.start < 0) {
        return false;
    }
    // The compiler stamps the milliseconds since midnight.
    const auto stamp = static_cast<quint32>((secondsSinceEpoch % 86400 + 86400) % 86400 * 1000);
    for (int i = 0; i < 4; ++i) {
        data[0x10 + i] = static_cast<char>(stamp >> (8 * (3 - i)));
    }
    // The system file's records: a version, then code, length and data each.
    const qsizetype end = system.start + system.length;
    qsizetype at = system.start + 4;
    while (at + 4 <= end) {
        const quint32 head = ReadLittle32(data, at);
        const quint32 code = head & 0xffff;
        const quint32 length = head >> 16;
        at += 4;
        if (at + length > end) {
            break;
        }
        if (code == 10 && length == 4) {
            for (int i = 0; i < 4; ++i) {
                data[at + i] = static_cast<char>(stamp >> (8 * i));
            }
            break;
        }
        at += length;
    }
    return file.seek(0) && file.write(data) == data.size();
}

}  // namespace tessarel

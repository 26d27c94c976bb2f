#include "support/file_read.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <new>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace tessarel {

namespace {

// A NUL would cut the name the system sees short, and Qt warns about it.
bool NameTheSystemTakes(const QString& path) { return !path.isEmpty() && !path.contains(QChar(u'\0')); }

#if defined(Q_OS_UNIX)

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

ReadResult SystemFailure(int error) { return {ReadOutcome::Unreadable, QString::fromLocal8Bit(std::strerror(error))}; }

/// Reads to the end, never holding more than limit + 1 bytes. The size from
/// fstat is only where to start: files in /proc say 0, and a file may grow.
ReadResult ReadDescriptor(int fd, qint64 size, QByteArray& bytes, qint64 limit) {
    QByteArray read;
    try {
        read.resize(std::min(size, limit) + 1);
        qint64 filled = 0;
        for (;;) {
            if (filled == read.size()) {
                if (filled > limit) {
                    return {ReadOutcome::TooLarge, QString()};
                }
                read.resize(std::min(std::max(filled * 2, qint64{65536}), limit + 1));
            }
            const ssize_t got = ::read(fd, read.data() + filled, static_cast<size_t>(read.size() - filled));
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return SystemFailure(errno);
            }
            if (got == 0) {
                break;
            }
            filled += got;
        }
        read.resize(filled);
    } catch (const std::bad_alloc&) {
        return {ReadOutcome::OutOfMemory, QString()};
    }
    bytes = std::move(read);
    return {};
}

#endif

}  // namespace

ReadResult ReadRegularFile(const QString& path, QByteArray& bytes, qint64 limit, LinkPolicy links) {
    if (!NameTheSystemTakes(path)) {
        return {ReadOutcome::Unreadable, QString()};
    }
#if defined(Q_OS_UNIX)
    const QByteArray name = QFile::encodeName(path);
    // Without O_NONBLOCK, opening a pipe waits for a writer, and an interrupt
    // only restarts the wait.
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (links == LinkPolicy::Refuse ? O_NOFOLLOW : 0);
    int fd = -1;
    do {
        fd = ::open(name.constData(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP && links == LinkPolicy::Refuse) {
            return {ReadOutcome::NotRegularFile, QString()};
        }
        struct stat info = {};
        // A socket cannot be opened at all; say what it is.
        if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
            return {ReadOutcome::NotRegularFile, QString()};
        }
        return SystemFailure(error);
    }
    const Descriptor file(fd);
    struct stat info = {};
    if (::fstat(file.get(), &info) != 0) {
        return SystemFailure(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return SystemFailure(EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        return {ReadOutcome::NotRegularFile, QString()};
    }
    if (info.st_size > limit) {
        return {ReadOutcome::TooLarge, QString()};
    }
    ReadResult result = ReadDescriptor(file.get(), info.st_size, bytes, limit);
    if (result.ok()) {
        // Taken before the read: a later change gives the file another stamp.
        result.stamp = StampOfStatus(info);
    }
    return result;
#else
    if (links == LinkPolicy::Refuse && QFileInfo(path).isSymLink()) {
        return {ReadOutcome::NotRegularFile, QString()};
    }
    const ReadOutcome probed = ProbeRegularFile(path, limit);
    if (probed != ReadOutcome::Read) {
        return {probed, QString()};
    }
    const FileStamp stamp = StampOf(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {ReadOutcome::Unreadable, file.errorString()};
    }
    try {
        QByteArray read = file.read(limit + 1);
        if (file.error() != QFileDevice::NoError) {
            return {ReadOutcome::Unreadable, file.errorString()};
        }
        if (read.size() > limit) {
            return {ReadOutcome::TooLarge, QString()};
        }
        bytes = std::move(read);
    } catch (const std::bad_alloc&) {
        return {ReadOutcome::OutOfMemory, QString()};
    }
    return {ReadOutcome::Read, QString(), stamp};
#endif
}

ReadOutcome ProbeRegularFile(const QString& path, qint64 limit) {
    if (!NameTheSystemTakes(path)) {
        return ReadOutcome::Unreadable;
    }
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        return ReadOutcome::Unreadable;
    }
    if (!info.isFile()) {
        return ReadOutcome::NotRegularFile;
    }
    return info.size() > limit ? ReadOutcome::TooLarge : ReadOutcome::Read;
}

QString ReadFailureReason(ReadOutcome outcome) {
    switch (outcome) {
    case ReadOutcome::Read:
        break;
    case ReadOutcome::Unreadable:
        return QStringLiteral("Unreadable File");
    case ReadOutcome::NotRegularFile:
        return QStringLiteral("Not a Regular File");
    case ReadOutcome::TooLarge:
        return QStringLiteral("File Too Large");
    case ReadOutcome::OutOfMemory:
        return QStringLiteral("Out of Memory");
    }
    return QString();
}

QString ReadFailureText(const ReadResult& result) {
    switch (result.outcome) {
    case ReadOutcome::Read:
        break;
    case ReadOutcome::Unreadable:
        return result.systemMessage.isEmpty()
                   ? QStringLiteral("It could not be read.")
                   : QStringLiteral("It could not be read: ") + result.systemMessage + QLatin1Char('.');
    case ReadOutcome::NotRegularFile:
        return QStringLiteral("It is not a regular file but a pipe, a device or a socket, so it was not read.");
    case ReadOutcome::TooLarge:
        return QStringLiteral("It is larger than ") + QString::number(kMaxReadBytes >> 20) +
               QStringLiteral(" MB, the most Tessarel reads.");
    case ReadOutcome::OutOfMemory:
        return QStringLiteral("There was not enough memory to read it or build its page.");
    }
    return QString();
}

bool AppendUtf16WithByteOrderMark(QString& text, QByteArrayView bytes) {
    QStringDecoder::Encoding encoding;
    if (bytes.startsWith("\xFF\xFE")) {
        encoding = QStringDecoder::Utf16LE;
    } else if (bytes.startsWith("\xFE\xFF")) {
        encoding = QStringDecoder::Utf16BE;
    } else {
        return false;
    }
    // The mark is taken off here; one more after it is the text's own character.
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QByteArrayView body = bytes.sliced(2);
    const qsizetype start = text.size();
    text.resize(start + decoder.requiredSpace(body.size()));
    const QChar* end = decoder.appendToBuffer(text.data() + start, body);
    text.resize(end - text.constData());
    return true;
}

bool ReadFileStart(const QString& path, qint64 count, QByteArray& bytes) {
    if (!NameTheSystemTakes(path) || count < 0) {
        return false;
    }
#if defined(Q_OS_UNIX)
    int fd = -1;
    do {
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return false;
    }
    const Descriptor file(fd);
    struct stat info = {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    QByteArray read(std::min<qint64>(count, info.st_size), Qt::Uninitialized);
    qint64 filled = 0;
    while (filled < read.size()) {
        const ssize_t got = ::read(file.get(), read.data() + filled, static_cast<size_t>(read.size() - filled));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    read.resize(filled);
    bytes = std::move(read);
    return true;
#else
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    bytes = file.read(count);
    return file.error() == QFileDevice::NoError;
#endif
}

}  // namespace tessarel

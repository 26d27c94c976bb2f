#pragma once

// Files that are not plain text files, for the tests of what a build refuses
// to read: pipes, and files too large to read that take no room on disk.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <atomic>
#include <thread>

namespace tessarel::testing {

/// A named pipe with no writer: opening it for reading the usual way waits forever.
inline bool MakeFifo(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

/// A named pipe that tells whether anyone opened it, and never holds a reader
/// that does: a writer waits on it, and when a reader comes, the writer ends at
/// once (the reader sees the end of the file). A fault that opens the pipe
/// then fails its test instead of hanging it.
class WatchedFifo {
public:
    explicit WatchedFifo(const QString& path) : name_(QFile::encodeName(path)) {
        made_ = MakeFifo(path);
        if (made_) {
            writer_ = std::thread([this] {
                const int fd = ::open(name_.constData(), O_WRONLY);
                opened_ = !releasing_;
                if (fd >= 0) {
                    ::close(fd);
                }
            });
        }
    }
    ~WatchedFifo() { release(); }
    WatchedFifo(const WatchedFifo&) = delete;
    WatchedFifo& operator=(const WatchedFifo&) = delete;

    bool made() const { return made_; }
    /// True when a reader other than this one's own release came.
    bool opened() {
        release();
        return opened_;
    }

private:
    void release() {
        if (!writer_.joinable()) {
            return;
        }
        releasing_ = true;
        // Opening for reading lets the waiting writer's open return.
        const int fd = ::open(name_.constData(), O_RDONLY | O_NONBLOCK);
        writer_.join();
        if (fd >= 0) {
            ::close(fd);
        }
    }

    QByteArray name_;
    bool made_ = false;
    std::atomic<bool> releasing_{false};
    std::atomic<bool> opened_{false};
    std::thread writer_;
};

/// A sparse file of `size` zero bytes.
inline bool MakeSparseFile(const QString& path, qint64 size) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size);
}

}  // namespace tessarel::testing

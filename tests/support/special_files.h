#pragma once

// Files that are not plain text files, for the tests of what a build refuses
// to read: pipes, and files too large to read that take no room on disk.

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace tessarel::testing {

/// A named pipe with no writer: opening it for reading the usual way waits forever.
inline bool MakeFifo(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

/// A sparse file of `size` zero bytes.
inline bool MakeSparseFile(const QString& path, qint64 size) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size);
}

}  // namespace tessarel::testing

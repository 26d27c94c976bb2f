#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tessarel {

/// A regular file's size and modification time: the cheap first test that a
/// file is still the one a build read or wrote.
struct FileStamp {
    qint64 size = -1;  ///< -1: no regular file there
    qint64 modifiedNs = 0;

    bool known() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;
};

/// The stamp of the regular file at `path` (a link is followed); an unknown
/// stamp for anything else.
FileStamp StampOf(const QString& path);

/// A digest of a file's bytes that tells changed contents apart (SHA-1: the
/// fastest digest Qt offers here; only changed or new files are hashed).
QByteArray ContentDigest(QByteArrayView bytes);

}  // namespace tessarel

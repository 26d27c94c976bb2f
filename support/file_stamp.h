#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <algorithm>

#if defined(Q_OS_UNIX)
struct stat;
#endif

namespace tessarel {

/// A regular file's identity and times: the cheap first test that a file is
/// still the one a build read or wrote. Its size and modification time can be
/// given back by anyone (`touch -r`); its status-change time is set by the
/// system at every change and by no user, and its device and inode tell
/// another file put in its place (a link, a rename) apart.
struct FileStamp {
    qint64 size = -1;  ///< -1: no regular file there
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;  ///< status-change time; the modification time where the system has none
    quint64 device = 0;
    quint64 inode = 0;

    bool known() const { return size >= 0; }
    /// The last time anything about the file changed.
    qint64 lastChangeNs() const { return std::max(modifiedNs, changedNs); }
    bool operator==(const FileStamp&) const = default;
};

/// The stamp of the regular file at `path` (a link is followed); an unknown
/// stamp for anything else.
FileStamp StampOf(const QString& path);

#if defined(Q_OS_UNIX)
/// The stamp of a regular file the system described with `info`.
FileStamp StampOfStatus(const struct stat& info);
#endif

/// A digest of a file's bytes that tells changed contents apart (SHA-1: the
/// fastest digest Qt offers here; only changed or new files are hashed).
QByteArray ContentDigest(QByteArrayView bytes);

}  // namespace tessarel

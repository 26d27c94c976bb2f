#include "support/file_stamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace tessarel {

#if defined(Q_OS_UNIX)

FileStamp StampOfStatus(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        return {};
    }
#if defined(Q_OS_DARWIN)
    const auto& modified = info.st_mtimespec;
    const auto& changed = info.st_ctimespec;
#else
    const auto& modified = info.st_mtim;
    const auto& changed = info.st_ctim;
#endif
    return {.size = static_cast<qint64>(info.st_size),
            .modifiedNs = qint64{modified.tv_sec} * 1000000000 + modified.tv_nsec,
            .changedNs = qint64{changed.tv_sec} * 1000000000 + changed.tv_nsec,
            .device = static_cast<quint64>(info.st_dev),
            .inode = static_cast<quint64>(info.st_ino)};
}

#endif

FileStamp StampOf(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(u'\0'))) {
        return {};
    }
#if defined(Q_OS_UNIX)
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return {};
    }
    return StampOfStatus(info);
#else
    const QFileInfo info(path);
    if (!info.isFile()) {
        return {};
    }
    const qint64 modified = info.lastModified().toMSecsSinceEpoch() * 1000000;
    const QDateTime changed = info.metadataChangeTime();
    return {.size = info.size(),
            .modifiedNs = modified,
            .changedNs = changed.isValid() ? changed.toMSecsSinceEpoch() * 1000000 : modified};
#endif
}

QByteArray ContentDigest(QByteArrayView bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1); }

}  // namespace tessarel

#include "support/file_stamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace tessarel {

FileStamp StampOf(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(u'\0'))) {
        return {};
    }
#if defined(Q_OS_UNIX)
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
#if defined(Q_OS_DARWIN)
    const auto& modified = info.st_mtimespec;
#else
    const auto& modified = info.st_mtim;
#endif
    return {static_cast<qint64>(info.st_size), qint64{modified.tv_sec} * 1000000000 + modified.tv_nsec};
#else
    const QFileInfo info(path);
    if (!info.isFile()) {
        return {};
    }
    return {info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
#endif
}

QByteArray ContentDigest(QByteArrayView bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1); }

}  // namespace tessarel

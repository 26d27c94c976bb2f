#include "book/destination_lock.h"

#include "support/replacing_file.h"
#include "support/string_functions.h"
#include "support/text_file.h"
#include "support/user_interface.h"

#include <QDateTime>
#include <QFileInfo>

#include <cerrno>

namespace tessarel {

namespace {

// A lock file that names no process, or is a link, was not written by a build
// that is still starting once it is this old.
constexpr qint64 kUnreadableLockAgeMs = 10'000;

/// Why a small file cannot be written in the folder, in the system's words:
/// the lock file's own failure does not say (a full disk, a read-only folder).
QString WhyFolderRefusesFiles(const QString& folder) {
    ReplacingFile probe(folder + kDestinationLockName);
    if (probe.open() && probe.write(QByteArray(128, 'x'))) {
        return QStringLiteral("Unknown error");
    }
    return probe.failure().isEmpty() ? SystemErrorText(EACCES) : probe.failure();
}

}  // namespace

DestinationLock::DestinationLock(const QString& folder) : folder_(folder), lock_(folder + kDestinationLockName) {
    // Only a dead owner makes a lock stale, never its age: a build may take
    // longer than any time limit.
    lock_.setStaleLockTime(0);
}

bool DestinationLock::tryLockOnce() {
    if (lock_.tryLock(0)) {
        return true;
    }
    if (lock_.error() != QLockFile::LockFailedError) {
        return false;
    }
    qint64 pid = 0;
    QString host;
    QString program;
    if (lock_.getLockInfo(&pid, &host, &program)) {
        return false;
    }
    // Not a lock a build wrote (a link, or text that names no process): once it
    // cannot be one that is being written, it is cleared and tried again.
    const QString path = folder_ + kDestinationLockName;
    const QFileInfo info(path);
    const QDateTime changed = info.isSymLink() ? QDateTime() : info.lastModified();
    if (changed.isValid() && changed.msecsTo(QDateTime::currentDateTime()) < kUnreadableLockAgeMs) {
        return false;
    }
    return lock_.removeStaleLockFile() && lock_.tryLock(0);
}

bool DestinationLock::acquire(UserInterface& ui, bool& busy) {
    busy = false;
    if (tryLockOnce()) {
        return true;
    }
    const QString path = folder_ + kDestinationLockName;
    if (lock_.error() != QLockFile::LockFailedError) {
        ShowWriteFailure(ui, path, WhyFolderRefusesFiles(folder_));
        return false;
    }
    busy = true;
    qint64 pid = 0;
    QString host;
    QString program;
    QString holder;
    if (lock_.getLockInfo(&pid, &host, &program)) {
        holder = kCrLf + QStringLiteral("(") + (program.isEmpty() ? QStringLiteral("a program") : program) +
                 QStringLiteral(", process ") + QString::number(pid) +
                 (host.isEmpty() ? QString() : QStringLiteral(" on ") + host) + QStringLiteral(")");
    }
    ui.message(QStringLiteral("Destination in use"),
               QStringLiteral("Another build is writing to this folder:") + kCrLf + folder_ + holder + kCrLf +
                   QStringLiteral("Nothing was written. Build again when it has finished.") + kCrLf +
                   QStringLiteral("If no build is running, delete ") + path + QLatin1Char('.'),
               MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
}

}  // namespace tessarel

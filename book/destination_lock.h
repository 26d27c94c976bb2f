#pragma once

#include <QLockFile>
#include <QString>

namespace tessarel {

class UserInterface;

/// The name of the lock file a project build holds in its destination folder.
inline const QString kDestinationLockName = QStringLiteral(".tessarel-lock");

/// One build at a time per destination folder: the lock file is held for the
/// whole build and removed when it ends. A lock left by a build that was killed
/// on this machine is taken over at once.
class DestinationLock {
public:
    /// `folder` ends with a separator.
    explicit DestinationLock(const QString& folder);
    DestinationLock(const DestinationLock&) = delete;
    DestinationLock& operator=(const DestinationLock&) = delete;

    /// Takes the lock without waiting. When it cannot, the user is told why
    /// (another build holds it, or the folder refuses the lock file) and false
    /// is returned; `busy` then says whether another build holds it.
    bool acquire(UserInterface& ui, bool& busy);

private:
    bool tryLockOnce();

    QString folder_;
    QLockFile lock_;
};

}  // namespace tessarel

#include "support/replacing_file.h"

#include "support/paths.h"
#include "support/string_functions.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <cstring>
#include <filesystem>
#include <system_error>

namespace tessarel {

namespace {

std::filesystem::path NativePath(const QString& path) { return std::filesystem::path(path.toStdU16String()); }

#ifdef Q_OS_UNIX
/// What QFileInfo::permissions() gives for a file of the running user (or
/// any file for the administrator), from one stat; another user's file asks
/// QFileInfo, whose "user" flags come from access().
QFileDevice::Permissions PermissionsOf(const struct stat& status, const QString& path) {
    const uid_t me = ::geteuid();
    if (me != 0 && status.st_uid != me) {
        return QFileInfo(path).permissions();
    }
    const mode_t mode = status.st_mode;
    QFileDevice::Permissions permissions;
    const struct {
        mode_t bit;
        QFileDevice::Permission flag;
    } kBits[] = {
        {S_IRUSR, QFileDevice::ReadOwner}, {S_IWUSR, QFileDevice::WriteOwner}, {S_IXUSR, QFileDevice::ExeOwner},
        {S_IRGRP, QFileDevice::ReadGroup}, {S_IWGRP, QFileDevice::WriteGroup}, {S_IXGRP, QFileDevice::ExeGroup},
        {S_IROTH, QFileDevice::ReadOther}, {S_IWOTH, QFileDevice::WriteOther}, {S_IXOTH, QFileDevice::ExeOther}};
    for (const auto& entry : kBits) {
        if ((mode & entry.bit) != 0) {
            permissions |= entry.flag;
        }
    }
    // The user's own flags are what access() grants: the owner's bits, and
    // for the administrator reading and writing always, running when any
    // execute bit is set.
    const bool administrator = me == 0;
    if (administrator || (mode & S_IRUSR) != 0) {
        permissions |= QFileDevice::ReadUser;
    }
    if (administrator || (mode & S_IWUSR) != 0) {
        permissions |= QFileDevice::WriteUser;
    }
    if (administrator ? (mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0 : (mode & S_IXUSR) != 0) {
        permissions |= QFileDevice::ExeUser;
    }
    return permissions;
}
#endif

/// True when anything, a dangling link included, has that name.
bool NameTaken(const QString& path) {
    std::error_code error;
    return std::filesystem::symlink_status(NativePath(path), error).type() != std::filesystem::file_type::not_found;
}

/// The folder part of a path, with its separator; "" for a bare name.
QString FolderPart(const QString& path) {
    qsizetype end = path.lastIndexOf(QLatin1Char('/'));
    end = std::max(end, path.lastIndexOf(PathSeparator()));
    return path.left(end + 1);
}

/// A name nobody can guess: sixteen letters and digits from the system's
/// random source.
QString UnpredictableName() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = QStringLiteral(".tessarel-");
    QRandomGenerator* random = QRandomGenerator::system();
    for (int i = 0; i < 16; ++i) {
        name += QLatin1Char(kChars[random->bounded(static_cast<int>(sizeof(kChars) - 1))]);
    }
    return name + kReplacementSuffix;
}

QString WithFallback(const QString& reason) { return reason.isEmpty() ? QStringLiteral("Unknown error") : reason; }

}  // namespace

QString SystemErrorText(int error) { return QString::fromLocal8Bit(std::system_category().message(error)); }

bool MakeFolders(const QString& folder, QString& failure) {
    std::error_code error;
    std::filesystem::create_directories(NativePath(folder), error);
    if (error) {
        failure = WithFallback(QString::fromLocal8Bit(error.message()));
        return false;
    }
    return QFileInfo(folder).isDir();
}

ReplacingFile::ReplacingFile(const QString& target) : target_(target) {}

ReplacingFile::~ReplacingFile() {
    stopComparing();
    removeWritten();
}

void ReplacingFile::openOldForComparing() {
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(target_);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return;
    }
    oldFile_ = fd;
    matched_ = 0;
    oldAt_ = 0;
    oldBytes_.clear();
#endif
}

void ReplacingFile::stopComparing() {
#ifdef Q_OS_UNIX
    if (oldFile_ >= 0) {
        ::close(oldFile_);
    }
#endif
    oldFile_ = -1;
    oldBytes_ = QByteArray();
    oldAt_ = 0;
}

bool ReplacingFile::copyMatchedPrefix() {
#ifdef Q_OS_UNIX
    constexpr qint64 kPiece = 1 << 20;
    QByteArray piece;
    for (qint64 at = 0; at < matched_ && !failed_;) {
        const qint64 want = std::min(kPiece, matched_ - at);
        piece.resize(want);
        const ssize_t got = ::pread(oldFile_, piece.data(), static_cast<size_t>(want), at);
        if (got <= 0) {
            fail(SystemErrorText(got < 0 ? errno : EIO));
            break;
        }
        writeBytes(QByteArrayView(piece.constData(), got));
        at += got;
    }
#endif
    stopComparing();
    return !failed_;
}

void ReplacingFile::fail(const QString& reason) {
    if (!failed_) {
        failure_ = reason;
    }
    failed_ = true;
}

void ReplacingFile::removeWritten() {
    if (file_.fileName().isEmpty()) {
        return;
    }
    file_.close();
    QFile::remove(file_.fileName());
    file_.setFileName(QString());
}

bool ReplacingFile::open() {
    if (file_.isOpen() || failed_) {
        return false;
    }
    if (TrimSpaces(target_).isEmpty()) {
        fail(QString());
        return false;
    }
#ifdef Q_OS_UNIX
    // One look at the target instead of one per question QFileInfo answers.
    struct stat status {};
    const QByteArray name = QFile::encodeName(target_);
    const bool exists = !target_.contains(QChar(u'\0')) && ::lstat(name.constData(), &status) == 0;
    // A link is replaced as it stands, whatever it points to.
    if (exists && !S_ISLNK(status.st_mode)) {
        if (S_ISDIR(status.st_mode)) {
            fail(SystemErrorText(EISDIR));
            return false;
        }
        // A file without its owner's write permission is read-only even to an
        // administrator, who could otherwise replace it.
        if (::access(name.constData(), W_OK) != 0 || (status.st_mode & S_IWUSR) == 0) {
            fail(QString());
            return false;
        }
        keepPermissions_ = true;
        permissions_ = PermissionsOf(status, target_);
    }
#else
    const QFileInfo info(target_);
    // A link is replaced as it stands, whatever it points to.
    if (!info.isSymLink()) {
        if (info.isDir()) {
            fail(SystemErrorText(EISDIR));
            return false;
        }
        // A file without its owner's write permission is read-only even to an
        // administrator, who could otherwise replace it.
        if (info.exists() && (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner))) {
            fail(QString());
            return false;
        }
        keepPermissions_ = info.exists();
        if (keepPermissions_) {
            permissions_ = info.permissions();
        }
    }
#endif
    const QString folder = FolderPart(target_);
    for (int attempt = 0; attempt < 16; ++attempt) {
        file_.setFileName(folder + UnpredictableName());
        // NewOnly creates the file exclusively: an existing name, a link
        // included, makes the open fail instead of being followed.
        if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            if (keepPermissions_) {
                openOldForComparing();
            }
            return true;
        }
        const QString reason = file_.errorString();
        const bool taken = NameTaken(file_.fileName());
        file_.setFileName(QString());
        if (!taken) {
            fail(WithFallback(reason));
            return false;
        }
    }
    fail(SystemErrorText(EEXIST));
    return false;
}

bool ReplacingFile::write(QByteArrayView bytes) {
    if (!file_.isOpen() || failed_) {
        return false;
    }
#ifdef Q_OS_UNIX
    if (oldFile_ >= 0) {
        // The same bytes at the same place: nothing is written yet. The
        // target is read in blocks, whatever the pieces written.
        constexpr qsizetype kBlock = 64 * 1024;
        bool same = true;
        for (qsizetype done = 0; done < bytes.size();) {
            if (oldAt_ == oldBytes_.size()) {
                oldBytes_.resize(kBlock);
                const ssize_t n = ::read(oldFile_, oldBytes_.data(), kBlock);
                oldBytes_.resize(n > 0 ? n : 0);
                oldAt_ = 0;
                if (n <= 0) {
                    same = false;
                    break;
                }
            }
            const qsizetype n = std::min(bytes.size() - done, oldBytes_.size() - oldAt_);
            if (std::memcmp(oldBytes_.constData() + oldAt_, bytes.data() + done, static_cast<size_t>(n)) != 0) {
                same = false;
                break;
            }
            oldAt_ += n;
            done += n;
        }
        if (same) {
            matched_ += bytes.size();
            return true;
        }
        if (!copyMatchedPrefix()) {
            return false;
        }
    }
#endif
    return writeBytes(bytes);
}

bool ReplacingFile::writeBytes(QByteArrayView bytes) {
    if (failed_) {
        return false;
    }
    // A short write (a disk filling up) is tried again: only the write that
    // fails outright carries the system's reason.
    while (!bytes.isEmpty()) {
        const qint64 written = file_.write(bytes.data(), bytes.size());
        if (written <= 0) {
            fail(WithFallback(file_.errorString()));
            return false;
        }
        bytes = bytes.sliced(written);
    }
    return true;
}

bool ReplacingFile::commit() {
    if (!file_.isOpen() || failed_) {
        stopComparing();
        removeWritten();
        return false;
    }
#ifdef Q_OS_UNIX
    if (oldFile_ >= 0) {
        char extra = 0;
        if (oldAt_ == oldBytes_.size() && ::read(oldFile_, &extra, 1) == 0) {
            stopComparing();
            removeWritten();
            keptTarget_ = true;
            return true;
        }
        // The target is longer than what was written.
        if (!copyMatchedPrefix()) {
            removeWritten();
            return false;
        }
    }
#endif
    if (keepPermissions_) {
        file_.setPermissions(permissions_);
    }
    file_.close();
    if (file_.error() != QFileDevice::NoError) {
        fail(WithFallback(file_.errorString()));
        removeWritten();
        return false;
    }
    std::error_code error;
    std::filesystem::rename(NativePath(file_.fileName()), NativePath(target_), error);
    if (error) {
        fail(WithFallback(QString::fromLocal8Bit(error.message())));
        removeWritten();
        return false;
    }
    file_.setFileName(QString());
    return true;
}

namespace {

/// The entries of `folder` whose names end in the replacement suffix. A book
/// folder holds thousands of pages: on POSIX the names are read as bytes and
/// only a match becomes a path (a name filter costs far more per name).
QStringList LeftoverReplacementPaths(const QString& folder) {
    QStringList paths;
    const QString base = WithTrailingSeparator(folder);
#ifdef Q_OS_UNIX
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr) {
        return paths;
    }
    const QByteArray suffix = QFile::encodeName(kReplacementSuffix);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name.endsWith(suffix)) {
            paths.append(base + QFile::decodeName(name.toByteArray()));
        }
    }
    ::closedir(dir);
#else
    QDirIterator names(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (names.hasNext()) {
        const QString path = names.next();
        if (path.endsWith(kReplacementSuffix)) {
            paths.append(path);
        }
    }
#endif
    return paths;
}

}  // namespace

void RemoveLeftoverReplacements(const QString& folder, const std::function<bool(const QString& path)>& keep) {
    for (const QString& path : LeftoverReplacementPaths(folder)) {
        const QFileInfo entry(path);
        if (entry.isSymLink()) {
            QFile::remove(entry.filePath());
        } else if (!entry.isDir() && !keep(entry.filePath())) {
            QFile::remove(entry.filePath());
        }
    }
}

}  // namespace tessarel

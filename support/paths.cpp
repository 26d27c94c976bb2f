#include "support/paths.h"

#include "support/string_functions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace tessarel {

// The one place where Windows and POSIX paths differ.
#ifdef Q_OS_WIN
static constexpr char16_t kSeparator = u'\\';
#else
static constexpr char16_t kSeparator = u'/';
#endif

QChar PathSeparator() { return QChar(kSeparator); }

bool FileNamesIgnoreCase() {
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    return true;
#else
    return false;
#endif
}

QString NativeSeparators(const QString& path) {
#ifdef Q_OS_WIN
    return path;
#else
    QString result = path;
    result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return result;
#endif
}

QString DrivePart(const QString& path) {
#ifdef Q_OS_WIN
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : path.left(colon);
#else
    return path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
#endif
}

void StripDrive(QString& path) {
#ifdef Q_OS_WIN
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        path = path.mid(colon + 1);
    }
#else
    Q_UNUSED(path);
#endif
}

AppPaths AppPaths::forRunningProgram() {
    AppPaths paths;
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeFolder + QStringLiteral("/styles")).isDir()) {
        paths.programFolder = exeFolder;
    } else {
        paths.programFolder =
            QDir::cleanPath(exeFolder + QStringLiteral("/../") + QStringLiteral(TESSAREL_DATA_RELATIVE_DIR));
    }
    paths.programFolder = WithTrailingSeparator(QDir::toNativeSeparators(paths.programFolder));
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) {
        data = QDir::homePath();
    }
    data = QDir::toNativeSeparators(data + QStringLiteral("/Tessarel"));
    QDir().mkpath(data);
    paths.dataFolder = WithTrailingSeparator(data);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty()) {
        paths.cacheFolder = WithTrailingSeparator(QDir::toNativeSeparators(cache + QStringLiteral("/Tessarel")));
    }
    return paths;
}

QString FolderOf(const QString& path) {
    const QString trimmed = TrimSpaces(path);
    const qsizetype last = trimmed.lastIndexOf(PathSeparator());
    return last < 0 ? QString() : trimmed.left(last + 1);
}

QString FileNameOf(const QString& path) {
    const QString trimmed = TrimSpaces(path);
    const qsizetype last = trimmed.lastIndexOf(PathSeparator());
    return last < 0 ? trimmed : trimmed.mid(last + 1);
}

QString BaseNameOf(const QString& path) {
    const QString name = FileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.left(dot);
}

QString BaseNameInRange(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype separator = path.lastIndexOf(PathSeparator());
    if (dot <= 0 || dot < separator) {
        return {};
    }
    return path.mid(separator + 1, dot - separator - 1);
}

QString ExtensionOf(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : path.mid(dot + 1);
}

QString WithTrailingSeparator(const QString& folder) {
    if (folder.endsWith(PathSeparator())) {
        return folder;
    }
    return folder + PathSeparator();
}

QString ProgramFolderFile(const AppPaths& paths, const QString& name) {
    return WithTrailingSeparator(paths.programFolder) + name;
}

QString DataFolderFile(const AppPaths& paths, const QString& name) {
    return WithTrailingSeparator(paths.dataFolder) + name;
}

QString ResolveProjectPath(const QString& projectFolder, const QString& path) {
    const QString native = NativeSeparators(path);
    if (!DrivePart(native).isEmpty()) {
        return native;
    }
    return projectFolder + native;
}

QString AbsoluteFolder(const QString& folder) {
    if (folder.isEmpty()) {
        return {};
    }
    const QFileInfo info(folder);
    if (!info.isDir()) {
        return {};
    }
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QString() : WithTrailingSeparator(QDir::toNativeSeparators(canonical));
}

QString JoinFolderAndFile(const QString& folder, const QString& fileName) {
    QString joined = folder + PathSeparator() + fileName;
    const QString doubled = QString(2, PathSeparator());
    ReplaceAllFrom(2, joined, doubled, QString(PathSeparator()));
    return joined;
}

bool FileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    if (path.contains(QLatin1Char('*')) || path.contains(QLatin1Char('?'))) {
        const QFileInfo pattern(path);
        const QDir folder = pattern.dir();
        return !folder.entryList({pattern.fileName()}, QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot)
                    .isEmpty();
    }
    const QFileInfo info(path);
    return info.exists() && !info.isHidden();
}

bool IdentifyFile(const QString& path, FileIdentity& identity) {
#ifdef Q_OS_UNIX
    struct stat status {};
    if (path.isEmpty() || path.contains(QChar(u'\0')) || ::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return false;
    }
    identity = {static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino)};
    return true;
#else
    (void)path;
    (void)identity;
    return false;
#endif
}

}  // namespace tessarel

#include "app/dialogs/file_browsing.h"

#include "project/project_model.h"
#include "support/paths.h"
#include "support/relative_path.h"
#include "support/sort.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace tessarel {

namespace {

bool IsFilterCharacter(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char(';') || c == QLatin1Char('*') ||
           c == QLatin1Char('?') || c == QLatin1Char('_') || c == QLatin1Char('-');
}

/// Wildcard match of one mask, letter case ignored; "*" backtracks to the last star.
bool MatchesMask(const QString& name, const QString& mask) {
    qsizetype n = 0;
    qsizetype m = 0;
    qsizetype starMask = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == QLatin1Char('?') || mask[m].toCaseFolded() == name[n].toCaseFolded())) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            starMask = m++;
            starName = n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*')) {
        ++m;
    }
    return m == mask.size();
}

QString CleanNative(const QString& path) { return QDir::toNativeSeparators(QDir::cleanPath(path)); }

void SortByName(QStringList& names) { SortStrings(names, 0, names.size() - 1); }

}  // namespace

bool IsUsableFilter(const QString& pattern) {
    if (pattern.isEmpty()) {
        return false;
    }
    for (QChar c : pattern) {
        if (!IsFilterCharacter(c)) {
            return false;
        }
    }
    for (const QString& mask : pattern.split(QLatin1Char(';'))) {
        if (mask.isEmpty()) {
            return false;
        }
    }
    return true;
}

bool MatchesPattern(const QString& fileName, const QString& pattern) {
    for (const QString& mask : pattern.split(QLatin1Char(';'))) {
        // As on the system's file lists, "*.*" also lists names without a dot.
        if (mask == QStringLiteral("*.*") || (!mask.isEmpty() && MatchesMask(fileName, mask))) {
            return true;
        }
    }
    return false;
}

QStringList FilesMatching(const QString& folder, const QString& pattern) {
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (MatchesPattern(name, pattern)) {
            files << name;
        }
    }
    SortByName(files);
    return files;
}

QStringList SubFolders(const QString& folder) {
    const QDir dir(folder);
    QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    SortByName(names);
    QStringList paths;
    for (const QString& name : names) {
        paths << CleanNative(dir.absoluteFilePath(name));
    }
    return paths;
}

QStringList FolderChain(const QString& folder) {
    QStringList chain;
    QDir dir(folder);
    for (;;) {
        chain.prepend(CleanNative(dir.absolutePath()));
        if (dir.isRoot() || !dir.cdUp()) {
            break;
        }
    }
    return chain;
}

QString FolderCaption(const QString& folder) {
    if (QDir(folder).isRoot()) {
        return folder;
    }
    return QFileInfo(folder).fileName();
}

QString ExistingFolder(const QString& folder) {
    if (folder.isEmpty()) {
        return {};
    }
    const QFileInfo info(NativeSeparators(folder));
    if (!info.isDir()) {
        return {};
    }
    return CleanNative(info.absoluteFilePath());
}

QStringList VolumeRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // A file mounted on its own is no drive to browse.
        if (!volume.isValid() || !volume.isReady() || !QFileInfo(volume.rootPath()).isDir()) {
            continue;
        }
        const QString root = CleanNative(volume.rootPath());
        if (!roots.contains(root)) {
            roots << root;
        }
    }
    SortByName(roots);
    return roots;
}

QString VolumeContaining(const QString& folder, const QStringList& roots) {
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    QString best;
    for (const QString& root : roots) {
        const QString prefix = WithTrailingSeparator(root);
        const bool holds = folder.compare(root, cs) == 0 || folder.startsWith(prefix, cs);
        if (holds && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

QString ProjectRelativeFolder(const ProjectModel& project, const QString& folder) {
    // A root already ends in a separator; a second one would make a path the
    // relative-path rule cannot match against the project folder.
    return MakeRelativePath(project.ProjectFolder, WithTrailingSeparator(folder));
}

QString NearestExistingFolder(const QString& folder) {
    if (folder.trimmed().isEmpty()) {
        return {};
    }
    QString candidate = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    for (;;) {
        const QString existing = ExistingFolder(candidate);
        if (!existing.isEmpty()) {
            return existing;
        }
        const QString parent = QFileInfo(candidate).path();
        if (parent == candidate || parent == QStringLiteral(".")) {
            return {};
        }
        candidate = parent;
    }
}

QString DestinationFolderToShow(const ProjectModel& project) {
    const QString destination = ResolveProjectPath(project.ProjectFolder, project.settings.RelDestPath);
    // A relative path would be resolved against the working folder: only an
    // absolute one is a place to start from.
    if (QDir::isAbsolutePath(QDir::fromNativeSeparators(destination))) {
        const QString nearest = NearestExistingFolder(destination);
        if (!nearest.isEmpty()) {
            return nearest;
        }
    }
    return ExistingFolder(project.ProjectFolder);
}

}  // namespace tessarel

#include "book/project_sources.h"

#include "project/project_model.h"
#include "support/paths.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <algorithm>

namespace tessarel {

QString ChapterSourcePath(const ProjectModel& project, const Chapter& chapter) {
    QString folder = project.resolve(chapter.RelPath);
    if (!folder.isEmpty()) {
        folder = WithTrailingSeparator(folder);
    }
    return folder + chapter.Name;
}

ProjectSources::ProjectSources(const ProjectModel& project, int count) {
    auto add = [this](const QString& path) {
        // No file has a NUL in its name; Qt would only warn about it.
        if (path.contains(QChar(u'\0'))) {
            return;
        }
#ifdef Q_OS_UNIX
        // One status call per source tells both that it is a file and which one.
        struct stat status {};
        if (::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISDIR(status.st_mode)) {
            existing_.append(path);
            identities_.insert({static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino)});
        }
#else
        const QFileInfo info(path);
        if (info.exists() && !info.isDir()) {
            existing_.append(path);
            identified_ = false;
        }
#endif
    };
    add(project.ProjectPath);
    const int chapters = std::min(count, static_cast<int>(project.Chapters.size()));
    chapterPaths_.reserve(static_cast<size_t>(std::max(chapters, 0)));
    for (int i = 0; i < chapters; ++i) {
        chapterPaths_.push_back(ChapterSourcePath(project, project.Chapters[static_cast<size_t>(i)]));
        add(chapterPaths_.back());
    }
}

const QSet<QString>& ProjectSources::canonicalPaths() const {
    // Workers of a build ask at once; the paths are made by one of them.
    std::call_once(canonicalOnce_, [this] {
        for (const QString& source : existing_) {
            const QString canonical = QFileInfo(source).canonicalFilePath();
            if (!canonical.isEmpty()) {
                canonicalPaths_.insert(canonical);
            }
        }
    });
    return canonicalPaths_;
}

bool ProjectSources::contains(const QString& path) const {
    if (existing_.isEmpty()) {
        return false;
    }
    FileIdentity identity;
    if (identified_ && (!IdentifyFile(path, identity) || !identities_.contains({identity.device, identity.inode}))) {
        return false;
    }
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty() && canonicalPaths().contains(canonical);
}

}  // namespace tessarel

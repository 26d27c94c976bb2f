#pragma once

#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

#include <mutex>
#include <vector>

namespace tessarel {

struct Chapter;
struct ProjectModel;

/// The path a chapter's source is read from: its folder, resolved against the
/// project folder, and its name.
QString ChapterSourcePath(const ProjectModel& project, const Chapter& chapter);

/// The files a build must never replace: every existing source of the project
/// and the project file itself, compared by their canonical paths, so a file
/// reached through another folder name or a link is still known.
class ProjectSources {
public:
    /// The sources of chapters 0..count-1 of `project`.
    ProjectSources(const ProjectModel& project, int count);
    /// True when `path` names one of them (a link to one included).
    bool contains(const QString& path) const;
    /// ChapterSourcePath of chapter `i` (0..count-1), made once per build:
    /// the build asks for it several times per chapter.
    const QString& chapterPath(int i) const { return chapterPaths_[static_cast<size_t>(i)]; }

private:
    const QSet<QString>& canonicalPaths() const;

    std::vector<QString> chapterPaths_;
    QStringList existing_;  ///< the sources that are files, as the project names them
    /// Their canonical paths, made once a path's identity matches one (or an
    /// identity is unknown): most paths are told apart by identity alone.
    mutable std::once_flag canonicalOnce_;
    mutable QSet<QString> canonicalPaths_;
    /// The same files by identity: a path that is none of them needs no
    /// canonical path.
    QSet<QPair<quint64, quint64>> identities_;
    bool identified_ = true;  ///< every source's identity is known
};

}  // namespace tessarel

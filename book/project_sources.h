#pragma once

#include <QPair>
#include <QSet>
#include <QString>

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

private:
    QSet<QString> canonicalPaths_;
    /// The same files by identity: a path that is none of them needs no
    /// canonical path.
    QSet<QPair<quint64, quint64>> identities_;
    bool identified_ = true;  ///< every source's identity is known
};

}  // namespace tessarel

#pragma once

#include "support/settings.h"

#include <QString>

#include <vector>

namespace tessarel {

class UserInterface;

inline constexpr int kMaxChapters = 4000;

/// One source file of a project.
struct Chapter {
    QString Name;     ///< file name with extension, no folder
    QString RelPath;  ///< its folder relative to ProjectFolder (absolute on another drive)

    bool operator==(const Chapter&) const = default;
};

/// The one open project.
struct ProjectModel {
    QString ProjectPath;
    QString ProjectFolder;    ///< always ends with a separator
    QString ProjectFileName;  ///< with its ".qdx"
    /// The counted chapters, as many as the project file's <NumberOfChapters>
    /// (fewer when it lists fewer).
    std::vector<Chapter> Chapters;
    /// Chapter entries the project file lists beyond its <NumberOfChapters>:
    /// never built, and dropped by a save. 0 once the list is stored or saved.
    int UncountedChapters = 0;
    Settings settings;

    int chapterCount() const { return static_cast<int>(Chapters.size()); }
    /// A project is open when its file name is not blank.
    bool isOpen() const;
    /// A project-relative path made absolute against ProjectFolder.
    QString resolve(const QString& path) const;
    /// The absolute destination folder of the build.
    QString destinationFolder() const;
};

/// Resets identity, chapters and every setting the setting table resets to its
/// default; leaves the others alone.
void ClearProject(ProjectModel& project);

}  // namespace tessarel

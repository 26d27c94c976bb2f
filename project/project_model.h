#pragma once

#include "support/settings.h"

#include <QString>

#include <vector>

namespace tessarel {

class UserInterface;

inline constexpr int kMaxChapters = 4000;
inline constexpr int kChapterSlots = 4001;

/// One source file of a project.
struct Chapter {
    QString Name;             ///< file name with extension, no folder
    QString RelPath;          ///< its folder relative to ProjectFolder (absolute on another drive)
    QString ChapterTitle;     ///< set by the build
    bool Documented = false;  ///< set by the build
};

/// The one open project.
struct ProjectModel {
    QString ProjectPath;
    QString ProjectFolder;    ///< always ends with a separator
    QString ProjectFileName;  ///< with its ".qdx"
    std::vector<Chapter> Chapters = std::vector<Chapter>(kChapterSlots);
    int NumberOfChapters = 0;
    /// Chapter entries the project file lists beyond NumberOfChapters: never
    /// built, and dropped by a save. 0 once the list is stored or saved.
    int UncountedChapters = 0;
    Settings settings;
    int CurrentChapterIndex = 0;
    QString HomePage;

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

#pragma once

#include <QString>
#include <QStringList>

namespace tessarel {

struct ProjectModel;

/// A pattern the file list can use: one or more masks of letters, digits and
/// ". * ? _ -" separated by ";", none of them empty (so no leading, doubled or
/// final ";").
bool IsUsableFilter(const QString& pattern);
/// Whether a file name matches one of the pattern's masks, ignoring letter case.
/// "*" is any run of characters, "?" one character, and "*.*" matches every
/// name, with or without an extension.
bool MatchesPattern(const QString& fileName, const QString& pattern);

/// The visible files of a folder that match the pattern, sorted by name.
QStringList FilesMatching(const QString& folder, const QString& pattern);
/// The visible subfolders of a folder (full paths), sorted by name.
QStringList SubFolders(const QString& folder);
/// The folders from the root down to `folder` itself, each a full path.
QStringList FolderChain(const QString& folder);
/// The name a folder list shows for a folder: its last part, or the root itself.
QString FolderCaption(const QString& folder);
/// A folder's absolute, clean form without a final separator (except a root);
/// "" when it is not an existing folder.
QString ExistingFolder(const QString& folder);

/// The root paths of the mounted, ready volumes: the "drives" of the drive list.
QStringList VolumeRoots();
/// The volume among `roots` that holds `folder` (the longest root it starts
/// with); "" when none does.
QString VolumeContaining(const QString& folder, const QStringList& roots);

/// A chosen folder as the project stores it: relative to ProjectFolder, ending
/// in a separator; absolute when it lies on another drive.
QString ProjectRelativeFolder(const ProjectModel& project, const QString& folder);
/// The folder the destination dialog opens on: the destination (RelDestPath
/// when it has a drive, else the project folder followed by RelDestPath), or
/// its nearest existing parent, or the project folder; never the folder the
/// program was started from, which would make OK store a stray destination.
QString DestinationFolderToShow(const ProjectModel& project);
/// `folder` itself, or the nearest of its parents that exists; "" when none
/// does or the path is empty.
QString NearestExistingFolder(const QString& folder);

}  // namespace tessarel

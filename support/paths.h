#pragma once

#include <QChar>
#include <QString>

namespace tessarel {

/// The folders the program reads its shipped files from and writes its own
/// files to. Tests point both at temporary folders.
struct AppPaths {
    QString programFolder;  ///< styles/, intro.htm, help topics; ends with a separator
    QString dataFolder;     ///< fs.xml, error.log; ends with a separator
    /// The records of earlier builds, which may be lost at any time; ends with a
    /// separator. "" keeps no record: every build is a full one.
    QString cacheFolder = {};

    /// The folders of an installed or built program: the executable's folder when
    /// it holds "styles", else the installed share folder; the per-user data and
    /// cache folders (one "Tessarel" folder for the window and the console program).
    static AppPaths forRunningProgram();
};

// The separator is "\" on Windows and "/" elsewhere; on POSIX an absolute path
// plays the role of a path with a drive.

/// The platform's folder separator.
QChar PathSeparator();
/// True where the usual file systems take names that differ in letter case
/// only for one file (Windows, macOS); false on Linux and other systems.
bool FileNamesIgnoreCase();
/// "\" in a stored folder read as the platform separator.
QString NativeSeparators(const QString& path);

QString FolderOf(const QString& path);         ///< trimmed path up to and including its last separator
QString FileNameOf(const QString& path);       ///< trimmed path after its last separator
QString BaseNameOf(const QString& path);       ///< file name without extension; "" without a "."
QString BaseNameInRange(const QString& path);  ///< "" when the last "." is first or before the last separator
QString ExtensionOf(const QString& path);      ///< after the last "."; case kept; "" without a "."
/// Windows: the characters before the first ":". POSIX: "/" for an absolute path, else "".
QString DrivePart(const QString& path);
/// Windows: removes the drive and its ":". POSIX: leaves the path as it is.
void StripDrive(QString& path);
QString WithTrailingSeparator(const QString& folder);  ///< folder + separator unless it ends with one
QString ProgramFolderFile(const AppPaths& paths, const QString& name);
QString DataFolderFile(const AppPaths& paths, const QString& name);
/// The path unchanged when it has a drive (is absolute); else projectFolder + path.
QString ResolveProjectPath(const QString& projectFolder, const QString& path);
/// The canonical absolute form of an existing folder, ending with a separator; "" on error.
QString AbsoluteFolder(const QString& folder);
/// `folder` + separator + `fileName`, with doubled separators from the second
/// character on collapsed (a leading network "\\" stays).
QString JoinFolderAndFile(const QString& folder, const QString& fileName);

/// False for ""; true when a normal or read-only file or a folder exists there
/// (hidden entries do not count); a wildcard pattern counts when anything matches.
bool FileExists(const QString& path);

/// Which file a path names (links followed), to tell two files apart with one
/// system call where their canonical paths would take one per folder.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
/// False when the file cannot be looked at, or the platform has no such identity.
bool IdentifyFile(const QString& path, FileIdentity& identity);

}  // namespace tessarel

#pragma once

#include "support/file_stamp.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace tessarel {

struct AppPaths;
struct BookOutput;
struct ChapterPagePlan;
struct Settings;
struct Workspace;
class ProjectSources;

// Which files of a destination are Tessarel's: the one place the build, the
// removal of files a book no longer uses and the files dialog ask.

/// A file a project build wrote into its destination, as its record keeps it.
struct WrittenFile {
    FileStamp stamp;          ///< the file as the build left it
    bool sourceCopy = false;  ///< an HTML chapter taken as it is: the author's page, never removed

    bool operator==(const WrittenFile&) const = default;
};
/// The files this project's builds wrote into one destination, by their names below it.
using WrittenFiles = QHash<QString, WrittenFile>;

/// The name below the destination of a file of its "HTML Help" folder.
QString HelpFolderFileName(const QString& fileName);

/// The files the book writes besides its chapter pages, by their names below
/// the destination: those `settings` ask for or, without settings, every one
/// any settings make. `styleSheet` is the linked sheet's file name ("" for none).
QStringList BookFileNames(const Settings* settings, const QString& styleSheet);

/// Whether the contents of the file at `path` prove that Tessarel wrote it: a
/// page or site map with one of the generator lines among its first lines, a
/// help project or search index that opens with Tessarel's first lines, a
/// style sheet whose bytes are one of the program's style texts as a build
/// writes them or that opens as the program's sheets do (an earlier
/// version's text). A link, or anything but a regular file, is never proved so.
bool IsTessarelFile(const AppPaths& paths, const QString& path);

/// Whose the files of one destination are: Tessarel's are those the record of
/// this project's builds lists and that are still as written, and those whose
/// contents prove it.
class DestinationFiles {
public:
    /// Names in `recorded` that are not a plain name (or one of the help
    /// folder) are no file of the destination and are dropped.
    DestinationFiles(const AppPaths& paths, const QString& folder, const WrittenFiles& recorded);

    /// Whether the file `name` below the folder is one Tessarel wrote.
    bool isTessarels(const QString& name) const;
    /// The same, with a style sheet only when the record lists it unchanged
    /// or its bytes are a program style's: what a file must be to be removed.
    bool isSurelyTessarels(const QString& name) const;
    const WrittenFiles& recorded() const { return recorded_; }
    /// Whether the record lists `name` with a stamp, and the file (not a link) still has it.
    bool recordedUnchanged(const QString& name) const;

private:
    const AppPaths& paths_;
    QString folder_;
    WrittenFiles recorded_;
};

/// A file a project build writes, by its name below the destination.
struct PlannedFile {
    QString name;
    int chapter = -1;         ///< the chapter whose page it is; -1 for a file of the book
    bool sourceCopy = false;  ///< the place of an HTML chapter's copy
    QString source = {};      ///< the chapter's source
    /// The page's stamp where the build knows it (a chapter it recorded).
    FileStamp stamp = {};
};

/// Every file a build into `out` writes: the book's own files and the page of
/// each chapter `plan` gives one; a file that is a source is none of them.
std::vector<PlannedFile> PlannedFiles(const BookOutput& out, const std::vector<ChapterPagePlan>& plan,
                                      const ProjectSources& sources);

/// The planned files that are there and are not Tessarel's: what the build
/// would replace that it did not write. A copy of an HTML chapter whose bytes
/// are its source's already is the copy. The help folder is only looked into
/// when it is a folder, not a link.
std::vector<PlannedFile> ForeignFiles(const BookOutput& out, const std::vector<PlannedFile>& planned,
                                      const DestinationFiles& owner);

/// The names of the files a build of the open project would replace that
/// Tessarel did not write: what the window asks about before it builds.
QStringList FilesABuildWouldReplace(Workspace& ws);

/// Removes the files of the destination the book now written does not use
/// (`inUse`, by name), among those the record lists and the names the book
/// ever writes, when they are Tessarel's. Never a source, a link, a folder or
/// an HTML chapter taken as it is. Gives the names removed, in order.
QStringList RemoveUnusedFiles(const BookOutput& out, const ProjectSources& sources, const QSet<QString>& inUse,
                              const DestinationFiles& owner);

/// The record's files after a build: `written` with their stamps (those their
/// contents prove Tessarel's by name alone, unless the build knows their
/// stamp), then those of the last record the build neither wrote nor removed
/// that are still as they were written.
WrittenFiles FilesToRecord(const QString& folder, const std::vector<PlannedFile>& written, const WrittenFiles& recorded,
                           const QStringList& removed);

}  // namespace tessarel

#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include "support/file_read.h"

namespace tessarel {

struct Environment;
class UserInterface;

/// The help project's files in the help folder: the project, index and contents.
inline constexpr const char* kHelpProjectFiles[] = {"help.hhp", "index.hhk", "contents.hhc"};

/// A digest of everything a compile is given: the compiler (its path and
/// stamp), the build time, the compiled file's name, the project, contents and
/// index files, and every file of the book StageHelpProject stages: those in
/// `stampedPages` (names below the book's folder; a help project file as
/// HelpFolderFileName gives it) by name and stamp, the others by their bytes.
/// "" when no compiler is found.
QByteArray HelpCompileInputs(const Environment& env, const QString& helpFolder, const QString& compiledName,
                             const QSet<QString>& stampedPages, qint64 largestFile = kMaxReadBytes);

enum class Staging { Staged, Failed, Cancelled };

/// Copies the book beside `helpFolder` and the help project, contents and
/// index into `stagingFolder`, with the topics' "..\\" dropped. Of the book,
/// only the regular files at its top up to `largestFile` bytes: never a link
/// (it may lead anywhere, to a pipe or a device too), an old compiled file or
/// a build's own file; nothing is waited on. Failed when a project file could
/// not be read or a copy written; Cancelled as soon as the user cancels.
Staging StageHelpProject(UserInterface& ui, const QString& helpFolder, const QString& stagingFolder,
                         qint64 largestFile = kMaxReadBytes);

}  // namespace tessarel

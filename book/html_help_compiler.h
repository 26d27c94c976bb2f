#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <chrono>

#include "support/file_read.h"
#include "support/program_run.h"

namespace tessarel {

struct Environment;
class UserInterface;

/// The HTML Help compiler's program file on this platform.
QString HtmlHelpCompilerName();

/// How long the compiler may run: a base, plus an allowance for every page and
/// every megabyte it compiles, so a big book is not cut short and a hung
/// compiler does not hold the build forever.
struct CompilerTimeLimit {
    std::chrono::milliseconds base = std::chrono::seconds(60);
    std::chrono::milliseconds perPage = std::chrono::milliseconds(100);
    std::chrono::milliseconds perMegabyte = std::chrono::seconds(5);
    /// Between asking the compiler's processes to end and forcing them.
    std::chrono::milliseconds grace = std::chrono::seconds(2);

    std::chrono::milliseconds forBook(qint64 pages, qint64 bytes) const;
};

/// What the compiler is given: the pages "help.hhp" lists and their size.
struct HelpBookSize {
    qint64 pages = 0;
    qint64 pageBytes = 0;
};

struct CompileOutcome {
    bool compilerMissing = false;
    ProgramRun run;         ///< end NotStarted when it was not run; Cancelled also before it ran
    bool compiled = false;  ///< it succeeded and wrote the compiled file anew
    QString compiledFile;   ///< "help.hhp"'s compiled file in the help folder
    /// Not run: the compiled file of the last build was made from the same inputs.
    bool unchanged = false;
};

/// Runs the compiler on "help.hhp" in `helpFolder` (the destination's "HTML
/// Help") and waits for it within the time limit for the book; the user's
/// cancel ends it, or the staging before it. It compiles a staging copy whose
/// topics lie beside the project files, so the compiled file stores every page
/// once at a plain path; book files over `largestFile` bytes are left out. Does
/// nothing unless the project, contents and index files are all there. A
/// missing compiler is explained to the user, with the help topic on how to
/// install one.
CompileOutcome CompileHtmlHelp(Environment& env, const QString& helpFolder, const QString& compiledName,
                               const HelpBookSize& book, const CompilerTimeLimit& limit,
                               qint64 largestFile = kMaxReadBytes);

/// A digest of everything a compile is given: the compiler (its path and
/// stamp), the build time, the compiled file's name, the project, contents and
/// index files, and every file of the book StageHelpProject stages: those in
/// `stampedPages` by name and stamp, the others by their bytes. "" when no
/// compiler is found.
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

/// Sets the two time stamps the compiler writes into a compiled help file to
/// `secondsSinceEpoch`, so a rebuild gives the same bytes. False when the file
/// is not a compiled help file this understands; it is then left as it was.
bool SetCompiledHelpStamps(const QString& compiledFile, qint64 secondsSinceEpoch);

/// The lines of the compiler's output that report an error or a warning.
struct CompilerMessages {
    int errors = 0;
    int warnings = 0;
};
CompilerMessages CountCompilerMessages(const QByteArray& output);
/// The build log's reason for a compile that gave a compiled file (or, when
/// `unchanged`, for the file of the last compile, which stands), naming the
/// errors and warnings the compiler reported.
QString CompiledHelpReason(const CompilerMessages& messages, bool unchanged = false);

/// The build log's reason for a compile that did not give a compiled file.
QString CompileFailureReason(const CompileOutcome& outcome);

}  // namespace tessarel

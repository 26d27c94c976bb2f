#pragma once

#include <QString>
#include <chrono>

#include "support/file_read.h"
#include "support/program_run.h"

namespace tessarel {

struct Environment;

/// The HTML Help compiler's program file on this platform.
QString HtmlHelpCompilerName();

/// The compiler in the folder of the preference "htmlHelpCompilerPath", else on
/// the PATH; "" when there is none.
QString FindHtmlHelpCompiler(const Environment& env);

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
    /// The help topic on installing a compiler, when it is missing: the front
    /// end shows it once the build is over.
    QString helpTopic;
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
/// missing compiler is explained to the user, and the outcome names the help
/// topic on how to install one.
CompileOutcome CompileHtmlHelp(Environment& env, const QString& helpFolder, const QString& compiledName,
                               const HelpBookSize& book, const CompilerTimeLimit& limit,
                               qint64 largestFile = kMaxReadBytes);

}  // namespace tessarel

#pragma once

#include <QString>
#include <QStringList>

#include "cli/exit_status.h"

namespace tessarel {
struct Environment;
}

namespace tessarel::cli {

class ConsoleUserInterface;

/// How the command line asks for projects to be built.
struct ProjectOptions {
    int workers = 0;       ///< chapters built at once; 0 the default
    bool rebuild = false;  ///< every chapter, not only the changed ones
};

/// How building one file of the command line went.
struct TargetBuild {
    ExitStatus status = ExitStatus::Success;
    /// One line on the outcome: "ok", "failed", or a project's counts.
    QString outcome;
};

/// Builds a source file or, for the extension "qdx", a project. A run-time
/// error is logged and reported as in the window, which ends the program.
/// `quiet` leaves out the lines that say where the pages went.
TargetBuild BuildTarget(Environment& env, ConsoleUserInterface& ui, const QString& file, bool quiet,
                        const ProjectOptions& options = {});

/// The files a build of `file` reads, absolute: a source file itself, or a
/// project file and the sources of the chapters it lists now. Says nothing:
/// the build that follows tells of a project it cannot read.
QStringList TargetInputs(const QString& file);

}  // namespace tessarel::cli

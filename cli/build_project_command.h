#pragma once

#include <QString>

#include "book/project_build.h"
#include "cli/exit_status.h"

namespace tessarel {
struct Environment;
struct Workspace;
}  // namespace tessarel

namespace tessarel::cli {

class ConsoleUserInterface;

/// `tessarel-cli PROJECT.qdx`: loads the project and builds its book, then
/// waits for the HTML Help compiler and says where everything went.
class BuildProjectCommand {
public:
    /// `workers`: chapters built at once (Workspace::buildWorkers; 0 the default).
    BuildProjectCommand(Environment& env, ConsoleUserInterface& ui, int workers = 0,
                        const ProjectBuildOptions& options = {})
        : env_(env), ui_(ui), workers_(workers), options_(options) {}
    ExitStatus run(const QString& path);

    /// Leaves out the lines naming the destination, the book and the summary.
    bool quiet = false;
    /// Set by run(): how many files were processed, built and failed.
    QString summary;

private:
    /// Reports the compile step; false when HTML Help was asked for and not made.
    bool reportHelpCompiler(const Workspace& workspace, const ProjectBuildResult& result);

    Environment& env_;
    ConsoleUserInterface& ui_;
    int workers_;
    const ProjectBuildOptions options_;
};

}  // namespace tessarel::cli

#pragma once

#include <QString>

#include "cli/exit_status.h"

namespace tessarel {
struct Environment;
struct ProjectBuildResult;
struct Workspace;
}  // namespace tessarel

namespace tessarel::cli {

class ConsoleUserInterface;

/// `tessarel-cli PROJECT.qdx`: loads the project and builds its book, then
/// waits for the HTML Help compiler and says where everything went.
class BuildProjectCommand {
public:
    BuildProjectCommand(Environment& env, ConsoleUserInterface& ui) : env_(env), ui_(ui) {}
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
};

}  // namespace tessarel::cli

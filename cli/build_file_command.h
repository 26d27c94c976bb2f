#pragma once

#include <QString>

#include "cli/exit_status.h"

namespace tessarel {
struct Environment;
}

namespace tessarel::cli {

class ConsoleUserInterface;

/// `tessarel-cli FILE`: builds one source file as opening it in the main window
/// does (no project open, single-file settings and comment styles from the
/// preferences) and names the page it wrote.
class BuildFileCommand {
public:
    BuildFileCommand(Environment& env, ConsoleUserInterface& ui) : env_(env), ui_(ui) {}
    ExitStatus run(const QString& path);

    /// Leaves out the line naming the page written.
    bool quiet = false;

private:
    Environment& env_;
    ConsoleUserInterface& ui_;
};

}  // namespace tessarel::cli

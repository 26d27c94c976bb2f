#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "book/source_watcher.h"
#include "cli/build_target.h"
#include "cli/exit_status.h"

namespace tessarel {
struct Environment;
}

namespace tessarel::cli {

class ConsoleUserInterface;

/// `tessarel-cli --watch FILE...`: builds every file once, then rebuilds a
/// file or project whenever one of the files it reads changes, one line per
/// rebuild, until Ctrl+C or SIGTERM. A project is read again at each rebuild,
/// so the chapters watched follow its file.
class WatchCommand {
public:
    /// `options.rebuild` applies to the first build only.
    WatchCommand(Environment& env, ConsoleUserInterface& ui, const ProjectOptions& options)
        : env_(env), ui_(ui), options_(options) {}
    ExitStatus run(const QStringList& files);

private:
    struct Target {
        QString file;        ///< as given on the command line
        QStringList inputs;  ///< absolute paths of what its next build reads
    };

    void rebuild(const QStringList& changed);
    /// Watches what `target` reads now, before it is built, so that no save
    /// during the build goes unseen.
    void watchInputsOf(Target& target);
    QStringList allInputs() const;

    Environment& env_;
    ConsoleUserInterface& ui_;
    ProjectOptions options_;
    std::vector<Target> targets_;
    SourceWatcher watcher_;
};

}  // namespace tessarel::cli

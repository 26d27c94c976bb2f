#pragma once

#include <QString>
#include <QStringList>
#include <vector>

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

    /// The line that tells of a rebuild: the time, what was rebuilt, the
    /// files that changed (or were removed) and the outcome.
    static QString RebuildLine(const QString& time, const QString& target, const QStringList& changed,
                               const QStringList& removed, const QString& outcome);

private:
    struct Target {
        QString file;        ///< as given on the command line
        QStringList inputs;  ///< absolute paths of what its last build read
    };

    void rebuild(const QStringList& changed);
    QStringList allInputs() const;

    Environment& env_;
    ConsoleUserInterface& ui_;
    ProjectOptions options_;
    std::vector<Target> targets_;
    ExitStatus status_ = ExitStatus::Success;
};

}  // namespace tessarel::cli

#include "cli/build_target.h"

#include <QFileInfo>
#include <exception>

#include "cli/build_file_command.h"
#include "cli/build_project_command.h"
#include "cli/console_user_interface.h"
#include "support/error_report.h"
#include "support/error_sites.h"
#include "support/paths.h"

namespace tessarel::cli {

TargetBuild BuildTarget(Environment& env, ConsoleUserInterface& ui, const QString& file, bool quiet,
                        const ProjectOptions& options) {
    // The window's rule: the extension "qdx", exactly, opens a project.
    const bool project = ExtensionOf(file) == QStringLiteral("qdx");
    TargetBuild build;
    build.inputs << QFileInfo(file).absoluteFilePath();
    try {
        if (project) {
            BuildProjectCommand command(env, ui, options.workers, ProjectBuildOptions{.rebuild = options.rebuild});
            command.quiet = quiet;
            build.status = command.run(file);
            if (!command.sources.isEmpty()) {
                build.inputs << command.sources;
            }
            build.outcome = command.summary;
        } else {
            BuildFileCommand command(env, ui);
            command.quiet = quiet;
            build.status = command.run(file);
        }
    } catch (const std::exception& error) {
        // As in the window: logged to error.log, reported, and the program ends.
        ReportError(env, project ? error_sites::kBuildProject : error_sites::kBuildSingleFile,
                    error_sites::kConsoleModule, QStringLiteral("0"), QString::fromLocal8Bit(error.what()));
        build.status = ExitStatus::BuildFailed;
    }
    if (build.outcome.isEmpty()) {
        build.outcome = build.status == ExitStatus::Success ? QStringLiteral("ok") : QStringLiteral("failed");
    }
    return build;
}

}  // namespace tessarel::cli

#include "cli/build_target.h"

#include <QFileInfo>
#include <algorithm>
#include <exception>

#include "book/project_sources.h"

#include "cli/build_file_command.h"
#include "cli/build_project_command.h"
#include "cli/console_user_interface.h"
#include "project/project_file.h"
#include "project/project_model.h"
#include "support/error_report.h"
#include "support/error_sites.h"
#include "support/paths.h"
#include "support/quiet_user_interface.h"

namespace tessarel::cli {

TargetBuild BuildTarget(Environment& env, ConsoleUserInterface& ui, const QString& file, bool quiet,
                        const ProjectOptions& options) {
    // The window's rule: the extension "qdx", exactly, opens a project.
    const bool project = ExtensionOf(file) == QStringLiteral("qdx");
    TargetBuild build;
    try {
        if (project) {
            BuildProjectCommand command(env, ui, options.workers, ProjectBuildOptions{.rebuild = options.rebuild});
            command.quiet = quiet;
            build.status = command.run(file);
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
        ui.requestQuit();
        build.status = ExitStatus::BuildFailed;
    }
    if (build.outcome.isEmpty()) {
        build.outcome = build.status == ExitStatus::Success ? QStringLiteral("ok") : QStringLiteral("failed");
    }
    return build;
}

QStringList TargetInputs(const QString& file) {
    const QString absolute = QFileInfo(file).absoluteFilePath();
    QStringList inputs{absolute};
    if (ExtensionOf(file) != QStringLiteral("qdx")) {
        return inputs;
    }
    QuietUserInterface quiet;
    ProjectModel project;
    if (LoadProject(quiet, project, absolute) == LoadOutcome::Loaded) {
        for (const Chapter& chapter : project.Chapters) {
            inputs << ChapterSourcePath(project, chapter);
        }
    }
    return inputs;
}

}  // namespace tessarel::cli

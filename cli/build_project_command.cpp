#include "cli/build_project_command.h"

#include <QFileInfo>

#include "book/project_build.h"
#include "book/workspace.h"
#include "cli/console_user_interface.h"
#include "cli/interrupt.h"
#include "project/project_file.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/preferences.h"

namespace tessarel::cli {

ExitStatus BuildProjectCommand::run(const QString& path) {
    const QString projectPath = QFileInfo(path).absoluteFilePath();
    if (!FileExists(projectPath)) {
        ui_.message(QStringLiteral("Project not found"), QStringLiteral("Project does not exist."),
                    MessageIcon::Exclamation, MessageButtons::Ok);
        ui_.console().err(QStringLiteral("  ") + projectPath);
        return ExitStatus::Usage;
    }

    // As at start-up: the single-file settings seed the model, and the project
    // file overrides what it holds.
    Workspace workspace(env_);
    workspace.buildWorkers = workers_;
    LoadSingleFileSettings(env_.preferences, false, workspace.project.settings);
    if (LoadProject(ui_, workspace.project, projectPath) != LoadOutcome::Loaded) {
        ui_.console().err(QStringLiteral("Could not read the project ") + projectPath);
        return ExitStatus::Usage;
    }

    const int failedBefore = ui_.failedRows();
    const ProjectBuildResult result = BuildProject(workspace, options_);
    if (result.critical) {
        ui_.requestQuit();
    }
    // Another build holds the destination: its message has been printed, and
    // this one wrote nothing to sum up.
    if (!result.started || result.destinationBusy) {
        return ExitStatus::BuildFailed;
    }

    // Every FAIL row counts, a chapter's or the book's own (the help compile,
    // a book file that would replace a source).
    const int failed = ui_.failedRows() - failedBefore;
    const int built = result.chaptersProcessed - result.chaptersFailed;
    summary = QString::number(result.chaptersProcessed) + QStringLiteral(" of ") +
              QString::number(result.chaptersTotal) +
              (result.chaptersTotal == 1 ? QStringLiteral(" file") : QStringLiteral(" files")) +
              QStringLiteral(" processed: ") + QString::number(built) + QStringLiteral(" built, ") +
              QString::number(failed) + QStringLiteral(" failed");
    if (result.sourceKept) {
        summary += QStringLiteral(", nothing written: a book file would replace a source");
    }
    if (result.filesKept > 0) {
        summary += QStringLiteral(", ") + QString::number(result.filesKept) +
                   (result.filesKept == 1 ? QStringLiteral(" book file") : QStringLiteral(" book files")) +
                   QStringLiteral(" kept");
    }
    if (result.helpFailed) {
        summary += result.compile.compiled ? QStringLiteral(", the help compiler reported errors")
                                           : QStringLiteral(", HTML Help not compiled");
    }
    if (result.critical) {
        summary += QStringLiteral(", stopped by a critical error");
    } else if (result.cancelled) {
        summary += QStringLiteral(", build interrupted");
    }
    if (!quiet) {
        ui_.console().out(summary + QLatin1Char('.'));
        ui_.console().out(QStringLiteral("Pages: ") + OneLine(workspace.project.destinationFolder()));
        if (!result.indexPage.isEmpty() && FileExists(result.indexPage)) {
            ui_.console().out(QStringLiteral("Book: ") + OneLine(result.indexPage));
        }
    }
    if (result.destinationUnwritable) {
        ui_.console().err(QStringLiteral("The destination folder could not be written."));
    }

    const bool helpOk = reportHelpCompiler(workspace, result);
    if (result.critical) {
        return ExitStatus::BuildFailed;
    }
    if (Interrupted() || result.cancelled) {
        return InterruptedStatus();
    }
    const bool ok = helpOk && failed == 0 && result.filesKept == 0 && !result.destinationUnwritable &&
                    !result.sourceKept && !ui_.quitRequested();
    return ok ? ExitStatus::Success : ExitStatus::BuildFailed;
}

bool BuildProjectCommand::reportHelpCompiler(const Workspace& workspace, const ProjectBuildResult& result) {
    if (!workspace.project.settings.GenerateHtmlHelpFiles) {
        return true;
    }
    const CompileOutcome& compile = result.compile;
    if (compile.compilerMissing) {
        // The build has already said so in its own message; the topic tells how to install one.
        ui_.showHelpTopic(compile.helpTopic);
        return false;
    }
    if (compile.compiled) {
        if (!quiet) {
            ui_.console().out(QStringLiteral("Compiled help: ") + compile.compiledFile);
        }
        // Written despite errors: its links may lead nowhere.
        return !result.helpFailed;
    }
    // The log row says how it ended; the compiler's own words say why.
    const QString said = QString::fromLocal8Bit(compile.run.output).trimmed();
    if (!said.isEmpty()) {
        ui_.console().err(said);
    }
    ui_.console().err(QStringLiteral("The HTML Help project was not compiled."));
    return false;
}

}  // namespace tessarel::cli

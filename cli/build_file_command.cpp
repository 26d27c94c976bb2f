#include "cli/build_file_command.h"

#include <QFileInfo>

#include "book/workspace.h"
#include "cli/console_user_interface.h"
#include "pages/single_file_build.h"
#include "pages/style.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/preferences.h"

namespace tessarel::cli {

ExitStatus BuildFileCommand::run(const QString& path) {
    // The window is handed absolute paths by its file dialog; so is the build here.
    const QString sourcePath = QFileInfo(path).absoluteFilePath();
    if (!FileExists(sourcePath)) {
        ui_.message(QStringLiteral("File not found"), QStringLiteral("File does not exist."), MessageIcon::Exclamation,
                    MessageButtons::Ok);
        ui_.console().err(QStringLiteral("  ") + sourcePath);
        return ExitStatus::BuildFailed;
    }

    // Single-file mode: the settings of the project model come from the stored
    // preferences, as at start-up.
    Workspace workspace(env_);
    Settings& settings = workspace.project.settings;
    LoadSingleFileSettings(env_.preferences, false, settings);
    const PageStyle style = ResolvePageStyle(env_.paths, settings, false);

    ui_.setProgressCaption(FileNameOf(sourcePath));
    const SingleFileResult result =
        BuildSingleFile(env_, {workspace.document, workspace.page}, {sourcePath, settings, style, BuildTimestamp()});

    // What the window's browser would show: the chapter page, the error page,
    // or an HTML source itself. A file that was not read has said why in its
    // message, and an old page is not its result; a page that would have
    // replaced the source was not written, and what stands there is the user's.
    if (result.critical) {
        ui_.requestQuit();
    }
    if (!quiet && !result.pageToShow.isEmpty() && FileExists(result.pageToShow)) {
        ui_.console().out(QStringLiteral("Page: ") + OneLine(result.pageToShow));
    }
    return result.readable() && result.success() ? ExitStatus::Success : ExitStatus::BuildFailed;
}

}  // namespace tessarel::cli

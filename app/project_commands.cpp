// The project lifecycle of the main window: new, open, save, save as, close and
// exit, and the one save question that guards every command that could lose
// changes.
#include "app/handler_guard.h"
#include "app/main_commands.h"
#include "app/main_window_state.h"
#include "book/workspace.h"
#include "project/project_file.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/relative_path.h"
#include "support/string_functions.h"

namespace tessarel {

namespace {
const QString kModule = QStringLiteral("frmMain");
const QString kAlreadyCreated = QStringLiteral("Project already created. Please use a different name.");
}  // namespace

bool MainCommands::projectModified() { return IsProjectModified(workspace_.env.ui, workspace_.project); }

bool MainCommands::SaveQuestionAllowsGoingOn() {
    return !(projectModified() && DoYouWantToSave() == SaveAnswer::Cancel);
}

SaveAnswer MainCommands::DoYouWantToSave() {
    SaveAnswer result = SaveAnswer::Nothing;
    RunReported(workspace_.env, kModule, QStringLiteral("DoYouWantToSave"), [&] {
        if (!projectOpen()) {
            return;
        }
        const MessageAnswer answer =
            workspace_.env.ui.message(QStringLiteral("Save Project"), QStringLiteral("Save project?"),
                                      MessageIcon::None, MessageButtons::YesNoCancel);
        if (answer == MessageAnswer::Yes) {
            mnuSaveProject_Click();
            CloseProject();
        } else if (answer == MessageAnswer::No) {
            CloseProject();
        } else {
            result = SaveAnswer::Cancel;
        }
    });
    return result;
}

void MainCommands::CloseProject() {
    RunReported(workspace_.env, kModule, QStringLiteral("CloseProject"), [&] {
        Workspace& ws = workspace_;
        commands.setEnabled(Command::NewProject, true);
        commands.setEnabled(Command::FileOpen, true);
        SetCommands({Command::CloseProject, Command::SaveProject, Command::SaveProjectAs, Command::ViewHTMLHelp,
                     Command::ViewBrowser, Command::AddFiles, Command::DestPath, Command::GenDoc, Command::HomeChapter},
                    false);
        view_.processEvents();
        ws.env.ui.navigate(IntroPage());

        ws.document.clearSource();
        Settings& settings = ws.project.settings;
        settings.IndexTitle.clear();
        settings.IndexText.clear();
        settings.Style.clear();
        settings.Overview = ChapterOverview::None;
        ShowStylePreference();

        ClearProject(ws.project);
        ws.destinationFolder.clear();
        ShowDocumentName(QString());
        LoadSingleFileSettings(ws.env.preferences, ws.project.isOpen(), settings);
    });
}

void MainCommands::OpenProject(const QString& path) {
    UserInterface& ui = workspace_.env.ui;
    if (!FileExists(path)) {
        ui.message(QStringLiteral("Project not found"), QStringLiteral("Project does not exist."),
                   MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    CloseProject();
    const LoadOutcome outcome = LoadProject(ui, workspace_.project, path);
    view_.processEvents();
    if (outcome != LoadOutcome::Loaded) {
        // The reader has told why; a refused file leaves no project open.
        ClearProject(workspace_.project);
        ShowDocumentName(QString());
        return;
    }
    ShowProjectLoaded();
    RememberFile(path);
    if (projectOpen() && FileExists(BookIndexPath())) {
        ui.navigate(BookIndexPath());
    }
}

void MainCommands::mnuNewProject_Click() {
    RunIgnoringErrors([&] {
        if (!SaveQuestionAllowsGoingOn()) {
            return;
        }
        const QString path = fileDialogs_.saveFileName(QStringLiteral("New Project"), ProjectFileFilter());
        if (path.isEmpty()) {
            return;
        }
        UserInterface& ui = workspace_.env.ui;
        if (FileExists(path)) {
            ui.message(QStringLiteral("New Project"), kAlreadyCreated, MessageIcon::None, MessageButtons::Ok);
            return;
        }
        CloseProject();
        ProjectModel& project = workspace_.project;
        project.ProjectPath = path;
        project.ProjectFileName = FileNameOf(path);
        project.ProjectFolder = FolderOf(path);
        project.settings.RelDestPath.clear();

        ShowProjectLoaded();
        SaveProject(ui, project, project.ProjectPath);
        RememberFile(path);

        for (ProjectDialog dialog : {ProjectDialog::AddFiles, ProjectDialog::DestPath, ProjectDialog::Settings,
                                     ProjectDialog::DefaultPage, ProjectDialog::Comments}) {
            if (!ShowProjectDialog(dialog)) {
                return;
            }
            if (dialog == ProjectDialog::AddFiles) {
                RefreshMenuState();
            } else if (dialog == ProjectDialog::Settings) {
                view_.setStatusPanel(1, project.settings.Style);
            }
        }
        SaveProject(ui, project, project.ProjectPath);
        if (ui.message(QStringLiteral("Build Project"), QStringLiteral("Build Project?"), MessageIcon::None,
                       MessageButtons::YesNo) == MessageAnswer::Yes) {
            BuildProject();
        }
    });
}

void MainCommands::mnuFileOpen_Click() {
    RunIgnoringErrors([&] {
        if (projectOpen() && !SaveQuestionAllowsGoingOn()) {
            return;
        }
        const QString path = fileDialogs_.openFileName(QStringLiteral("Open"), OpenFileFilter());
        if (path.isEmpty()) {
            return;
        }
        OpenFile(path);
    });
}

void MainCommands::mnuCloseProject_Click() {
    RunReported(workspace_.env, kModule, QStringLiteral("mnuCloseProject_Click"), [&] {
        if (!SaveQuestionAllowsGoingOn()) {
            return;
        }
        CloseProject();
    });
}

void MainCommands::mnuSaveProject_Click() {
    RunIgnoringErrors([&] { SaveProject(workspace_.env.ui, workspace_.project, workspace_.project.ProjectPath); });
}

void MainCommands::SaveToolbar_Click() {
    if (projectOpen()) {
        mnuSaveProject_Click();
    }
}

void MainCommands::mnuSaveProjectAs_Click() {
    RunIgnoringErrors([&] {
        UserInterface& ui = workspace_.env.ui;
        QString path;
        for (;;) {
            path = fileDialogs_.saveFileName(QStringLiteral("Save Project As"), ProjectFileFilter());
            if (path.isEmpty()) {
                return;
            }
            if (!FileExists(path)) {
                break;
            }
            ui.message(QStringLiteral("Save As"), kAlreadyCreated, MessageIcon::None, MessageButtons::Ok);
        }

        // Every project-relative path is resolved against the old folder and
        // made relative to the new one, so it still names the same folder.
        ProjectModel& project = workspace_.project;
        const QString newFolder = FolderOf(path);
        auto rebase = [&](const QString& relative) {
            return MakeRelativePath(newFolder, WithTrailingSeparator(project.resolve(relative)));
        };
        project.settings.RelDestPath = rebase(project.settings.RelDestPath);
        for (int i = 0; i < project.NumberOfChapters; ++i) {
            Chapter& chapter = project.Chapters[static_cast<size_t>(i)];
            chapter.RelPath = rebase(chapter.RelPath);
        }

        project.ProjectFileName = FileNameOf(path);
        project.ProjectFolder = newFolder;
        project.ProjectPath = path;
        SaveProject(ui, project, project.ProjectPath);
        ShowDocumentName(project.ProjectPath);
        RememberFile(path);
    });
}

void MainCommands::mnuFileExit_Click() {
    RunReported(workspace_.env, kModule, QStringLiteral("mnuFileExit_Click"), [&] {
        if (!SaveQuestionAllowsGoingOn()) {
            return;
        }
        view_.unloadMainWindow();
    });
}

void MainCommands::mnuPast_Click(int index) {
    if (index < 0 || index >= recent.RecentCount) {
        return;
    }
    if (!SaveQuestionAllowsGoingOn()) {
        return;
    }
    // Copied: opening the file reorders the list.
    const QString path = recent.slot(index);
    if (!path.isEmpty()) {
        OpenFile(path);
    }
}

}  // namespace tessarel

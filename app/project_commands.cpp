// The project lifecycle of the main window: new, open, save, save as, close and
// exit, and the one save question that guards every command that could lose
// changes.
#include "app/front_end.h"
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
const QString kAlreadyCreated = QStringLiteral("Project already created. Please use a different name.");
}  // namespace

bool MainCommands::projectModified() { return IsProjectModified(workspace_.project, front_.fileProgress()); }

bool MainCommands::saveQuestionAllowsGoingOn() { return !(projectModified() && askToSave() == SaveAnswer::Cancel); }

QString SaveQuestionText(const ProjectModel& project) {
    const QString name = BaseNameOf(project.ProjectPath);
    return name.isEmpty() ? QStringLiteral("Save project?")
                          : QStringLiteral("Save project \"") + name + QStringLiteral("\"?");
}

MessageAnswer MainCommands::saveQuestion() {
    return workspace_.env.ui.message(QStringLiteral("Save Project"), SaveQuestionText(workspace_.project),
                                     MessageIcon::Question, MessageButtons::YesNoCancel);
}

SaveAnswer MainCommands::askToSave() {
    SaveAnswer result = SaveAnswer::Nothing;
    RunReported(workspace_.env, front_, sites::kAskToSave, [&] {
        if (!projectOpen()) {
            return;
        }
        const MessageAnswer answer = saveQuestion();
        if (answer == MessageAnswer::Yes) {
            saveProject();
            unloadProject();
        } else if (answer == MessageAnswer::No) {
            unloadProject();
        } else {
            result = SaveAnswer::Cancel;
        }
    });
    return result;
}

void MainCommands::unloadProject() { closeDocument(true); }

void MainCommands::closeDocument(bool showIntroPage) {
    RunReported(workspace_.env, front_, sites::kUnloadProject, [&] {
        Workspace& ws = workspace_;
        commands.setEnabled(Command::NewProject, true);
        commands.setEnabled(Command::Open, true);
        setCommands({Command::CloseProject, Command::SaveProject, Command::SaveProjectAs, Command::ViewHtmlHelp,
                     Command::ViewBook, Command::Files, Command::Destination, Command::Build, Command::DefaultChapter},
                    false);
        view_.processEvents();
        if (showIntroPage) {
            front_.navigate(introPage());
        }

        ws.document.clearSource();
        ws.singleFilePage.clear();
        Settings& settings = ws.project.settings;
        settings.IndexTitle.clear();
        settings.IndexText.clear();
        settings.Style.clear();
        settings.Overview = ChapterOverview::None;
        showStylePreference();

        ClearProject(ws.project);
        showDocumentName(QString());
        LoadSingleFileSettings(ws.env.preferences, ws.project.isOpen(), settings);
    });
}

void MainCommands::openProject(const QString& path) {
    UserInterface& ui = workspace_.env.ui;
    if (!FileExists(path)) {
        ui.message(QStringLiteral("Project not found"), QStringLiteral("Project does not exist.") + kCrLf + path,
                   MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    // The page shown so far stays until the project's own replaces it.
    closeDocument(false);
    const LoadOutcome outcome = LoadProject(ui, workspace_.project, path, front_.fileProgress());
    view_.processEvents();
    if (outcome != LoadOutcome::Loaded) {
        // The reader has told why; a refused file leaves no project open.
        ClearProject(workspace_.project);
        showDocumentName(QString());
        front_.navigate(introPage());
        return;
    }
    showProjectLoaded();
    rememberFile(path);
    showProjectHome();
}

QString UnbuiltProjectPage(const ProjectModel& project) {
    auto escaped = [](const QString& text) { return text.toHtmlEscaped(); };
    const int chapters = project.chapterCount();
    const QString chapterText =
        chapters == 1 ? QStringLiteral("1 chapter") : QString::number(chapters) + QStringLiteral(" chapters");
    const QString destination = project.destinationFolder();
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>") + escaped(BaseNameOf(project.ProjectPath)) +
           QStringLiteral("</title></head><body style=\"font-family: sans-serif; margin: 2em\"><h1>") +
           escaped(BaseNameOf(project.ProjectPath)) + QStringLiteral("</h1><p>Project file: ") +
           escaped(project.ProjectPath) + QStringLiteral("</p><p>") + chapterText +
           QStringLiteral("; the book goes to ") + escaped(destination) +
           QStringLiteral(
               "</p><p>The book has not been built yet. Choose <b>Project &gt; Build Documentation</b> or "
               "the Build button to build it; add chapters with <b>Project &gt; Add Files</b>.</p>"
               "</body></html>");
}

void MainCommands::showProjectHome() {
    if (!projectOpen()) {
        return;
    }
    if (FileExists(bookIndexPath())) {
        front_.navigate(bookIndexPath());
    } else {
        view_.showPage(UnbuiltProjectPage(workspace_.project));
    }
}

void MainCommands::newProject() {
    RunIgnoringErrors([&] {
        if (!saveQuestionAllowsGoingOn()) {
            return;
        }
        const QString path = fileDialogs_.saveFileName(QStringLiteral("New Project"), ProjectFileFilter());
        if (path.isEmpty()) {
            return;
        }
        UserInterface& ui = workspace_.env.ui;
        if (FileExists(path)) {
            ui.message(QStringLiteral("New Project"), kAlreadyCreated, MessageIcon::Exclamation, MessageButtons::Ok);
            return;
        }
        unloadProject();
        ProjectModel& project = workspace_.project;
        project.ProjectPath = path;
        project.ProjectFileName = FileNameOf(path);
        project.ProjectFolder = FolderOf(path);
        // The book goes to a folder of its own: beside the sources it would meet the user's files.
        project.settings.RelDestPath = QStringLiteral("book") + PathSeparator();
        // New books get a search page; older project files keep theirs without.
        project.settings.IncludeSearch = true;
        // And the modern layout; older project files keep the frames.
        project.settings.ModernLayout = true;

        showProjectLoaded();
        SaveProject(ui, project, project.ProjectPath, front_.fileProgress());
        rememberFile(path);

        for (ProjectDialog dialog : {ProjectDialog::Files, ProjectDialog::Destination, ProjectDialog::Settings,
                                     ProjectDialog::DefaultChapter, ProjectDialog::CommentStyles}) {
            if (!showProjectDialog(dialog)) {
                return;
            }
            if (dialog == ProjectDialog::Files) {
                refreshMenuState();
            } else if (dialog == ProjectDialog::Settings) {
                view_.setStatusPanel(1, project.settings.Style);
            }
        }
        SaveProject(ui, project, project.ProjectPath, front_.fileProgress());
        if (ui.message(QStringLiteral("Build Project"), QStringLiteral("Build Project?"), MessageIcon::Question,
                       MessageButtons::YesNo) == MessageAnswer::Yes) {
            buildProject();
        }
    });
}

void MainCommands::openFile() {
    RunIgnoringErrors([&] {
        if (projectOpen() && !saveQuestionAllowsGoingOn()) {
            return;
        }
        const QString path = fileDialogs_.openFileName(QStringLiteral("Open"), OpenFileFilter());
        if (path.isEmpty()) {
            return;
        }
        openPath(path);
    });
}

void MainCommands::closeProject() {
    RunReported(workspace_.env, front_, sites::kCloseProject, [&] {
        if (!saveQuestionAllowsGoingOn()) {
            return;
        }
        unloadProject();
    });
}

void MainCommands::saveProject() {
    RunIgnoringErrors([&] {
        SaveProject(workspace_.env.ui, workspace_.project, workspace_.project.ProjectPath, front_.fileProgress());
    });
}

void MainCommands::saveFromToolbar() {
    if (projectOpen()) {
        saveProject();
    }
}

void MainCommands::saveProjectAs() {
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
            ui.message(QStringLiteral("Save As"), kAlreadyCreated, MessageIcon::Exclamation, MessageButtons::Ok);
        }

        // Every project-relative path is resolved against the old folder and
        // made relative to the new one, so it still names the same folder.
        ProjectModel& project = workspace_.project;
        const QString newFolder = FolderOf(path);
        auto rebase = [&](const QString& relative) {
            return MakeRelativePath(newFolder, WithTrailingSeparator(project.resolve(relative)));
        };
        project.settings.RelDestPath = rebase(project.settings.RelDestPath);
        for (Chapter& chapter : project.Chapters) {
            chapter.RelPath = rebase(chapter.RelPath);
        }

        project.ProjectFileName = FileNameOf(path);
        project.ProjectFolder = newFolder;
        project.ProjectPath = path;
        SaveProject(ui, project, project.ProjectPath, front_.fileProgress());
        showDocumentName(project.ProjectPath);
        rememberFile(path);
    });
}

bool MainCommands::mayQuit() {
    bool goOn = true;
    RunReported(workspace_.env, front_, sites::kAskToSave, [&] {
        if (!projectOpen() || !projectModified()) {
            return;
        }
        // Unlike the other commands' question, No and Yes leave the project
        // open: the program ends anyway.
        const MessageAnswer answer = saveQuestion();
        if (answer == MessageAnswer::Yes) {
            saveProject();
        }
        goOn = answer != MessageAnswer::Cancel;
    });
    return goOn;
}

void MainCommands::exit() {
    RunReported(workspace_.env, front_, sites::kExit, [&] {
        if (mayQuit()) {
            view_.unloadMainWindow();
        }
    });
}

void MainCommands::openRecentFile(int index) {
    if (index < 0 || index >= recent.RecentCount) {
        return;
    }
    if (!saveQuestionAllowsGoingOn()) {
        return;
    }
    // Copied: opening the file reorders the list.
    const QString path = recent.slot(index);
    if (!path.isEmpty()) {
        openPath(path);
    }
}

}  // namespace tessarel

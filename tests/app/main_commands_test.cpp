#include "app/main_commands.h"
#include "app/main_window_state.h"
#include "app_testing.h"
#include "book/workspace.h"
#include "project/project_file.h"
#include "support/file_functions.h"
#include "support/preferences.h"
#include "support/testing.h"

#include <QDir>
#include <algorithm>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace tessarel {
namespace {

using testing::RecordingView;

class MainCommandsTest : public ::testing::Test {
protected:
    testing::TestEnvironment te;
    testing::RecordingUserInterface& ui = te.ui;
    Workspace ws{*te.env};
    MainWindowState state;
    RecordingView view;
    MainCommands commands{ws, state, view, view};

    QString write(const QString& relative, const QString& text) {
        testing::WriteBytes(te.path(relative), text.toUtf8());
        return te.path(relative);
    }

    /// A saved project beside its source files "src/a.c" and "src/b.c".
    QString writeProject(const QString& relative = QStringLiteral("proj/p.qdx"), int files = 2) {
        ProjectModel model;
        model.ProjectPath = te.path(relative);
        model.ProjectFolder = FolderOf(model.ProjectPath);
        model.ProjectFileName = FileNameOf(model.ProjectPath);
        model.settings.RelDestPath = QStringLiteral("out/");
        for (int i = 0; i < files; ++i) {
            const QString name = i == 0 ? QStringLiteral("a.c") : QStringLiteral("b.c");
            model.Chapters[static_cast<size_t>(i)] = Chapter{name, QStringLiteral("src/"), {}, false};
        }
        model.NumberOfChapters = files;
        QDir().mkpath(model.ProjectFolder);
        for (int i = 0; i < files; ++i) {
            testing::WriteBytes(model.ProjectFolder + QStringLiteral("src/") + model.Chapters[static_cast<size_t>(i)].Name,
                                testing::DocumentedSource(QStringLiteral("Part%1").arg(i)).toUtf8());
        }
        testing::RecordingUserInterface quiet;
        SaveProject(quiet, model, model.ProjectPath);
        return model.ProjectPath;
    }

    void openProject(const QString& path) {
        commands.OpenFile(path);
        ASSERT_TRUE(ws.project.isOpen());
        ui.messages.clear();
    }

    /// Changes a setting so the model differs from the file.
    void modify() { ws.project.settings.IndexTitle = QStringLiteral("changed"); }

    bool enabled(Command command) const { return commands.commands.isEnabled(command); }
};

/// Log lines of chapters (the side pages log theirs with a leading ">").
int ChapterLines(const testing::RecordingUserInterface& ui) {
    return static_cast<int>(std::count_if(ui.log.begin(), ui.log.end(), [](const auto& line) {
        return !line.reason.startsWith(QLatin1Char('>'));
    }));
}

const std::vector<Command> kProjectCommands{Command::CloseProject, Command::SaveProject, Command::SaveProjectAs,
                                            Command::AddFiles,     Command::DestPath,    Command::ViewHTMLHelp,
                                            Command::ViewBrowser};

TEST_F(MainCommandsTest, commandsOfTheFreshWindow) {
    for (Command on : {Command::NewProject, Command::FileOpen, Command::FileExit, Command::Settings, Command::Comments,
                       Command::ReferenceManual, Command::Web, Command::HelpAbout}) {
        EXPECT_TRUE(enabled(on)) << static_cast<int>(on);
    }
    for (Command off : kProjectCommands) {
        EXPECT_FALSE(enabled(off)) << static_cast<int>(off);
    }
    EXPECT_FALSE(enabled(Command::HomeChapter));
    EXPECT_FALSE(enabled(Command::GenDoc));
}

TEST_F(MainCommandsTest, captionAndDocumentPanel) {
    const std::vector<std::pair<QString, QString>> cases{
        {QString(), QString()},
        {QStringLiteral("/work/p.qdx"), QStringLiteral("p")},
        {QStringLiteral("/work/README"), QStringLiteral("/work/README")},
        {QStringLiteral("/work/main.c"), QStringLiteral("main.c")},
        {QStringLiteral("/work/notes.QDX"), QStringLiteral("notes.QDX")},
    };
    for (const auto& [path, name] : cases) {
        commands.ShowDocumentName(path);
        EXPECT_EQ(view.caption, name.isEmpty() ? QStringLiteral("Tessarel") : name + QStringLiteral(" - Tessarel"));
        EXPECT_EQ(view.panel2, QStringLiteral("   ") + name);
    }
}

TEST_F(MainCommandsTest, openingASourceFileBuildsItAndEnablesItsCommands) {
    const QString source = write(QStringLiteral("src/main.c"), testing::DocumentedSource(QStringLiteral("Main")));
    commands.OpenFile(source);
    EXPECT_FALSE(ws.project.isOpen());
    EXPECT_EQ(ws.document.SourceFilePath, source);
    EXPECT_TRUE(enabled(Command::GenDoc));
    EXPECT_TRUE(enabled(Command::ViewBrowser));
    EXPECT_FALSE(enabled(Command::CloseProject));
    EXPECT_EQ(view.caption, QStringLiteral("main.c - Tessarel"));
    EXPECT_EQ(commands.recent.slot(0), source);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.log[0].reason, QStringLiteral("Sections OK"));
    EXPECT_TRUE(FileExists(ws.document.ChapterPagePath));
    EXPECT_EQ(ui.navigations.back(), ws.document.ChapterPagePath);
}

TEST_F(MainCommandsTest, onlyALowerCaseQdxIsAProject) {
    const QString notes = write(QStringLiteral("notes.QDX"), testing::DocumentedSource(QStringLiteral("Notes")));
    commands.OpenFile(notes);
    EXPECT_FALSE(ws.project.isOpen());
    EXPECT_EQ(ws.document.SourceFilePath, notes);
    EXPECT_EQ(view.caption, QStringLiteral("notes.QDX - Tessarel"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MainCommandsTest, missingFilesAreToldAndChangeNothing) {
    commands.OpenFile(te.path(QStringLiteral("gone.c")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("File not found"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("File does not exist."));
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(enabled(Command::GenDoc));

    const QString project = writeProject();
    openProject(project);
    const int refreshes = view.recentRefreshes;
    commands.OpenFile(te.path(QStringLiteral("gone.qdx")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Project not found"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Project does not exist."));
    EXPECT_EQ(ws.project.ProjectPath, project);
    EXPECT_TRUE(enabled(Command::CloseProject));
    EXPECT_EQ(view.recentRefreshes, refreshes);
    EXPECT_EQ(commands.recent.slot(0), project);
}

TEST_F(MainCommandsTest, openingAProjectEnablesItsCommands) {
    ws.env.preferences.WritePreference(prefs::kSingleFile, prefs::kStyle, QStringLiteral("plain"));
    openProject(writeProject());
    for (Command on : kProjectCommands) {
        EXPECT_TRUE(enabled(on)) << static_cast<int>(on);
    }
    EXPECT_TRUE(enabled(Command::GenDoc));
    EXPECT_TRUE(enabled(Command::HomeChapter));
    EXPECT_EQ(view.caption, QStringLiteral("p - Tessarel"));
    EXPECT_EQ(view.panel1, ws.project.settings.Style);

    // Closing brings back the single-file settings of the store.
    commands.mnuCloseProject_Click();
    EXPECT_FALSE(ws.project.isOpen());
    for (Command off : kProjectCommands) {
        EXPECT_FALSE(enabled(off)) << static_cast<int>(off);
    }
    EXPECT_FALSE(enabled(Command::GenDoc));
    EXPECT_EQ(ws.project.settings.Style, QStringLiteral("plain"));
    EXPECT_EQ(view.panel1, QStringLiteral("plain"));
    EXPECT_EQ(view.caption, QStringLiteral("Tessarel"));
    EXPECT_EQ(ui.navigations.back(), commands.IntroPage());
}

TEST_F(MainCommandsTest, buildCommandsFollowTheNumberOfFiles) {
    openProject(writeProject(QStringLiteral("proj/empty.qdx"), 0));
    EXPECT_FALSE(enabled(Command::GenDoc));
    EXPECT_FALSE(enabled(Command::HomeChapter));
    ws.project.NumberOfChapters = 1;
    commands.RefreshMenuState();
    EXPECT_TRUE(enabled(Command::GenDoc));
    EXPECT_TRUE(enabled(Command::HomeChapter));
}

TEST_F(MainCommandsTest, aRunningBuildAndTheBusyWindowLockCommands) {
    openProject(writeProject());
    commands.setBuilding(true);
    for (Command locked : {Command::NewProject, Command::FileOpen, Command::SaveProject, Command::SaveProjectAs,
                           Command::ViewHTMLHelp, Command::ViewBrowser, Command::AddFiles, Command::DestPath,
                           Command::GenDoc, Command::HomeChapter, Command::CloseProject, Command::Settings,
                           Command::Comments, Command::FileExit}) {
        EXPECT_FALSE(enabled(locked)) << static_cast<int>(locked);
    }
    EXPECT_TRUE(enabled(Command::HelpAbout));
    EXPECT_FALSE(commands.commands.recentEnabled());
    for (int position = 1; position <= 14; ++position) {
        EXPECT_FALSE(commands.commands.toolbarEnabled(position));
    }
    commands.setBuilding(false);
    EXPECT_TRUE(enabled(Command::GenDoc));
    EXPECT_TRUE(enabled(Command::SaveProject));

    commands.setBusy(true);
    EXPECT_FALSE(commands.commands.menuEnabled(Menu::File));
    EXPECT_FALSE(commands.commands.menuEnabled(Menu::Project));
    EXPECT_FALSE(commands.commands.menuEnabled(Menu::Help));
    EXPECT_TRUE(commands.commands.menuEnabled(Menu::Preview));
    EXPECT_FALSE(commands.commands.toolbarEnabled(13));
    EXPECT_TRUE(commands.commands.toolbarEnabled(14));
    commands.setBusy(false);
    EXPECT_TRUE(commands.commands.menuEnabled(Menu::File));
    EXPECT_TRUE(commands.commands.toolbarEnabled(1));
}

TEST_F(MainCommandsTest, theSaveQuestionGuardsEveryCommandThatMayLoseChanges) {
    const QString project = writeProject();
    const QByteArray saved = testing::ReadBytes(project);
    const QString other = write(QStringLiteral("other.c"), testing::DocumentedSource(QStringLiteral("Other")));
    commands.RememberFile(other);
    openProject(project);  // now slot 0 is the project, slot 1 other.c

    // Cancel leaves the project open and unchanged, and the command stops.
    const std::vector<std::function<void()>> guarded{
        [&] { commands.mnuNewProject_Click(); },   [&] { commands.mnuFileOpen_Click(); },
        [&] { commands.mnuCloseProject_Click(); }, [&] { commands.mnuFileExit_Click(); },
        [&] { commands.mnuPast_Click(1); },
    };
    for (const auto& command : guarded) {
        modify();
        ui.messages.clear();
        ui.answers = {MessageAnswer::Cancel};
        command();
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, QStringLiteral("Save Project"));
        EXPECT_EQ(ui.messages[0].text, QStringLiteral("Save project?"));
        EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::None);
        EXPECT_TRUE(ws.project.isOpen());
        EXPECT_EQ(ws.project.settings.IndexTitle, QStringLiteral("changed"));
    }
    EXPECT_TRUE(view.fileDialogTitles.isEmpty());
    EXPECT_EQ(view.unloads, 0);
    EXPECT_EQ(testing::ReadBytes(project), saved);

    // No closes without saving.
    ui.answers = {MessageAnswer::No};
    commands.mnuCloseProject_Click();
    EXPECT_FALSE(ws.project.isOpen());
    EXPECT_EQ(testing::ReadBytes(project), saved);

    // Yes saves, then closes.
    openProject(project);
    modify();
    ui.answers = {MessageAnswer::Yes};
    commands.mnuCloseProject_Click();
    EXPECT_FALSE(ws.project.isOpen());
    EXPECT_NE(testing::ReadBytes(project), saved);
    EXPECT_TRUE(testing::ReadBytes(project).contains("<IndexTitle>changed</IndexTitle>"));
}

TEST_F(MainCommandsTest, anUnmodifiedProjectIsNotQuestioned) {
    openProject(writeProject());
    commands.mnuFileExit_Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(view.unloads, 1);
}

TEST_F(MainCommandsTest, aRecentEntryOpensItsFile) {
    const QString one = write(QStringLiteral("one.c"), testing::DocumentedSource(QStringLiteral("One")));
    const QString two = write(QStringLiteral("two.c"), testing::DocumentedSource(QStringLiteral("Two")));
    commands.OpenFile(one);
    commands.OpenFile(two);
    commands.mnuPast_Click(1);
    EXPECT_EQ(ws.document.SourceFilePath, one);
    EXPECT_EQ(commands.recent.RecentFiles.mid(0, 2), (QStringList{one, two}));
    EXPECT_EQ(ws.env.preferences.ReadPreference(prefs::kGeneral, QStringLiteral("h0"), QString()), one);
}

TEST_F(MainCommandsTest, newProjectOnAnExistingNameChangesNothing) {
    const QString project = writeProject();
    openProject(project);
    view.fileAnswers = {project};
    commands.mnuNewProject_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("New Project"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Project already created. Please use a different name."));
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(ws.project.ProjectPath, project);
    EXPECT_TRUE(view.dialogsShown.empty());
}

TEST_F(MainCommandsTest, newProjectLeadsThroughTheDialogsAndAsksToBuild) {
    QDir().mkpath(te.path(QStringLiteral("fresh")));
    const QString path = te.path(QStringLiteral("fresh/book.qdx"));
    view.fileAnswers = {path};
    ui.answers = {MessageAnswer::No};
    commands.mnuNewProject_Click();
    EXPECT_EQ(view.fileDialogTitles, QStringList{QStringLiteral("New Project")});
    EXPECT_EQ(view.dialogsShown, (std::vector<ProjectDialog>{ProjectDialog::AddFiles, ProjectDialog::DestPath,
                                                             ProjectDialog::Settings, ProjectDialog::DefaultPage,
                                                             ProjectDialog::Comments}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Build Project"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Build Project?"));
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ws.project.ProjectFileName, QStringLiteral("book.qdx"));
    EXPECT_EQ(ws.project.ProjectFolder, te.path(QStringLiteral("fresh/")));
    EXPECT_EQ(commands.recent.slot(0), path);
    EXPECT_EQ(view.caption, QStringLiteral("book - Tessarel"));
    EXPECT_FALSE(state.mbDialogCancel);
}

TEST_F(MainCommandsTest, newProjectStopsAtACancelledDialog) {
    QDir().mkpath(te.path(QStringLiteral("fresh")));
    view.fileAnswers = {te.path(QStringLiteral("fresh/book.qdx"))};
    view.dialogAnswers = {true, false};
    commands.mnuNewProject_Click();
    EXPECT_EQ(view.dialogsShown,
              (std::vector<ProjectDialog>{ProjectDialog::AddFiles, ProjectDialog::DestPath}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(state.mbDialogCancel);
    EXPECT_TRUE(ws.project.isOpen());

    // Cancel in the file dialog ends the command before anything changes.
    view.dialogsShown.clear();
    commands.mnuNewProject_Click();
    EXPECT_TRUE(view.dialogsShown.empty());
    EXPECT_EQ(ws.project.ProjectFileName, QStringLiteral("book.qdx"));
}

TEST_F(MainCommandsTest, saveAsRebasesEveryRelativePath) {
    const QString project = writeProject();
    const QByteArray original = testing::ReadBytes(project);
    openProject(project);
    const QString sourceFolder = ws.project.resolve(ws.project.Chapters[0].RelPath);
    const QString destination = ws.project.destinationFolder();
    QDir().mkpath(te.path(QStringLiteral("elsewhere/deeper")));
    const QString target = te.path(QStringLiteral("elsewhere/deeper/copy.qdx"));

    // An existing name is refused and the dialog asked again.
    view.fileAnswers = {project, target};
    commands.mnuSaveProjectAs_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Save As"));
    EXPECT_EQ(view.fileDialogTitles,
              (QStringList{QStringLiteral("Save Project As"), QStringLiteral("Save Project As")}));

    EXPECT_EQ(ws.project.ProjectPath, target);
    EXPECT_EQ(ws.project.ProjectFolder, te.path(QStringLiteral("elsewhere/deeper/")));
    EXPECT_EQ(QDir::cleanPath(ws.project.resolve(ws.project.Chapters[0].RelPath)), QDir::cleanPath(sourceFolder));
    EXPECT_EQ(QDir::cleanPath(ws.project.resolve(ws.project.Chapters[1].RelPath)), QDir::cleanPath(sourceFolder));
    EXPECT_EQ(QDir::cleanPath(ws.project.destinationFolder()), QDir::cleanPath(destination));
    EXPECT_TRUE(ws.project.Chapters[0].RelPath.startsWith(QStringLiteral("..")));
    EXPECT_TRUE(FileExists(target));
    EXPECT_EQ(testing::ReadBytes(project), original);
    EXPECT_EQ(view.caption, QStringLiteral("copy - Tessarel"));
    EXPECT_EQ(commands.recent.slot(0), target);
}

TEST_F(MainCommandsTest, previewCommandsTellWhatIsMissing) {
    commands.mnuViewBrowser_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("HTML document not found."));
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("File not found"));

    commands.Home_Click();
    EXPECT_EQ(ui.navigations.back(), commands.IntroPage());
    EXPECT_EQ(view.browserStops, 1);

    openProject(writeProject());
    commands.mnuViewBrowser_Click();
    EXPECT_EQ(ui.messages.back().text, QStringLiteral("This project has not been built."));
    EXPECT_EQ(ui.messages.back().title, QStringLiteral("HTML Help not found"));
    commands.mnuViewHTMLHelp_Click();
    EXPECT_EQ(ui.messages.back().text, QStringLiteral("HTML Help has not been built for this project."));
    EXPECT_EQ(ui.messages.back().title, QStringLiteral("HTML Help Not Found"));
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Information);
}

TEST_F(MainCommandsTest, buildingAProjectShowsTheBookAndOpensItWithX) {
    const QString project = writeProject();
    commands.commandLine.ParseCommandLine(QStringLiteral("p.qdx -b -x -e"));
    commands.OpenFile(project);
    EXPECT_EQ(ui.buildsStarted, 1);
    EXPECT_EQ(ChapterLines(ui), 2);
    EXPECT_TRUE(FileExists(commands.BookIndexPath()));
    EXPECT_EQ(ui.navigations.back(), commands.BookIndexPath());
    EXPECT_EQ(ui.shellOpens, QStringList{commands.BookIndexPath()});
    EXPECT_EQ(view.unloads, 1);
    // The options act once.
    EXPECT_FALSE(commands.commandLine.IsOptionPresent(QStringLiteral("b")));

    commands.Home_Click();
    EXPECT_EQ(ui.navigations.back(), commands.BookIndexPath());
    commands.mnuViewBrowser_Click();
    EXPECT_EQ(ui.shellOpens.back(), commands.BookIndexPath());
}

TEST_F(MainCommandsTest, cancelStopsTheBuildAtTheNextFile) {
    openProject(writeProject());
    ui.onCaption = [&](const QString& caption) {
        if (caption.startsWith(QStringLiteral("b.c"))) {
            ui.cancel = true;
        }
    };
    commands.BuildDocumentation();
    EXPECT_EQ(ChapterLines(ui), 1);
    EXPECT_EQ(ui.captions.back(), QStringLiteral("1 files processed."));
    EXPECT_FALSE(ui.cancel);
}

TEST_F(MainCommandsTest, theWalkThroughIsShownOnTheFirstStartOnly) {
    commands.FirstRunWalkThrough();
    ASSERT_EQ(ui.helpTopics.size(), 1);
    EXPECT_EQ(ui.helpTopics[0], te.programFolder() + QStringLiteral("help.chm::/walk.txt.htm"));
    EXPECT_EQ(ws.env.preferences.ReadPreference(prefs::kGeneral, prefs::kFirst, QString()), QStringLiteral("no"));
    commands.FirstRunWalkThrough();
    EXPECT_EQ(ui.helpTopics.size(), 1);

    ws.env.preferences.WritePreference(prefs::kGeneral, prefs::kFirst, QStringLiteral("Yes"));
    commands.FirstRunWalkThrough();
    EXPECT_EQ(ui.helpTopics.size(), 1);
}

TEST_F(MainCommandsTest, theCommandLineNamesTheFileOfTheStartUpTimer) {
    auto stay = [](const QString& folder) { return folder; };
    EXPECT_FALSE(commands.TakeCommandLine(QStringLiteral("   "), QStringLiteral("/home/u"), stay));
    EXPECT_TRUE(commands.TakeCommandLine(QStringLiteral("main.c -x -e"), QStringLiteral("/home/u"), stay));
    EXPECT_EQ(commands.CommandLinePath, QStringLiteral("/home/u/main.c"));
    EXPECT_TRUE(commands.commandLine.IsOptionPresent(QStringLiteral("e")));

    // A file that does not exist is told, and "e" still ends the program.
    commands.tmrLoad_Timer();
    EXPECT_EQ(ui.messages.back().text, QStringLiteral("File does not exist."));
    EXPECT_EQ(view.unloads, 1);
    EXPECT_EQ(commands.commandLine.ParameterCount, 0);
}

}  // namespace
}  // namespace tessarel

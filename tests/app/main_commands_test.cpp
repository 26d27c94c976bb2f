#include "app/main_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>

#include <sys/stat.h>

#include "app/main_window_state.h"
#include "app_testing.h"
#include "book/workspace.h"
#include "project/project_file.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

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
    MainCommands commands{ws, state, view, view, view};

    QString write(const QString& relative, const QString& text) {
        testing::WriteBytes(te.path(relative), text.toUtf8());
        return te.path(relative);
    }

    /// A saved project beside its documented source files "src/f0.c" and "src/f1.c".
    QString writeProject(const QString& relative = u"proj/p.qdx"_s, int files = 2) {
        return testing::SaveTestProject(te, relative, files);
    }

    /// The only message so far, with its title, text and buttons.
    void expectMessage(const QString& title, const QString& text, MessageButtons buttons = MessageButtons::Ok) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, title);
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].buttons, buttons);
    }

    void openProject(const QString& path) {
        commands.openPath(path);
        ASSERT_TRUE(ws.project.isOpen());
        ui.messages.clear();
    }

    /// Changes a setting so the model differs from the file.
    void modify() { ws.project.settings.IndexTitle = u"changed"_s; }

    bool enabled(Command command) const { return commands.commands.isEnabled(command); }
};

/// Log lines of chapters (the side pages log theirs with a leading ">").
int ChapterLines(const testing::RecordingUserInterface& ui) {
    return static_cast<int>(std::count_if(ui.log.begin(), ui.log.end(),
                                          [](const auto& line) { return !line.reason.startsWith(QLatin1Char('>')); }));
}

const std::vector<Command> kProjectCommands{Command::CloseProject, Command::SaveProject, Command::SaveProjectAs,
                                            Command::Files,        Command::Destination, Command::ViewHtmlHelp,
                                            Command::ViewBook};

TEST_F(MainCommandsTest, captionAndDocumentPanel) {
    const std::vector<std::pair<QString, QString>> cases{
        {QString(), QString()},
        {u"/work/p.qdx"_s, u"p"_s},
        {u"/work/README"_s, u"/work/README"_s},
        {u"/work/main.c"_s, u"main.c"_s},
        {u"/work/notes.QDX"_s, u"notes.QDX"_s},
    };
    for (const auto& [path, name] : cases) {
        commands.showDocumentName(path);
        EXPECT_EQ(view.caption, name.isEmpty() ? u"Tessarel"_s : name + u" - Tessarel"_s);
        EXPECT_EQ(view.panel2, u"   "_s + name);
    }
}

TEST_F(MainCommandsTest, openingASourceFileBuildsItAndEnablesItsCommands) {
    // Only a lower-case ".qdx" is a project.
    for (const QString& name : {u"main.c"_s, u"notes.QDX"_s}) {
        SCOPED_TRACE(name.toStdString());
        ui.log.clear();
        const QString source = write(u"src/"_s + name, testing::DocumentedSource(u"Main"_s));
        commands.openPath(source);
        EXPECT_FALSE(ws.project.isOpen());
        EXPECT_EQ(ws.document.SourceFilePath, source);
        EXPECT_TRUE(enabled(Command::Build));
        EXPECT_TRUE(enabled(Command::ViewBook));
        EXPECT_FALSE(enabled(Command::CloseProject));
        EXPECT_EQ(view.caption, name + u" - Tessarel"_s);
        EXPECT_EQ(commands.recent.slot(0), source);
        ASSERT_EQ(ui.log.size(), 1u);
        EXPECT_EQ(ui.log[0].reason, u"Sections OK"_s);
        EXPECT_TRUE(FileExists(ws.singleFilePage));
        EXPECT_EQ(view.navigations.back(), ws.singleFilePage);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(MainCommandsTest, missingFilesAreToldAndChangeNothing) {
    // Each message names the file it looked for.
    commands.openPath(te.path(u"gone.c"_s));
    expectMessage(u"File not found"_s, u"File does not exist.\r\n"_s + te.path(u"gone.c"_s));
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(enabled(Command::Build));

    const QString project = writeProject();
    openProject(project);
    const int refreshes = view.recentRefreshes;
    commands.openPath(te.path(u"gone.qdx"_s));
    expectMessage(u"Project not found"_s, u"Project does not exist.\r\n"_s + te.path(u"gone.qdx"_s));
    EXPECT_EQ(ws.project.ProjectPath, project);
    EXPECT_TRUE(enabled(Command::CloseProject));
    EXPECT_EQ(view.recentRefreshes, refreshes);
    EXPECT_EQ(commands.recent.slot(0), project);
}

TEST_F(MainCommandsTest, anOpenedProjectShowsItsBookOrHowToBuildIt) {
    const QString project = writeProject(u"proj/a&b.qdx"_s, 3);
    openProject(project);
    // Not built: a page that names it, counts its chapters and shows where the book goes.
    ASSERT_EQ(view.pages.size(), 1);
    const QString page = view.pages.back();
    EXPECT_TRUE(page.contains(u"<h1>a&amp;b</h1>"_s)) << page.toStdString();
    EXPECT_TRUE(page.contains(u"3 chapters"_s));
    EXPECT_TRUE(page.contains(ws.project.destinationFolder().toHtmlEscaped()));
    EXPECT_TRUE(page.contains(u"Build Documentation"_s));
    // Nothing else came before it, not even the start page.
    EXPECT_TRUE(view.navigations.empty());
    // Home does the same while the book is missing.
    commands.goHome();
    EXPECT_EQ(view.pages.size(), 2);

    // Built: its start page.
    commands.buildProject();
    ASSERT_TRUE(FileExists(commands.bookIndexPath()));
    commands.closeProject();
    openProject(project);
    EXPECT_EQ(view.navigations.back(), commands.bookIndexPath());
    EXPECT_EQ(view.pages.size(), 2);

    ws.project.Chapters.resize(1);
    EXPECT_TRUE(UnbuiltProjectPage(ws.project).contains(u"1 chapter;"_s));
}

TEST_F(MainCommandsTest, newSettingsReachThePreviewAtOnce) {
    const QString source = write(u"src/main.c"_s, testing::DocumentedSource(u"Main"_s));
    commands.openPath(source);
    const QByteArray before = testing::ReadBytes(ws.singleFilePage);
    ASSERT_FALSE(before.isEmpty());
    // What the settings dialog would change.
    ws.project.settings.Style = u"dark_slate"_s;
    ws.project.settings.EmbedStyle = true;
    const qsizetype navigations = view.navigations.size();
    commands.editSettings();
    EXPECT_EQ(view.panel1, u"dark_slate"_s);
    const QByteArray after = testing::ReadBytes(ws.singleFilePage);
    EXPECT_NE(after, before);
    EXPECT_GT(view.navigations.size(), navigations);
    EXPECT_EQ(view.navigations.back(), ws.singleFilePage);

    // A built book is offered a new build; No leaves it as it is.
    commands.closeProject();
    openProject(writeProject());
    commands.buildProject();
    const size_t logged = ui.log.size();
    ui.messages.clear();
    ui.answers = {MessageAnswer::No};
    commands.editSettings();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"Build Project?"_s);
    EXPECT_EQ(ui.log.size(), logged);
    ui.answers = {MessageAnswer::Yes};
    commands.editSettings();
    EXPECT_GT(ui.log.size(), logged);
}

TEST_F(MainCommandsTest, openingAProjectEnablesItsCommands) {
    ws.env.preferences.WritePreference(prefs::kSingleFile, u"propStyle"_s, u"plain"_s);
    openProject(writeProject());
    for (Command on : kProjectCommands) {
        EXPECT_TRUE(enabled(on)) << static_cast<int>(on);
    }
    EXPECT_TRUE(enabled(Command::Build));
    EXPECT_TRUE(enabled(Command::DefaultChapter));
    EXPECT_EQ(view.caption, u"p - Tessarel"_s);
    EXPECT_EQ(view.panel1, ws.project.settings.Style);

    // Closing brings back the single-file settings of the store.
    commands.closeProject();
    EXPECT_FALSE(ws.project.isOpen());
    for (Command off : kProjectCommands) {
        EXPECT_FALSE(enabled(off)) << static_cast<int>(off);
    }
    EXPECT_FALSE(enabled(Command::Build));
    EXPECT_EQ(ws.project.settings.Style, u"plain"_s);
    EXPECT_EQ(view.panel1, u"plain"_s);
    EXPECT_EQ(view.caption, u"Tessarel"_s);
    EXPECT_EQ(view.navigations.back(), commands.introPage());
}

TEST_F(MainCommandsTest, buildCommandsFollowTheNumberOfFiles) {
    openProject(writeProject(u"proj/empty.qdx"_s, 0));
    EXPECT_FALSE(enabled(Command::Build));
    EXPECT_FALSE(enabled(Command::DefaultChapter));
    ws.project.Chapters.resize(1);
    commands.refreshMenuState();
    EXPECT_TRUE(enabled(Command::Build));
    EXPECT_TRUE(enabled(Command::DefaultChapter));
}

// Build takes unchanged chapters from the last build's record; Rebuild All
// writes every page again. Pages that tell their build's time, made at
// another time, are new files, with inodes of their own.
TEST_F(MainCommandsTest, rebuildAllBuildsEveryChapterWhereBuildTakesUnchangedOnes) {
    const auto inode = [](const QString& path) {
        struct stat info = {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
    };
    const QByteArray epoch = qgetenv("SOURCE_DATE_EPOCH");
    const auto restore = qScopeGuard(
        [&epoch] { epoch.isNull() ? qunsetenv("SOURCE_DATE_EPOCH") : qputenv("SOURCE_DATE_EPOCH", epoch); });
    qputenv("SOURCE_DATE_EPOCH", "1700000000");
    EXPECT_FALSE(enabled(Command::RebuildAll));
    openProject(writeProject());
    ws.project.settings.IncludeLastGenerated = true;
    EXPECT_TRUE(enabled(Command::RebuildAll));
    const QString page = te.path(u"proj/out/f0.c.htm"_s);
    commands.build();
    const auto first = inode(page);
    ASSERT_NE(first, 0u);
    const size_t rows = ui.log.size();
    commands.build();
    EXPECT_EQ(inode(page), first);
    qputenv("SOURCE_DATE_EPOCH", "1800000000");
    commands.rebuildAll();
    EXPECT_NE(inode(page), first);
    // All three builds told the same rows.
    ASSERT_EQ(ui.log.size(), 3 * rows);
    for (size_t i = 0; i < rows; ++i) {
        EXPECT_EQ(ui.log[i].reason + ui.log[i].item, ui.log[2 * rows + i].reason + ui.log[2 * rows + i].item);
    }
}

// The build itself leaves the project alone; the window then shows and saves
// the book's order and texts, as after every build before.
TEST_F(MainCommandsTest, aBuildLeavesTheBooksOrderAndTextsInTheProject) {
    const QString project = writeProject(u"proj/p.qdx"_s, 3);
    openProject(project);
    std::reverse(ws.project.Chapters.begin(), ws.project.Chapters.end());
    ws.project.settings.SortFilenames = true;
    ws.project.settings.Copyright = u"(C) Me"_s;
    commands.build();
    ASSERT_EQ(ws.project.chapterCount(), 3);
    EXPECT_EQ(ws.project.Chapters[0].Name, u"f0.c"_s);
    EXPECT_EQ(ws.project.Chapters[2].Name, u"f2.c"_s);
    EXPECT_EQ(ws.project.settings.Copyright, u"&#169; Me"_s);
    commands.saveProject();
    const QByteArray saved = testing::ReadBytes(project);
    EXPECT_TRUE(saved.contains("<Copyright>(c) Me</Copyright>")) << saved.constData();
    EXPECT_TRUE(saved.contains("<C><N>f0.c</N><R>src/</R></C>\r\n<C><N>f1.c</N>")) << saved.constData();
}

TEST_F(MainCommandsTest, theSaveQuestionGuardsEveryCommandThatMayLoseChanges) {
    const QString project = writeProject();
    const QByteArray saved = testing::ReadBytes(project);
    const QString other = write(u"other.c"_s, testing::DocumentedSource(u"Other"_s));
    commands.rememberFile(other);
    openProject(project);  // now slot 0 is the project, slot 1 other.c

    // Cancel leaves the project open and unchanged, and the command stops.
    const std::vector<std::function<void()>> guarded{
        [&] { commands.newProject(); }, [&] { commands.openFile(); },        [&] { commands.closeProject(); },
        [&] { commands.exit(); },       [&] { commands.openRecentFile(1); },
    };
    for (const auto& command : guarded) {
        modify();
        ui.messages.clear();
        ui.answers = {MessageAnswer::Cancel};
        command();
        // The question names the project and carries the question icon.
        expectMessage(u"Save Project"_s, u"Save project \"p\"?"_s, MessageButtons::YesNoCancel);
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Question);
        EXPECT_TRUE(ws.project.isOpen());
        EXPECT_EQ(ws.project.settings.IndexTitle, u"changed"_s);
    }
    EXPECT_TRUE(view.fileDialogTitles.isEmpty());
    EXPECT_EQ(view.unloads, 0);
    EXPECT_EQ(testing::ReadBytes(project), saved);

    // No closes without saving.
    ui.answers = {MessageAnswer::No};
    commands.closeProject();
    EXPECT_FALSE(ws.project.isOpen());
    EXPECT_EQ(testing::ReadBytes(project), saved);

    // Yes saves, then closes.
    openProject(project);
    modify();
    ui.answers = {MessageAnswer::Yes};
    commands.closeProject();
    EXPECT_FALSE(ws.project.isOpen());
    EXPECT_NE(testing::ReadBytes(project), saved);
    EXPECT_TRUE(testing::ReadBytes(project).contains("<IndexTitle>changed</IndexTitle>"));
}

TEST_F(MainCommandsTest, theExitOptionAsksAsExitDoes) {
    // A project file in another form than a save writes is modified once open.
    const QString project = writeProject();
    const QByteArray saved = testing::ReadBytes(project) + "\r\n";
    testing::WriteBytes(project, saved);
    for (MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::No}) {
        ui.messages.clear();
        ui.answers = {answer};
        ASSERT_TRUE(
            commands.takeCommandLine(project + u" -e"_s, te.path(QString()), [](const QString& f) { return f; }));
        commands.openCommandLineFile();
        expectMessage(u"Save Project"_s, u"Save project \"p\"?"_s, MessageButtons::YesNoCancel);
        EXPECT_EQ(view.unloads, answer == MessageAnswer::Cancel ? 0 : 1);
    }
    EXPECT_EQ(testing::ReadBytes(project), saved);
}

TEST_F(MainCommandsTest, anUnmodifiedProjectIsNotQuestioned) {
    openProject(writeProject());
    commands.exit();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(view.unloads, 1);
}

TEST_F(MainCommandsTest, aRecentEntryOpensItsFile) {
    const QString one = write(u"one.c"_s, testing::DocumentedSource(u"One"_s));
    const QString two = write(u"two.c"_s, testing::DocumentedSource(u"Two"_s));
    commands.openPath(one);
    commands.openPath(two);
    commands.openRecentFile(1);
    EXPECT_EQ(ws.document.SourceFilePath, one);
    EXPECT_EQ(commands.recent.RecentFiles.mid(0, 2), (QStringList{one, two}));
    EXPECT_EQ(ws.env.preferences.ReadPreference(prefs::kGeneral, u"h0"_s, QString()), one);
}

TEST_F(MainCommandsTest, newProjectOnAnExistingOrNoNameChangesNothing) {
    const QString project = writeProject();
    openProject(project);
    view.fileAnswers = {project};
    commands.newProject();
    expectMessage(u"New Project"_s, u"Project already created. Please use a different name."_s);
    EXPECT_EQ(ws.project.ProjectPath, project);
    EXPECT_TRUE(view.dialogsShown.empty());

    // Cancel in the file dialog ends the command before anything changes.
    commands.newProject();
    EXPECT_EQ(view.fileDialogTitles, (QStringList{u"New Project"_s, u"New Project"_s}));
    EXPECT_EQ(ws.project.ProjectPath, project);
    EXPECT_TRUE(view.dialogsShown.empty());
}

TEST_F(MainCommandsTest, saveAsRebasesEveryRelativePath) {
    const QString project = writeProject();
    const QByteArray original = testing::ReadBytes(project);
    openProject(project);
    const QString sourceFolder = ws.project.resolve(ws.project.Chapters[0].RelPath);
    const QString destination = ws.project.destinationFolder();
    QDir().mkpath(te.path(u"elsewhere/deeper"_s));
    const QString target = te.path(u"elsewhere/deeper/copy.qdx"_s);

    // An existing name is refused and the dialog asked again.
    view.fileAnswers = {project, target};
    commands.saveProjectAs();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, u"Save As"_s);
    EXPECT_EQ(view.fileDialogTitles, (QStringList{u"Save Project As"_s, u"Save Project As"_s}));

    EXPECT_EQ(ws.project.ProjectPath, target);
    EXPECT_EQ(ws.project.ProjectFolder, te.path(u"elsewhere/deeper/"_s));
    EXPECT_EQ(QDir::cleanPath(ws.project.resolve(ws.project.Chapters[0].RelPath)), QDir::cleanPath(sourceFolder));
    EXPECT_EQ(QDir::cleanPath(ws.project.resolve(ws.project.Chapters[1].RelPath)), QDir::cleanPath(sourceFolder));
    EXPECT_EQ(QDir::cleanPath(ws.project.destinationFolder()), QDir::cleanPath(destination));
    EXPECT_TRUE(ws.project.Chapters[0].RelPath.startsWith(u".."_s));
    EXPECT_TRUE(FileExists(target));
    EXPECT_EQ(testing::ReadBytes(project), original);
    EXPECT_EQ(view.caption, u"copy - Tessarel"_s);
    EXPECT_EQ(commands.recent.slot(0), target);
}

TEST_F(MainCommandsTest, previewCommandsTellWhatIsMissing) {
    commands.viewBook();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"HTML document not found."_s);
    EXPECT_EQ(ui.messages[0].title, u"File not found"_s);

    commands.goHome();
    EXPECT_EQ(view.navigations.back(), commands.introPage());
    EXPECT_EQ(view.browserStops, 1);

    openProject(writeProject());
    commands.viewBook();
    EXPECT_EQ(ui.messages.back().text, u"This project has not been built."_s);
    // The book is what is missing here, not the help file.
    EXPECT_EQ(ui.messages.back().title, u"HTML not found"_s);
    commands.viewHtmlHelp();
    EXPECT_EQ(ui.messages.back().text, u"HTML Help has not been built for this project."_s);
    EXPECT_EQ(ui.messages.back().title, u"HTML Help Not Found"_s);
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Information);
}

TEST_F(MainCommandsTest, buildingAProjectShowsTheBookAndOpensItWithX) {
    const QString project = writeProject();
    commands.commandLine.parse(u"p.qdx -b -x -e"_s);
    commands.openPath(project);
    EXPECT_EQ(ui.buildsStarted, 1);
    EXPECT_EQ(ChapterLines(ui), 2);
    EXPECT_TRUE(FileExists(commands.bookIndexPath()));
    EXPECT_EQ(view.navigations.back(), commands.bookIndexPath());
    EXPECT_EQ(view.shellOpens, QStringList{commands.bookIndexPath()});
    EXPECT_EQ(view.unloads, 1);
    // The options act once.
    EXPECT_FALSE(commands.commandLine.isOptionPresent(u"b"_s));

    commands.goHome();
    EXPECT_EQ(view.navigations.back(), commands.bookIndexPath());
    commands.viewBook();
    EXPECT_EQ(view.shellOpens.back(), commands.bookIndexPath());
}

// The window asks before a build would replace a file Tessarel did not
// write; Cancel builds nothing, OK replaces it, and then it is the book's.
TEST_F(MainCommandsTest, aBuildAsksBeforeReplacingAFileTessarelDidNotWrite) {
    openProject(writeProject());
    const QString index = write(u"proj/out/index.htm"_s, u"<html>my own start page</html>"_s);
    ui.answers = {MessageAnswer::Cancel};
    commands.build();
    expectMessage(u"Replace Files"_s,
                  u"These files in the destination folder were not written by Tessarel:\r\n    index.htm\r\n\r\n"
                  u"The book has files of the same names. OK builds it and replaces them; Cancel builds nothing."_s,
                  MessageButtons::OkCancel);
    EXPECT_EQ(ui.buildsStarted, 0);
    EXPECT_FALSE(FileExists(te.path(u"proj/out/f0.c.htm"_s)));
    EXPECT_EQ(testing::ReadBytes(index), QByteArray("<html>my own start page</html>"));

    ui.messages.clear();
    ui.answers = {MessageAnswer::Ok};
    commands.build();
    EXPECT_EQ(ui.buildsStarted, 1);
    EXPECT_EQ(ChapterLines(ui), 2);
    EXPECT_TRUE(testing::ReadBytes(index).contains("_book.htm"));
    ui.messages.clear();
    commands.build();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.buildsStarted, 2);

    // A long list is cut.
    QStringList many;
    for (int i = 0; i < 20; ++i) {
        many << u"p%1.htm"_s.arg(i);
    }
    const QString text = ReplaceQuestionText(many);
    EXPECT_TRUE(text.contains(u"    p14.htm\r\n    and 5 more\r\n"_s)) << text.toStdString();
    EXPECT_FALSE(text.contains(u"p15.htm"_s));
}

// Opening a source whose page name holds a file Tessarel did not write asks
// first: Cancel leaves the open document and the preview as they were, OK
// builds the page over it, and from then on the page is Tessarel's.
TEST_F(MainCommandsTest, openingASourceAsksBeforeItsPageReplacesAFileTessarelDidNotWrite) {
    const QString shown = write(u"src/main.c"_s, testing::DocumentedSource(u"Main"_s));
    commands.openPath(shown);
    const QString source = write(u"src/notes"_s, testing::DocumentedSource(u"Notes"_s));
    const QString page = write(u"src/notes.htm"_s, u"<html>my notes</html>"_s);
    ui.messages.clear();
    ui.log.clear();
    view.navigations.clear();
    ui.answers = {MessageAnswer::Cancel};
    commands.openPath(source);
    expectMessage(u"Replace Files"_s,
                  u"This file beside the source was not written by Tessarel:\r\n    notes.htm\r\n\r\n"
                  u"The source's page has the same name. OK builds the page and replaces the file; Cancel builds "
                  u"nothing."_s,
                  MessageButtons::OkCancel);
    EXPECT_EQ(testing::ReadBytes(page), QByteArray("<html>my notes</html>"));
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(view.navigations.isEmpty());
    EXPECT_EQ(ws.document.SourceFilePath, shown);
    EXPECT_EQ(view.caption, u"main.c - Tessarel"_s);
    EXPECT_EQ(commands.recent.slot(0), shown);

    ui.messages.clear();
    ui.answers = {MessageAnswer::Ok};
    commands.openPath(source);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(testing::ReadBytes(page).contains("Notes"));
    EXPECT_EQ(view.navigations, QStringList{page});
    ui.messages.clear();
    commands.build();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.log.size(), 2u);
}

TEST_F(MainCommandsTest, theWalkThroughIsShownOnTheFirstStartOnly) {
    commands.showWalkThroughOnFirstRun();
    ASSERT_EQ(view.helpTopics.size(), 1);
    EXPECT_EQ(view.helpTopics[0], te.programFolder() + u"help.chm::/walk.txt.htm"_s);
    EXPECT_EQ(ws.env.preferences.ReadPreference(prefs::kGeneral, prefs::kFirst, QString()), u"no"_s);
    commands.showWalkThroughOnFirstRun();
    EXPECT_EQ(view.helpTopics.size(), 1);

    ws.env.preferences.WritePreference(prefs::kGeneral, prefs::kFirst, u"Yes"_s);
    commands.showWalkThroughOnFirstRun();
    EXPECT_EQ(view.helpTopics.size(), 1);
}

TEST_F(MainCommandsTest, helpContentsOpensTheBuiltInContentsWhereNoViewerIsSure) {
    const QString contents = te.programFolder() + u"help.chm::/contents.htm"_s;
    commands.showHelpContents();
    ASSERT_EQ(view.helpTopics.size(), 1);
    EXPECT_EQ(view.helpTopics[0], contents);
    // A compiled help file beside the program is no reason to hand it to a
    // desktop that may have no viewer for it.
    QFile chm(te.programFolder() + u"help.chm"_s);
    ASSERT_TRUE(chm.open(QIODevice::WriteOnly));
    chm.write("ITSF");
    chm.close();
    commands.showHelpContents();
#ifdef Q_OS_WIN
    EXPECT_EQ(view.shellOpens, QStringList{te.programFolder() + u"help.chm"_s});
#else
    EXPECT_TRUE(view.shellOpens.isEmpty());
    EXPECT_EQ(view.helpTopics, (QStringList{contents, contents}));
#endif
}

TEST_F(MainCommandsTest, theCommandLineNamesTheFileOfTheStartUpTimer) {
    auto stay = [](const QString& folder) { return folder; };
    EXPECT_FALSE(commands.takeCommandLine(u"   "_s, u"/home/u"_s, stay));
    EXPECT_TRUE(commands.takeCommandLine(u"main.c -x -e"_s, u"/home/u"_s, stay));
    EXPECT_EQ(commands.commandLinePath, u"/home/u/main.c"_s);
    EXPECT_TRUE(commands.commandLine.isOptionPresent(u"e"_s));

    // A file that does not exist is told, and "e" still ends the program.
    commands.openCommandLineFile();
    EXPECT_EQ(ui.messages.back().text, u"File does not exist.\r\n/home/u/main.c"_s);
    EXPECT_EQ(view.unloads, 1);
    EXPECT_EQ(commands.commandLine.ParameterCount, 0);
}

}  // namespace
}  // namespace tessarel

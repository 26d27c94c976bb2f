#include "app/main_commands.h"

#include "app/front_end.h"
#include "app/handler_guard.h"
#include "app/main_window_state.h"
#include "book/book_files.h"
#include "book/project_build.h"
#include "book/workspace.h"
#include "pages/page_frame.h"
#include "pages/single_file_build.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/string_functions.h"

#include <algorithm>

namespace tessarel {

namespace {
const QString kProgramName = QStringLiteral("Tessarel");
#ifdef Q_OS_WIN
constexpr bool kCompiledHelpViewerExpected = true;
#else
constexpr bool kCompiledHelpViewerExpected = false;
#endif
}  // namespace

QString OpenFileFilter() {
    return QStringLiteral(
        "All Files (*.*)|*.*|Tessarel Project (*.qdx)|*.qdx|C/C++ (*.c; *.cpp; *.h; *.hpp;)|*.c; *.cpp; *.h; "
        "*.hpp;|Visual Basic (*.bas; *.frm; *.cls)|*.bas; *.frm; *.cls|VBScript (*.vb; *.vbs)|*.vb; *.vbs|ASP "
        "(*.asp)|*.asp;|SQL (*.sql)|*.sql;|Pascal/Delphi (*.pas; *.dpr; *.dpk)|*.pas; *.dpr; *.dpk|PHP (*.php; "
        "*.php3; *.php4)|*.php; *.php3; *.php4|Java/JavaScript (*.java; *.js)|*.java; *.js|C# (*.cs)|*.cs;|Assembler "
        "(*.asm)|*.asm;|Ada (*.ada; *.adb; *.ads)|*.ada; *.adb; *.ads|Fortran (*.f; *.for; *.f90; *.f95)|*.f; *.for; "
        "*.f90; *.f95|Perl (*.pl; *.pm; *.cgi)|*.pl; *.pm; *.cgi|Ruby (*.rb)|*.rb;|Python (*.py)|*.py;|Text "
        "(*.txt)|*.txt|HTML - Viewing Only (*.htm; *.html)|*.htm; *.html");
}

QString ProjectFileFilter() { return QStringLiteral("Tessarel Project (*.qdx)|*.qdx"); }

QString MakerAddress() { return QStringLiteral("https://tessarel.example.org/"); }
QString ProductOverviewAddress() { return QStringLiteral("https://tessarel.example.org/overview.html"); }

QString DocumentName(const QString& path) {
    const QString extension = ExtensionOf(path);
    if (extension == QStringLiteral("qdx")) {
        return BaseNameOf(path);
    }
    if (extension.isEmpty()) {
        return path;
    }
    return FileNameOf(path);
}

MainCommands::MainCommands(Workspace& workspace, MainWindowState& state, MainView& view, FileDialogs& fileDialogs,
                           FrontEnd& frontEnd)
    : builds(workspace),
      workspace_(workspace),
      state_(state),
      view_(view),
      fileDialogs_(fileDialogs),
      front_(frontEnd) {
    recent.reset(RecentList::kSlots);
}

bool MainCommands::projectOpen() const { return workspace_.project.isOpen(); }

QString MainCommands::introPage() const { return ProgramFolderFile(workspace_.env.paths, QStringLiteral("intro.htm")); }

QString MainCommands::bookIndexPath() const {
    return JoinFolderAndFile(workspace_.project.destinationFolder(), QStringLiteral("index.htm"));
}

QString MainCommands::compiledHelpPath() const {
    const QString helpFolder = JoinFolderAndFile(workspace_.project.destinationFolder(), QStringLiteral("HTML Help"));
    return JoinFolderAndFile(helpFolder, BaseNameOf(workspace_.project.ProjectPath) + QStringLiteral(".chm"));
}

// ---- Start-up ---------------------------------------------------------------

void MainCommands::loadRecentList() {
    recent.reset(RecentList::kSlots);
    view_.recentFilesChanged();
    recent.load(workspace_.env.preferences);
    view_.recentFilesChanged();
}

void MainCommands::showStartState() {
    showDocumentName(QString());
    if (!projectOpen()) {
        showStylePreference();
    }
}

void MainCommands::showStylePreference() {
    view_.setStatusPanel(1, ReadSingleFileSettings(workspace_.env.preferences).Style);
}

void MainCommands::showWalkThroughOnFirstRun() {
    Preferences& preferences = workspace_.env.preferences;
    if (preferences.ReadPreference(prefs::kGeneral, prefs::kFirst, QStringLiteral("yes")) != QStringLiteral("yes")) {
        return;
    }
    // Marked before showing, so a failing viewer cannot bring it back every start.
    preferences.WritePreference(prefs::kGeneral, prefs::kFirst, QStringLiteral("no"));
    front_.showHelpTopic(ProgramFolderFile(workspace_.env.paths, QStringLiteral("help.chm")) +
                         QStringLiteral("::/walk.txt.htm"));
}

bool MainCommands::takeCommandLine(const QString& text, const QString& currentFolder,
                                   const std::function<QString(const QString&)>& enterFolder) {
    if (TrimSpaces(text).isEmpty()) {
        return false;
    }
    commandLine.parse(text);
    commandLinePath = ResolveCommandLinePath(commandLine.firstParameter(), currentFolder, enterFolder);
    return true;
}

void MainCommands::openCommandLineFile() {
    RunReported(workspace_.env, front_, sites::kOpenCommandLineFile, [&] { openPath(commandLinePath); });
}

// ---- Opening ------------------------------------------------------------------

void MainCommands::openPath(const QString& path) {
    if (ExtensionOf(path) != QStringLiteral("qdx")) {
        // The options wait for the page's build.
        if (!openSourceFile(path, [this] { actOnOptions(false); })) {
            actOnOptions(false);
        }
        return;
    }
    openProject(path);
    // A project that could not be opened has nothing to build.
    if (!(commandLine.isOptionPresent(QStringLiteral("b")) && projectOpen() &&
          buildProject(false, [this] { actOnOptions(true); }))) {
        actOnOptions(true);
    }
}

void MainCommands::actOnOptions(bool project) {
    view_.processEvents();
    if (commandLine.isOptionPresent(QStringLiteral("x"))) {
        const QString page = project ? (projectOpen() ? bookIndexPath() : QString()) : workspace_.singleFilePage;
        if (!page.isEmpty() && FileExists(page)) {
            front_.shellOpen(page);
        }
    }
    view_.processEvents();
    if (commandLine.isOptionPresent(QStringLiteral("e")) && mayQuit()) {
        view_.unloadMainWindow();
    }
    commandLine.clear();
}

bool MainCommands::openSourceFile(const QString& path, const std::function<void()>& then) {
    if (!FileExists(path)) {
        workspace_.env.ui.message(QStringLiteral("File not found"),
                                  QStringLiteral("File does not exist.") + kCrLf + path, MessageIcon::Exclamation,
                                  MessageButtons::Ok);
        return false;
    }
    // Asked before anything changes: Cancel leaves the open document and the
    // preview as they were.
    bool replace = false;
    if (builds.running() || !pageReplacingAllowed(path, replace)) {
        return false;
    }
    // The page shown so far stays until the new one replaces it.
    closeDocument(false);
    setCommands({Command::Build, Command::ViewBook}, true);
    rememberFile(path);
    showDocumentName(path);
    workspace_.document.SourceFilePath = path;
    return runSingleFileBuild(replace, [this, then](bool shown) {
        if (!shown) {
            front_.navigate(introPage());
        }
        if (then) {
            then();
        }
    });
}

// ---- Preview ------------------------------------------------------------------------

void MainCommands::viewHtmlHelp() {
    const QString compiled = compiledHelpPath();
    if (FileExists(compiled)) {
        front_.showHelpTopic(compiled);
    } else {
        workspace_.env.ui.message(QStringLiteral("HTML Help Not Found"),
                                  QStringLiteral("HTML Help has not been built for this project."),
                                  MessageIcon::Information, MessageButtons::Ok);
    }
}

void MainCommands::viewBook() {
    UserInterface& ui = workspace_.env.ui;
    if (projectOpen()) {
        if (FileExists(bookIndexPath())) {
            front_.shellOpen(bookIndexPath());
        } else {
            ui.message(QStringLiteral("HTML not found"), QStringLiteral("This project has not been built."),
                       MessageIcon::Information, MessageButtons::Ok);
        }
    } else if (FileExists(workspace_.singleFilePage)) {
        front_.shellOpen(workspace_.singleFilePage);
    } else {
        ui.message(QStringLiteral("File not found"), QStringLiteral("HTML document not found."),
                   MessageIcon::Information, MessageButtons::Ok);
    }
}

void MainCommands::showHelpContents() {
    RunReported(workspace_.env, front_, sites::kHelpContents, [&] {
        const QString helpFile = ProgramFolderFile(workspace_.env.paths, QStringLiteral("help.chm"));
        // Only Windows is sure to have a viewer for a compiled help file; elsewhere
        // the desktop may drop it silently, so the shipped topics are shown.
        if (kCompiledHelpViewerExpected && FileExists(helpFile)) {
            front_.shellOpen(helpFile);
        } else {
            front_.showHelpTopic(helpFile + QStringLiteral("::/contents.htm"));
        }
    });
}

void MainCommands::openWebsite() { front_.shellOpen(ProductOverviewAddress()); }

void MainCommands::goHome() {
    view_.stopBrowser();
    if (projectOpen()) {
        showProjectHome();
    } else if (FileExists(workspace_.singleFilePage)) {
        front_.navigate(workspace_.singleFilePage);
    } else {
        front_.navigate(introPage());
    }
}

// ---- Dialogs ------------------------------------------------------------------------

bool MainCommands::showProjectDialog(ProjectDialog dialog) {
    const bool ok = view_.showDialog(dialog);
    state_.dialogCancelled = !ok;
    return ok;
}

void MainCommands::editFiles() {
    RunReported(workspace_.env, front_, sites::kEditFiles, [&] {
        showProjectDialog(ProjectDialog::Files);
        refreshMenuState();
    });
}

void MainCommands::editDestination() {
    RunReported(workspace_.env, front_, sites::kEditDestination,
                [&] { showProjectDialog(ProjectDialog::Destination); });
}

void MainCommands::editSettings() {
    RunReported(workspace_.env, front_, sites::kEditSettings, [&] {
        if (!showProjectDialog(ProjectDialog::Settings)) {
            return;
        }
        view_.setStatusPanel(1, workspace_.project.settings.Style);
        // The preview would go on showing a page of the old settings.
        if (!projectOpen()) {
            if (!TrimSpaces(workspace_.document.SourceFilePath).isEmpty()) {
                buildSingleFile();
            }
        } else if (FileExists(bookIndexPath()) &&
                   workspace_.env.ui.message(QStringLiteral("Build Project"), QStringLiteral("Build Project?"),
                                             MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes) {
            buildProject();
        }
    });
}

void MainCommands::editDefaultChapter() {
    RunIgnoringErrors([&] { showProjectDialog(ProjectDialog::DefaultChapter); });
}

void MainCommands::editCommentStyles() { showProjectDialog(ProjectDialog::CommentStyles); }

void MainCommands::about() {
    RunReported(workspace_.env, front_, sites::kAbout, [&] { view_.showAbout(); });
}

// ---- Window state --------------------------------------------------------------------

void MainCommands::showDocumentName(const QString& path) {
    const QString name = DocumentName(path);
    view_.setCaption(name.isEmpty() ? kProgramName : name + QStringLiteral(" - ") + kProgramName);
    view_.setStatusPanel(2, QStringLiteral("   ") + name);
}

void MainCommands::setCommands(std::initializer_list<Command> list, bool enabled) {
    for (Command command : list) {
        commands.setEnabled(command, enabled);
    }
    view_.commandsChanged();
}

void MainCommands::showProjectLoaded() {
    setCommands({Command::CloseProject, Command::SaveProject, Command::SaveProjectAs, Command::Open, Command::Files,
                 Command::Destination, Command::CommentStyles, Command::ViewHtmlHelp, Command::ViewBook},
                true);
    view_.setStatusPanel(1, workspace_.project.settings.Style);
    refreshMenuState();
    showDocumentName(workspace_.project.ProjectPath);
}

void MainCommands::refreshMenuState() {
    if (workspace_.project.Chapters.empty()) {
        disableBuild();
        setCommands({Command::DefaultChapter}, false);
    } else {
        enableBuild();
        setCommands({Command::DefaultChapter}, true);
    }
}

void MainCommands::disableBuild() {
    RunReported(workspace_.env, front_, sites::kDisableBuild, [&] {
        setCommands({Command::Build, Command::DefaultChapter}, false);
    });
}

void MainCommands::enableBuild() {
    RunReported(workspace_.env, front_, sites::kEnableBuild, [&] {
        setCommands({Command::Build, Command::DefaultChapter}, true);
    });
}

void MainCommands::rememberFile(const QString& path) {
    recent.add(path);
    recent.save(workspace_.env.preferences);
    view_.recentFilesChanged();
}

void MainCommands::setBuilding(bool building) {
    commands.setBuilding(building);
    view_.commandsChanged();
}

void MainCommands::setBusy(bool busy) {
    commands.setBusy(busy);
    view_.commandsChanged();
}

}  // namespace tessarel

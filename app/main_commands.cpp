#include "app/main_commands.h"

#include "app/handler_guard.h"
#include "app/main_window_state.h"
#include "book/project_build.h"
#include "book/workspace.h"
#include "pages/page_frame.h"
#include "pages/single_file_build.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/string_functions.h"

namespace tessarel {

namespace {
const QString kModule = QStringLiteral("frmMain");
const QString kProgramName = QStringLiteral("Tessarel");
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

MainCommands::MainCommands(Workspace& workspace, MainWindowState& state, MainView& view, FileDialogs& fileDialogs)
    : workspace_(workspace), state_(state), view_(view), fileDialogs_(fileDialogs) {
    recent.InitRecentFiles(RecentList::kSlots);
}

bool MainCommands::projectOpen() const { return workspace_.project.isOpen(); }

QString MainCommands::IntroPage() const { return ProgramFolderFile(workspace_.env.paths, QStringLiteral("intro.htm")); }

QString MainCommands::BookIndexPath() const {
    return JoinFolderAndFile(workspace_.project.destinationFolder(), QStringLiteral("index.htm"));
}

QString MainCommands::CompiledHelpPath() const {
    const QString helpFolder = JoinFolderAndFile(workspace_.project.destinationFolder(), QStringLiteral("HTML Help"));
    return JoinFolderAndFile(helpFolder, BaseNameOf(workspace_.project.ProjectPath) + QStringLiteral(".chm"));
}

// ---- Start-up ---------------------------------------------------------------

void MainCommands::LoadRecentList() {
    recent.InitRecentFiles(RecentList::kSlots);
    view_.recentFilesChanged();
    recent.LoadRecentFiles(workspace_.env.preferences);
    view_.recentFilesChanged();
}

void MainCommands::ShowStartState() {
    ShowDocumentName(QString());
    if (!projectOpen()) {
        ShowStylePreference();
    }
}

void MainCommands::ShowStylePreference() {
    view_.setStatusPanel(
        1, workspace_.env.preferences.ReadPreference(prefs::kSingleFile, prefs::kStyle, prefs::kDefaultStyle));
}

void MainCommands::FirstRunWalkThrough() {
    Preferences& preferences = workspace_.env.preferences;
    if (preferences.ReadPreference(prefs::kGeneral, prefs::kFirst, QStringLiteral("yes")) != QStringLiteral("yes")) {
        return;
    }
    // Marked before showing, so a failing viewer cannot bring it back every start.
    preferences.WritePreference(prefs::kGeneral, prefs::kFirst, QStringLiteral("no"));
    workspace_.env.ui.showHelpTopic(ProgramFolderFile(workspace_.env.paths, QStringLiteral("help.chm")) +
                                    QStringLiteral("::/walk.txt.htm"));
}

bool MainCommands::TakeCommandLine(const QString& text, const QString& currentFolder,
                                   const std::function<QString(const QString&)>& enterFolder) {
    if (TrimSpaces(text).isEmpty()) {
        return false;
    }
    commandLine.ParseCommandLine(text);
    CommandLinePath = ResolveCommandLinePath(commandLine.FirstParameter(), currentFolder, enterFolder);
    return true;
}

void MainCommands::tmrLoad_Timer() {
    RunReported(workspace_.env, kModule, QStringLiteral("tmrLoad_Timer"), [&] { OpenFile(CommandLinePath); });
}

// ---- Opening ------------------------------------------------------------------

void MainCommands::OpenFile(const QString& path) {
    UserInterface& ui = workspace_.env.ui;
    if (ExtensionOf(path) != QStringLiteral("qdx")) {
        OpenSourceFile(path);
        view_.processEvents();
        view_.processEvents();
        if (commandLine.IsOptionPresent(QStringLiteral("x")) && FileExists(workspace_.document.ChapterPagePath)) {
            ui.shellOpen(workspace_.document.ChapterPagePath);
        }
    } else {
        OpenProject(path);
        // A project that could not be opened has nothing to build.
        if (commandLine.IsOptionPresent(QStringLiteral("b")) && projectOpen()) {
            BuildProject();
        }
        view_.processEvents();
        view_.processEvents();
        if (commandLine.IsOptionPresent(QStringLiteral("x")) && projectOpen() && FileExists(BookIndexPath())) {
            ui.shellOpen(BookIndexPath());
        }
    }
    view_.processEvents();
    view_.processEvents();
    if (commandLine.IsOptionPresent(QStringLiteral("e"))) {
        view_.unloadMainWindow();
    }
    commandLine.ClearCommandLine();
}

void MainCommands::OpenSourceFile(const QString& path) {
    if (!FileExists(path)) {
        workspace_.env.ui.message(QStringLiteral("File not found"), QStringLiteral("File does not exist."),
                                  MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    CloseProject();
    SetCommands({Command::GenDoc, Command::ViewBrowser}, true);
    RememberFile(path);
    ShowDocumentName(path);
    workspace_.document.SourceFilePath = path;
    BuildSingleFile();
}

// ---- Builds and preview ---------------------------------------------------------

void MainCommands::BuildDocumentation() {
    if (projectOpen()) {
        BuildProject();
    } else if (!TrimSpaces(workspace_.document.SourceFilePath).isEmpty()) {
        BuildSingleFile();
    }
}

void MainCommands::BuildProject() {
    RunReported(workspace_.env, kModule, QStringLiteral("BuildTheProject"),
                [&] { ::tessarel::BuildProject(workspace_); });
}

void MainCommands::BuildSingleFile() {
    RunIgnoringErrors([&] {
        Workspace& ws = workspace_;
        Settings& settings = ws.project.settings;
        const bool open = projectOpen();
        const PageStyle style = ResolvePageStyle(ws.env.paths, settings, open);
        SingleFileContext context{.env = ws.env,
                                  .doc = ws.document,
                                  .page = ws.page,
                                  .settings = settings,
                                  .style = style,
                                  .projectOpen = open,
                                  .projectFolder = ws.project.ProjectFolder,
                                  .destinationFolder = ws.destinationFolder,
                                  .generatedAt = BuildTimestamp()};
        RunReported(ws.env, kModule, QStringLiteral("Starttessarel"), [&] { ::tessarel::BuildSingleFile(context); });
    });
}

void MainCommands::mnuViewHTMLHelp_Click() {
    const QString compiled = CompiledHelpPath();
    if (FileExists(compiled)) {
        workspace_.env.ui.showHelpTopic(compiled);
    } else {
        workspace_.env.ui.message(QStringLiteral("HTML Help Not Found"),
                                  QStringLiteral("HTML Help has not been built for this project."),
                                  MessageIcon::Information, MessageButtons::Ok);
    }
}

void MainCommands::mnuViewBrowser_Click() {
    UserInterface& ui = workspace_.env.ui;
    if (projectOpen()) {
        if (FileExists(BookIndexPath())) {
            ui.shellOpen(BookIndexPath());
        } else {
            ui.message(QStringLiteral("HTML Help not found"), QStringLiteral("This project has not been built."),
                       MessageIcon::Information, MessageButtons::Ok);
        }
    } else if (FileExists(workspace_.document.ChapterPagePath)) {
        ui.shellOpen(workspace_.document.ChapterPagePath);
    } else {
        ui.message(QStringLiteral("File not found"), QStringLiteral("HTML document not found."),
                   MessageIcon::Information, MessageButtons::Ok);
    }
}

void MainCommands::mnuReferenceManual_Click() {
    RunReported(workspace_.env, kModule, QStringLiteral("mnuReferenceManual_Click"), [&] {
        const QString helpFile = ProgramFolderFile(workspace_.env.paths, QStringLiteral("help.chm"));
        if (FileExists(helpFile)) {
            workspace_.env.ui.shellOpen(helpFile);
        } else {
            // Without a compiled help file the shipped topics are shown directly.
            workspace_.env.ui.showHelpTopic(helpFile + QStringLiteral("::/contents.htm"));
        }
    });
}

void MainCommands::mnuWeb_Click() { workspace_.env.ui.shellOpen(ProductOverviewAddress()); }

void MainCommands::Home_Click() {
    view_.stopBrowser();
    UserInterface& ui = workspace_.env.ui;
    if (projectOpen()) {
        if (FileExists(BookIndexPath())) {
            ui.navigate(BookIndexPath());
        }
    } else if (FileExists(workspace_.document.ChapterPagePath)) {
        ui.navigate(workspace_.document.ChapterPagePath);
    } else {
        ui.navigate(IntroPage());
    }
}

// ---- Dialogs ------------------------------------------------------------------------

bool MainCommands::ShowProjectDialog(ProjectDialog dialog) {
    const bool ok = view_.showDialog(dialog);
    state_.mbDialogCancel = !ok;
    return ok;
}

void MainCommands::mnuAddFiles_Click() {
    RunReported(workspace_.env, kModule, QStringLiteral("mnuAddFiles_Click"), [&] {
        ShowProjectDialog(ProjectDialog::AddFiles);
        RefreshMenuState();
    });
}

void MainCommands::mnuDestPath_Click() {
    RunReported(workspace_.env, kModule, QStringLiteral("mnuDestPath_Click"),
                [&] { ShowProjectDialog(ProjectDialog::DestPath); });
}

void MainCommands::mnuSettings_Click() {
    RunReported(workspace_.env, kModule, QStringLiteral("mnuSettings_Click"), [&] {
        if (ShowProjectDialog(ProjectDialog::Settings)) {
            view_.setStatusPanel(1, workspace_.project.settings.Style);
        }
    });
}

void MainCommands::mnuHomeChapter_Click() {
    RunIgnoringErrors([&] { ShowProjectDialog(ProjectDialog::DefaultPage); });
}

void MainCommands::mnuComments_Click() { ShowProjectDialog(ProjectDialog::Comments); }

void MainCommands::mnuHelpAbout_Click() {
    RunReported(workspace_.env, kModule, QStringLiteral("mnuHelpAbout_Click"), [&] { view_.showAbout(); });
}

// ---- Window state --------------------------------------------------------------------

void MainCommands::ShowDocumentName(const QString& path) {
    const QString name = DocumentName(path);
    view_.setCaption(name.isEmpty() ? kProgramName : name + QStringLiteral(" - ") + kProgramName);
    view_.setStatusPanel(2, QStringLiteral("   ") + name);
}

void MainCommands::SetCommands(std::initializer_list<Command> list, bool enabled) {
    for (Command command : list) {
        commands.setEnabled(command, enabled);
    }
    view_.commandsChanged();
}

void MainCommands::ShowProjectLoaded() {
    SetCommands({Command::CloseProject, Command::SaveProject, Command::SaveProjectAs, Command::FileOpen,
                 Command::AddFiles, Command::DestPath, Command::Comments, Command::ViewHTMLHelp, Command::ViewBrowser},
                true);
    view_.setStatusPanel(1, workspace_.project.settings.Style);
    RefreshMenuState();
    ShowDocumentName(workspace_.project.ProjectPath);
}

void MainCommands::RefreshMenuState() {
    if (workspace_.project.NumberOfChapters < 1) {
        mAddFiles_DisableBuild();
        SetCommands({Command::HomeChapter}, false);
    } else {
        mAddFiles_EnableBuild();
        SetCommands({Command::HomeChapter}, true);
    }
}

void MainCommands::mAddFiles_DisableBuild() {
    RunReported(workspace_.env, kModule, QStringLiteral("mAddFiles_DisableBuild"), [&] {
        SetCommands({Command::GenDoc, Command::HomeChapter}, false);
    });
}

void MainCommands::mAddFiles_EnableBuild() {
    RunReported(workspace_.env, kModule, QStringLiteral("mAddFiles_EnableBuild"), [&] {
        SetCommands({Command::GenDoc, Command::HomeChapter}, true);
    });
}

void MainCommands::RememberFile(const QString& path) {
    recent.AddRecentFile(path);
    recent.SaveRecentFiles(workspace_.env.preferences);
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

#pragma once

#include "app/command_line.h"
#include "app/command_states.h"
#include "app/main_view.h"
#include "app/recent_files.h"

#include <QString>

namespace tessarel {

struct Workspace;
struct MainWindowState;

enum class SaveAnswer { Nothing, Cancel };

/// Everything the main window decides, over the workspace, the user interface
/// and the window's own view; links no widget. Handler names follow the menu
/// commands they serve.
class MainCommands {
public:
    MainCommands(Workspace& workspace, MainWindowState& state, MainView& view, FileDialogs& fileDialogs);

    // ---- Start-up (the main window's load) ----
    /// Nine empty slots, then the stored list; the menu is refreshed after each.
    void LoadRecentList();
    /// Caption, document panel and style panel of the state with nothing open.
    void ShowStartState();
    /// The walk-through help topic, once per user.
    void FirstRunWalkThrough();
    /// Parses a non-blank command line and works out CommandLinePath, entering
    /// folders through `enterFolder`. True when the start-up timer is to be armed.
    bool TakeCommandLine(const QString& text, const QString& currentFolder,
                         const std::function<QString(const QString&)>& enterFolder);
    /// The start-up timer fired: open the file of the command line.
    void tmrLoad_Timer();

    // ---- Opening ----
    /// Opens a project ("qdx", exactly) or a source file, then acts on the
    /// command-line options once.
    void OpenFile(const QString& path);
    void OpenSourceFile(const QString& path);
    void OpenProject(const QString& path);

    // ---- Project lifecycle ----
    SaveAnswer DoYouWantToSave();
    void CloseProject();
    void mnuNewProject_Click();
    void mnuFileOpen_Click();
    void mnuCloseProject_Click();
    void mnuSaveProject_Click();
    void mnuSaveProjectAs_Click();
    void mnuFileExit_Click();
    void mnuPast_Click(int index);
    void SaveToolbar_Click();  ///< the toolbar's "save": only with a project open

    // ---- Builds and preview ----
    void BuildDocumentation();
    void BuildProject();
    void BuildSingleFile();
    void mnuViewHTMLHelp_Click();
    void mnuViewBrowser_Click();
    void mnuReferenceManual_Click();
    void mnuWeb_Click();
    void Home_Click();

    // ---- Dialogs ----
    void mnuAddFiles_Click();
    void mnuDestPath_Click();
    void mnuSettings_Click();
    void mnuHomeChapter_Click();
    void mnuComments_Click();
    void mnuHelpAbout_Click();

    // ---- Window state ----
    void ShowDocumentName(const QString& path);
    void ShowProjectLoaded();
    void RefreshMenuState();
    void mAddFiles_DisableBuild();
    void mAddFiles_EnableBuild();
    /// Adds the path to the recent list, stores the list and refreshes the menu.
    void RememberFile(const QString& path);
    void setBuilding(bool building);
    void setBusy(bool busy);

    /// The book's start page of the open project.
    QString BookIndexPath() const;
    /// The project's compiled help file.
    QString CompiledHelpPath() const;
    QString IntroPage() const;

    CommandStates commands;
    RecentList recent;
    CommandLine commandLine;
    QString CommandLinePath;

private:
    bool projectOpen() const;
    bool projectModified();
    /// The save question of the commands that may lose changes: false to stop.
    bool SaveQuestionAllowsGoingOn();
    void SetCommands(std::initializer_list<Command> list, bool enabled);
    /// Shows a project dialog; true when it was left with OK.
    bool ShowProjectDialog(ProjectDialog dialog);
    void ShowStylePreference();

    Workspace& workspace_;
    MainWindowState& state_;
    MainView& view_;
    FileDialogs& fileDialogs_;
};

/// "description|patterns|description|patterns..." of the Open command.
QString OpenFileFilter();
/// The filter of the New Project and Save Project As dialogs.
QString ProjectFileFilter();
/// The caption name of a document: a project's base name, a path without an
/// extension as it is, else the file name.
QString DocumentName(const QString& path);
/// Where the maker's overview page is (the Help menu's web command and the about box).
QString ProductOverviewAddress();
QString MakerAddress();

}  // namespace tessarel

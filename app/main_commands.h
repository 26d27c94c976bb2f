#pragma once

#include "app/build_thread.h"
#include "app/command_line.h"
#include "app/command_states.h"
#include "app/main_view.h"
#include "app/recent_files.h"
#include "support/user_interface.h"

#include <QString>
#include <QStringList>

namespace tessarel {

struct Workspace;
struct MainWindowState;
class FrontEnd;
struct ErrorSite;

enum class SaveAnswer { Nothing, Cancel };

struct ProjectModel;
/// The preview's page for a project not built yet: its name, its chapter
/// count, its destination and how to build it.
QString UnbuiltProjectPage(const ProjectModel& project);
/// The question before the changes of a project are lost, naming the project.
QString SaveQuestionText(const ProjectModel& project);
/// What a build that would replace files Tessarel did not write makes: a
/// project's book in its destination, or a source's page beside it.
enum class ReplacingBuild { Book, Page };
/// The question before a build that would replace files Tessarel did not
/// write, naming them.
QString ReplaceQuestionText(const QStringList& names, ReplacingBuild build = ReplacingBuild::Book);

/// What a single-file build does with a file Tessarel did not write at its
/// page's name: asks the user first, or keeps it and fails (the live
/// preview's rebuilds, which never ask).
enum class ForeignPage { Ask, Keep };

/// Everything the main window decides, over the workspace, the user interface,
/// the front end and the window's own view; links no widget.
///
/// A build runs through `builds`: in the window on a thread of its own, so the
/// commands that start one return at once, and what follows the build (showing
/// its page, the command line's next option) runs when it is over. The
/// commands stay locked meanwhile, and a second build is refused.
class MainCommands {
public:
    MainCommands(Workspace& workspace, MainWindowState& state, MainView& view, FileDialogs& fileDialogs,
                 FrontEnd& frontEnd);

    // ---- Start-up (the main window's load) ----
    /// Nine empty slots, then the stored list; the menu is refreshed after each.
    void loadRecentList();
    /// Caption, document panel and style panel of the state with nothing open.
    void showStartState();
    /// The walk-through help topic, once per user.
    void showWalkThroughOnFirstRun();
    /// Parses a non-blank command line and works out commandLinePath, entering
    /// folders through `enterFolder`. True when the start-up timer is to be armed.
    bool takeCommandLine(const QString& text, const QString& currentFolder,
                         const std::function<QString(const QString&)>& enterFolder);
    /// The start-up timer fired: open the file of the command line.
    void openCommandLineFile();

    // ---- Opening ----
    /// Opens a project ("qdx", exactly) or a source file, then acts on the
    /// command-line options once.
    void openPath(const QString& path);
    /// Opens a source file and starts its build; `then` follows the build.
    /// False when no build started (and `then` is not called).
    bool openSourceFile(const QString& path, const std::function<void()>& then = {});
    void openProject(const QString& path);

    // ---- Project lifecycle ----
    SaveAnswer askToSave();
    /// The save question before the program ends, asked only for a modified
    /// project (Yes saves it); false when the user chose Cancel. Every way of
    /// quitting asks it: Exit, the window's close box, the "e" option.
    bool mayQuit();
    /// Closes the project or file without asking and shows the start state.
    void unloadProject();
    void newProject();
    void openFile();
    void closeProject();
    void saveProject();
    void saveProjectAs();
    void exit();
    void openRecentFile(int index);
    void saveFromToolbar();  ///< the toolbar's "save": only with a project open

    // ---- Builds and preview ----
    void build();
    /// Build, with every chapter of a project built again, whatever the last build recorded.
    void rebuildAll();
    /// Starts a build of the open project; `then` follows once it is over.
    /// False, and `then` never called, when no build started (one is running,
    /// or the user chose Cancel in the question about files Tessarel did not write).
    bool buildProject(bool rebuild = false, const std::function<void()>& then = {});
    /// Starts a build of the open source file; `then` follows once it is over,
    /// told whether its page (or the HTML source) is now in the preview. False
    /// when no build started (Cancel in the question about a file Tessarel did
    /// not write, or a build running).
    bool buildSingleFile(ForeignPage foreign = ForeignPage::Ask, const std::function<void(bool shown)>& then = {});
    void viewHtmlHelp();
    void viewBook();
    void showHelpContents();
    void openWebsite();
    void goHome();

    // ---- Dialogs ----
    void editFiles();
    void editDestination();
    void editSettings();
    void editDefaultChapter();
    void editCommentStyles();
    void about();

    // ---- Window state ----
    void showDocumentName(const QString& path);
    void showProjectLoaded();
    void refreshMenuState();
    void disableBuild();
    void enableBuild();
    /// Adds the path to the recent list, stores the list and refreshes the menu.
    void rememberFile(const QString& path);
    void setBuilding(bool building);
    void setBusy(bool busy);

    /// The book's start page of the open project.
    QString bookIndexPath() const;
    /// The project's compiled help file.
    QString compiledHelpPath() const;
    QString introPage() const;
    /// Shows the open project in the preview: its book when it was built, else
    /// a page that names it and tells how to build it.
    void showProjectHome();

    CommandStates commands;
    BuildThread builds;
    RecentList recent;
    CommandLine commandLine;
    QString commandLinePath;

private:
    bool projectOpen() const;
    bool projectModified();
    /// The save question of the commands that may lose changes: false to stop.
    bool saveQuestionAllowsGoingOn();
    MessageAnswer saveQuestion();
    void setCommands(std::initializer_list<Command> list, bool enabled);
    /// unloadProject(); the start page only when asked, so that a page that
    /// takes its place at once does not make way for it first.
    void closeDocument(bool showIntroPage);
    /// Shows a project dialog; true when it was left with OK.
    bool showProjectDialog(ProjectDialog dialog);
    void showStylePreference();
    /// The question before a build replaces `names`, which Tessarel did not
    /// write; true when there are none or the user chose OK.
    bool replacingAllowed(const QStringList& names, ReplacingBuild build);
    /// Asks about the file the page of `source` would replace, if any: false
    /// on Cancel; `replace` tells whether the user let the build replace it.
    bool pageReplacingAllowed(const QString& source, bool& replace);
    bool runSingleFileBuild(bool replaceForeignPage, const std::function<void(bool shown)>& then);
    /// Locks the commands and starts `work`; `show` and then `then` follow on
    /// this thread once it is over and the commands are unlocked.
    bool startBuild(BuildThread::Work work, std::function<void()> show, const ErrorSite& site,
                    std::function<void()> then);
    /// What follows opening `path` from the command line: its "x" and "e" options.
    void actOnOptions(bool project);

    Workspace& workspace_;
    MainWindowState& state_;
    MainView& view_;
    FileDialogs& fileDialogs_;
    FrontEnd& front_;
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

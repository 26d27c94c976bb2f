#pragma once

#include "app/live_preview.h"
#include "app/main_commands.h"
#include "app/main_view.h"
#include "app/preview_browser.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QToolBar;

namespace tessarel {

struct MainWindowState;
struct Workspace;
class HelpWindow;
class WindowUserInterface;
class BusyWindow;
class ProgressWindow;

/// The main window: menus, toolbar, preview browser and status bar over the
/// logic of MainCommands. It owns the progress, busy and help windows.
class MainWindow : public QMainWindow, public MainView, public FileDialogs {
    Q_OBJECT
public:
    MainWindow(Workspace& workspace, MainWindowState& state, WindowUserInterface& ui,
               const BrowserFactory& makeBrowser);
    ~MainWindow() override;

    /// The rest of start-up: window place, recent list, start page, first-run
    /// help and the command line (`commandLineText`, the raw text after the program).
    void startUp(const QString& commandLineText);
    /// Shows the window as the restored state asks.
    void showAsRestored();

    MainCommands& commands() { return commands_; }
    LivePreview& livePreview() { return live_; }
    MainWindowState& state() { return state_; }
    PreviewBrowser* browser() const { return preview; }

    // ---- The builds and the other windows ----
    ProgressWindow* progressWindow();  ///< loads it on first use
    ProgressWindow* loadedProgressWindow() const;
    void showProgressWindow();
    void unloadProgressWindow();
    void lockForBuild();
    void unlockAfterBuild();
    void buildStarted(bool projectBuild);
    void buildFinished(bool projectBuild);
    void showBusy(const QString& title, const QString& current, int maximum);
    void setBusyValue(int value);
    void hideBusy();
    BusyWindow* busyWindow() const;
    void showHelpFile(const QString& file);
    HelpWindow* helpWindow() const;
    /// After a critical error: stop any build and unload.
    void endProgram();
    bool isWindowLoaded(const QWidget* window) const;

    // ---- MainView ----
    void setCaption(const QString& caption) override;
    void setStatusPanel(int panel, const QString& text) override;
    void commandsChanged() override;
    void recentFilesChanged() override;
    bool showDialog(ProjectDialog dialog) override;
    void showAbout() override;
    void processEvents() override;
    void stopBrowser() override;
    void showPage(const QString& html) override;
    void unloadMainWindow() override;
    void beginQuietBuild() override;
    QStringList endQuietBuild() override;
    bool modalWindowOpen() const override;
    void buildEnded() override;

    // ---- FileDialogs ----
    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter) override;

    // ---- Controls ----
    QAction* action(Command command) const { return actions_[static_cast<size_t>(command)]; }
    /// Toolbar positions 1 to 14, separators included.
    QAction* toolbarButton(int position) const { return toolbar_[static_cast<size_t>(position - 1)]; }
    QAction* toolbarButton(const QString& key) const;
    QAction* recentEntry(int index) const { return recentEntries_[static_cast<size_t>(index)]; }
    QAction* recentSeparator() const { return recentSeparator_; }
    QMenu* menu(Menu which) const;
    QLabel* statusPanel(int panel) const;
    /// Shown while the preview loads a page: what it loads, and how far it got.
    QLabel* loadingLabel() const { return loadingLabel_; }
    QProgressBar* loadingBar() const { return loadingBar_; }
    QToolBar* toolBar;
    PreviewBrowser* preview = nullptr;
    QTimer commandLineTimer;

    /// Tests answer the file and project dialogs here instead of the screen.
    std::function<QString(const QString& title, const QString& filter, bool save)> fileDialogHandler;
    std::function<bool(ProjectDialog dialog)> dialogHandler;

Q_SIGNALS:
    /// The window has been unloaded: the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void createMenus();
    void createToolbar();
    void createStatusBar();
    QAction* addCommand(QMenu* menu, Command command, const QString& name, const QString& caption,
                        void (MainCommands::*handler)());
    void toolbarButtonClicked(const QString& key);
    void unloadWindow();
    void applyOnTop();
    void followResize();
    void placePreview();
    void showLoadState();
    void restoreWindowState();
    void saveWindowState();
    /// Runs a handler of this window so that no error escapes into the event loop.
    void handle(const std::function<void()>& body);
    /// A menu or toolbar command: afterwards the live preview watches what is open now.
    void handleCommand(const std::function<void()>& body);

    Workspace& workspace_;
    MainWindowState& state_;
    WindowUserInterface& ui_;
    BrowserFactory makeBrowser_;
    MainCommands commands_;
    LivePreview live_;

    std::array<QAction*, kCommandCount> actions_{};
    std::array<QAction*, 14> toolbar_{};
    std::array<QAction*, 9> recentEntries_{};
    QAction* recentSeparator_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* projectMenu_ = nullptr;
    QMenu* previewMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QLabel* stylePanel_ = nullptr;
    QLabel* documentPanel_ = nullptr;
    QLabel* livePanel_ = nullptr;
    QLabel* loadingLabel_ = nullptr;
    QProgressBar* loadingBar_ = nullptr;
    QAction* liveAction_ = nullptr;

    QPointer<ProgressWindow> progress_;
    QPointer<BusyWindow> busy_;
    static constexpr qint64 kBusyPaintMs = 100;
    QElapsedTimer busyPainted_;
    QPointer<HelpWindow> help_;
    int rememberedState_ = 0;
    bool restoreMaximized_ = false;
    bool unloaded_ = false;
    /// The window was closed while a build ran: it closes again once the build is over.
    bool closeAfterBuild_ = false;
};

}  // namespace tessarel

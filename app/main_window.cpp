#include "app/main_window.h"

#include "app/busy_window.h"
#include "app/handler_guard.h"
#include "app/help_window.h"
#include "app/icons.h"
#include "app/legacy_names.h"
#include "app/main_window_state.h"
#include "app/progress/progress_window.h"
#include "app/stored_lengths.h"
#include "app/window_user_interface.h"
#include "app/window_utilities.h"
#include "book/workspace.h"
#include "project/window_state.h"
#include "support/environment.h"
#include "support/paths.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include <utility>

namespace tessarel {

namespace {

struct ToolbarEntry {
    const char16_t* key;  // "" for a separator
    const char16_t* tooltip;
};

// Fourteen positions; the busy window locks the first thirteen, "ontop" stays.
constexpr std::array<ToolbarEntry, 14> kToolbar{{
    {u"new", u"New Project"},
    {u"open", u"Open Project or File"},
    {u"save", u"Save Project"},
    {u"", u""},
    {u"build", u"Build"},
    {u"", u""},
    {u"settings", u"Output Settings"},
    {u"", u""},
    {u"index", u"Home"},
    {u"back", u"Back"},
    {u"forward", u"Forward"},
    {u"stop", u"Stop"},
    {u"", u""},
    {u"ontop", u"On Top"},
}};

}  // namespace

MainWindow::MainWindow(Workspace& workspace, MainWindowState& state, WindowUserInterface& ui,
                       const BrowserFactory& makeBrowser)
    : toolBar(nullptr),
      preview(nullptr),
      workspace_(workspace),
      state_(state),
      ui_(ui),
      makeBrowser_(makeBrowser),
      commands_(workspace, state, *this, *this, ui),
      live_(workspace, commands_, *this) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Tessarel"));
    setWindowIcon(ProgramIcon());
    ui_.attach(this);
    state_.frontEnd = &ui_;
    // Builds run on a thread of their own; the window's event loop never waits for one.
    commands_.builds.runOnThread(&ui_.cancelFlag());
    createMenus();
    createToolbar();
    createStatusBar();
    preview = makeBrowser_(this);
    preview->setObjectName(QStringLiteral("preview"));
    setCentralWidget(preview);
    resize(820, 620);
    connect(preview, &PreviewBrowser::stateChanged, this, &MainWindow::commandsChanged);
    connect(preview, &PreviewBrowser::stateChanged, this, &MainWindow::showLoadState);
    connect(preview, &PreviewBrowser::loadFinished, this, &MainWindow::showLoadState);
    connect(preview, &PreviewBrowser::loadProgress, this, [this](int percent) {
        showLoadState();
        loadingBar_->setValue(percent);
    });

    commandLineTimer.setSingleShot(true);
    connect(&commandLineTimer, &QTimer::timeout, this, [this] {
        handleCommand([this] {
            if (isWindowLoaded(this)) {
                commandLineTimer.stop();
                commands_.openCommandLineFile();
            }
        });
    });
    commandsChanged();
}

MainWindow::~MainWindow() {
    // A build still running stops at its next file; the commands wait for it.
    ui_.setCancelRequested(true);
    ui_.attach(nullptr);
}

void MainWindow::handle(const std::function<void()>& body) { RunEventHandler(body); }

void MainWindow::handleCommand(const std::function<void()>& body) {
    RunEventHandler(body);
    RunEventHandler([this] { live_.follow(); });
}

// ---- Controls -----------------------------------------------------------------

QAction* MainWindow::addCommand(QMenu* menu, Command command, const QString& name, const QString& caption,
                                void (MainCommands::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    actions_[static_cast<size_t>(command)] = action;
    connect(action, &QAction::triggered, this,
            [this, handler] { handleCommand([this, handler] { (commands_.*handler)(); }); });
    return action;
}

void MainWindow::createMenus() {
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));
    addCommand(fileMenu_, Command::NewProject, QStringLiteral("newProject"), QStringLiteral("&New Project..."),
               &MainCommands::newProject)
        ->setShortcut(QKeySequence::New);
    addCommand(fileMenu_, Command::Open, QStringLiteral("open"), QStringLiteral("&Open..."), &MainCommands::openFile)
        ->setShortcut(QKeySequence::Open);
    addCommand(fileMenu_, Command::CloseProject, QStringLiteral("closeProject"), QStringLiteral("&Close Project"),
               &MainCommands::closeProject);
    fileMenu_->addSeparator();
    addCommand(fileMenu_, Command::SaveProject, QStringLiteral("saveProject"), QStringLiteral("&Save Project"),
               &MainCommands::saveProject)
        ->setShortcut(QKeySequence::Save);
    addCommand(fileMenu_, Command::SaveProjectAs, QStringLiteral("saveProjectAs"),
               QStringLiteral("Save Project &As..."), &MainCommands::saveProjectAs);
    fileMenu_->addSeparator();
    for (int i = 0; i < 9; ++i) {
        QAction* entry = fileMenu_->addAction(QString());
        entry->setObjectName(QStringLiteral("recentFile") + QString::number(i));
        entry->setVisible(false);
        connect(entry, &QAction::triggered, this,
                [this, i] { handleCommand([this, i] { commands_.openRecentFile(i); }); });
        recentEntries_[static_cast<size_t>(i)] = entry;
    }
    recentSeparator_ = fileMenu_->addSeparator();
    recentSeparator_->setObjectName(QStringLiteral("recentSeparator"));
    recentSeparator_->setVisible(false);
    addCommand(fileMenu_, Command::Exit, QStringLiteral("exit"), QStringLiteral("E&xit"), &MainCommands::exit)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));

    projectMenu_ = menuBar()->addMenu(QStringLiteral("&Project"));
    projectMenu_->setObjectName(QStringLiteral("projectMenu"));
    addCommand(projectMenu_, Command::Files, QStringLiteral("files"), QStringLiteral("&Add Files..."),
               &MainCommands::editFiles);
    addCommand(projectMenu_, Command::Destination, QStringLiteral("destination"),
               QStringLiteral("Destination &Path..."), &MainCommands::editDestination);
    addCommand(projectMenu_, Command::Settings, QStringLiteral("settings"), QStringLiteral("&Settings..."),
               &MainCommands::editSettings);
    addCommand(projectMenu_, Command::DefaultChapter, QStringLiteral("defaultChapter"),
               QStringLiteral("&Default Chapter..."), &MainCommands::editDefaultChapter);
    addCommand(projectMenu_, Command::CommentStyles, QStringLiteral("commentStyles"), QStringLiteral("&Comments..."),
               &MainCommands::editCommentStyles);
    projectMenu_->addSeparator();
    addCommand(projectMenu_, Command::Build, QStringLiteral("build"), QStringLiteral("&Build Documentation"),
               &MainCommands::build)
        ->setShortcut(QKeySequence(QStringLiteral("F7")));
    addCommand(projectMenu_, Command::RebuildAll, QStringLiteral("rebuildAll"), QStringLiteral("&Rebuild All"),
               &MainCommands::rebuildAll)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+F7")));

    previewMenu_ = menuBar()->addMenu(QStringLiteral("P&review"));
    previewMenu_->setObjectName(QStringLiteral("previewMenu"));
    addCommand(previewMenu_, Command::ViewHtmlHelp, QStringLiteral("viewHtmlHelp"), QStringLiteral("Latest HTML H&elp"),
               &MainCommands::viewHtmlHelp);
    addCommand(previewMenu_, Command::ViewBook, QStringLiteral("viewBook"), QStringLiteral("Latest &HTML"),
               &MainCommands::viewBook);
    previewMenu_->addSeparator();
    liveAction_ = previewMenu_->addAction(QStringLiteral("&Live Preview"));
    liveAction_->setObjectName(QStringLiteral("livePreview"));
    liveAction_->setCheckable(true);
    liveAction_->setChecked(live_.enabled());
    liveAction_->setToolTip(QStringLiteral("Rebuild and reload the preview whenever an open file is saved"));
    connect(liveAction_, &QAction::toggled, this, [this](bool on) { handle([this, on] { live_.setEnabled(on); }); });

    helpMenu_ = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu_->setObjectName(QStringLiteral("helpMenu"));
    addCommand(helpMenu_, Command::HelpContents, QStringLiteral("helpContents"), QStringLiteral("&Contents..."),
               &MainCommands::showHelpContents)
        ->setShortcut(QKeySequence::HelpContents);
    addCommand(helpMenu_, Command::Website, QStringLiteral("website"), QStringLiteral("Tessarel on the &Web"),
               &MainCommands::openWebsite);
    helpMenu_->addSeparator();
    addCommand(helpMenu_, Command::About, QStringLiteral("about"), QStringLiteral("&About Tessarel..."),
               &MainCommands::about);
}

void MainWindow::createToolbar() {
    toolBar = addToolBar(QString::fromUtf16(kToolbarTitle));
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(false);
    toolBar->setIconSize(QSize(24, 24));
    for (size_t i = 0; i < kToolbar.size(); ++i) {
        const QString key = QString::fromUtf16(kToolbar[i].key);
        if (key.isEmpty()) {
            toolbar_[i] = toolBar->addSeparator();
            continue;
        }
        QAction* button = toolBar->addAction(ToolbarIcon(key), QString::fromUtf16(kToolbar[i].tooltip));
        button->setObjectName(key);
        button->setToolTip(QString::fromUtf16(kToolbar[i].tooltip));
        button->setCheckable(key == QStringLiteral("ontop"));
        connect(button, &QAction::triggered, this,
                [this, key] { handleCommand([this, key] { toolbarButtonClicked(key); }); });
        toolbar_[i] = button;
    }
}

void MainWindow::createStatusBar() {
    stylePanel_ = new QLabel(this);
    stylePanel_->setObjectName(QStringLiteral("stylePanel"));
    stylePanel_->setToolTip(QStringLiteral("Current Style"));
    stylePanel_->setMinimumWidth(160);
    documentPanel_ = new QLabel(this);
    documentPanel_->setObjectName(QStringLiteral("documentPanel"));
    documentPanel_->setToolTip(QStringLiteral("Current Project or File"));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->addWidget(stylePanel_);
    statusBar()->addWidget(documentPanel_, 1);
    livePanel_ = new QLabel(this);
    livePanel_->setObjectName(QStringLiteral("livePanel"));
    livePanel_->setToolTip(QStringLiteral("Live Preview"));
    statusBar()->addPermanentWidget(livePanel_);
    loadingLabel_ = new QLabel(this);
    loadingLabel_->setObjectName(QStringLiteral("loadingLabel"));
    loadingBar_ = new QProgressBar(this);
    loadingBar_->setObjectName(QStringLiteral("loadingBar"));
    loadingBar_->setRange(0, 100);
    loadingBar_->setFixedWidth(120);
    loadingBar_->setTextVisible(false);
    statusBar()->addPermanentWidget(loadingLabel_);
    statusBar()->addPermanentWidget(loadingBar_);
    loadingLabel_->hide();
    loadingBar_->hide();
}

void MainWindow::showLoadState() {
    // A large page can take the web engine a long while: the page shown so
    // far stays, and the status bar tells that the new one is on its way.
    const bool loading = preview != nullptr && preview->isLoading();
    if (loading && loadingLabel_->isHidden()) {
        loadingBar_->setValue(0);
    }
    if (loading) {
        const QString name = FileNameOf(preview->currentAddress());
        loadingLabel_->setText(name.isEmpty() ? QStringLiteral("Loading the page...")
                                              : QStringLiteral("Loading ") + name + QStringLiteral("..."));
    }
    loadingLabel_->setVisible(loading);
    loadingBar_->setVisible(loading);
}

QLabel* MainWindow::statusPanel(int panel) const {
    switch (panel) {
    case 1:
        return stylePanel_;
    case LivePreview::kStatusPanel:
        return livePanel_;
    default:
        return documentPanel_;
    }
}

QAction* MainWindow::toolbarButton(const QString& key) const {
    for (QAction* button : toolbar_) {
        if (button->objectName() == key) {
            return button;
        }
    }
    return nullptr;
}

QMenu* MainWindow::menu(Menu which) const {
    switch (which) {
    case Menu::File:
        return fileMenu_;
    case Menu::Project:
        return projectMenu_;
    case Menu::Preview:
        return previewMenu_;
    case Menu::Help:
        return helpMenu_;
    }
    return nullptr;
}

// ---- Load, activate, resize, unload ------------------------------------------------

void MainWindow::startUp(const QString& commandLineText) {
    // Every step goes on even when the one before it failed.
    RunIgnoringErrors([this] { processEvents(); });
    RunIgnoringErrors([this] { restoreWindowState(); });
    RunIgnoringErrors([this] { ui_.setCancelRequested(false); });
    RunIgnoringErrors([this] { commands_.loadRecentList(); });
    RunIgnoringErrors([this] { commands_.showDocumentName(QString()); });
    RunIgnoringErrors([this] {
        placePreview();
        processEvents();
        ui_.navigate(commands_.introPage());
        processEvents();
    });
    RunIgnoringErrors([this] { commands_.showStartState(); });
    RunIgnoringErrors([this] { commands_.showWalkThroughOnFirstRun(); });
    RunIgnoringErrors([&] {
        const bool arm = commands_.takeCommandLine(commandLineText, QDir::currentPath(), [](const QString& folder) {
            QDir::setCurrent(folder);
            return QDir::currentPath();
        });
        if (arm) {
            commandLineTimer.stop();
            commandLineTimer.setInterval(400);
            commandLineTimer.start();
        }
    });
}

void MainWindow::unloadWindow() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    live_.stop();
    // A build still running stops at its next file.
    ui_.setCancelRequested(true);
    commandLineTimer.stop();
    try {
        RunReported(workspace_.env, ui_, sites::kUnloadWindow, [this] {
            saveWindowState();
            if (help_) {
                help_->close();
            }
            if (busy_) {
                busy_->close();
                busy_->deleteLater();
            }
            unloadProgressWindow();
        });
    } catch (const ProgramEnding&) {
        // Reported; the program ends all the same.
    }
    Q_EMIT unloaded();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    if (commands_.commands.building()) {
        // The build stops at its next file; the question comes once it has,
        // with no build under it that could read a closed project.
        ui_.setCancelRequested(true);
        closeAfterBuild_ = true;
        event->ignore();
        return;
    }
    // The close box and the window manager's close ask as Exit does.
    bool quit = false;
    handle([&] { quit = commands_.mayQuit(); });
    if (!quit) {
        event->ignore();
        return;
    }
    handle([this] { unloadWindow(); });
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        handle([this] { followResize(); });
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    handle([this] { followResize(); });
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        handle([this] { applyOnTop(); });
    }
    return QMainWindow::event(event);
}

bool MainWindow::isWindowLoaded(const QWidget* window) const {
    bool loaded = false;
    RunReported(workspace_.env, ui_, sites::kIsWindowLoaded, [&] {
        if (window == this) {
            loaded = !unloaded_;
            return;
        }
        loaded = window != nullptr && QApplication::topLevelWidgets().contains(const_cast<QWidget*>(window));
    });
    return loaded;
}

void MainWindow::endProgram() {
    ui_.setCancelRequested(true);
    unloadMainWindow();
}

// ---- Toolbar ------------------------------------------------------------------------

void MainWindow::toolbarButtonClicked(const QString& key) {
    if (key == QStringLiteral("back")) {
        preview->back();
    } else if (key == QStringLiteral("forward")) {
        preview->forward();
    } else if (key == QStringLiteral("stop")) {
        preview->stop();
    } else if (key == QStringLiteral("new")) {
        commands_.newProject();
    } else if (key == QStringLiteral("open")) {
        commands_.openFile();
    } else if (key == QStringLiteral("save")) {
        commands_.saveFromToolbar();
    } else if (key == QStringLiteral("build")) {
        commands_.build();
    } else if (key == QStringLiteral("settings")) {
        commands_.editSettings();
    } else if (key == QStringLiteral("index")) {
        commands_.goHome();
    } else if (key == QStringLiteral("ontop")) {
        unloadProgressWindow();
        state_.alwaysOnTop = toolbarButton(QStringLiteral("ontop"))->isChecked();
        if (state_.alwaysOnTop) {
            MakeTopmost(this);
        } else {
            MakeNotTopmost(this);
        }
    }
}

// ---- MainView -----------------------------------------------------------------------

void MainWindow::setCaption(const QString& caption) { setWindowTitle(caption); }

void MainWindow::setStatusPanel(int panel, const QString& text) { statusPanel(panel)->setText(text); }

void MainWindow::commandsChanged() {
    CommandStates& states = commands_.commands;
    if (preview != nullptr) {
        states.setBrowserState(preview->canGoBack(), preview->canGoForward(), preview->isLoading());
    }
    for (int i = 0; i < kCommandCount; ++i) {
        actions_[static_cast<size_t>(i)]->setEnabled(states.isEnabled(static_cast<Command>(i)));
    }
    for (QAction* entry : recentEntries_) {
        entry->setEnabled(states.recentEnabled());
    }
    for (Menu which : {Menu::File, Menu::Project, Menu::Preview, Menu::Help}) {
        menu(which)->menuAction()->setEnabled(states.menuEnabled(which));
    }
    for (int position = 1; position <= CommandStates::kToolbarPositions; ++position) {
        toolbarButton(position)->setEnabled(states.toolbarEnabled(position));
    }
}

void MainWindow::recentFilesChanged() {
    const std::vector<RecentList::MenuEntry> entries = commands_.recent.menuEntries();
    for (size_t i = 0; i < recentEntries_.size(); ++i) {
        const bool present = i < entries.size();
        recentEntries_[i]->setText(present ? entries[i].caption : QString());
        recentEntries_[i]->setVisible(present && entries[i].visible);
    }
    recentSeparator_->setVisible(commands_.recent.separatorVisible());
}

void MainWindow::processEvents() { QCoreApplication::processEvents(); }

void MainWindow::stopBrowser() { preview->stop(); }

void MainWindow::showPage(const QString& html) { preview->showHtml(html); }

void MainWindow::beginQuietBuild() { ui_.beginQuiet(); }

QStringList MainWindow::endQuietBuild() { return ui_.endQuiet(); }

bool MainWindow::modalWindowOpen() const { return QApplication::activeModalWidget() != nullptr; }

void MainWindow::unloadMainWindow() {
    unloadWindow();
    close();
}

}  // namespace tessarel

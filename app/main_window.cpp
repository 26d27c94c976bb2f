#include "app/main_window.h"

#include "app/busy_window.h"
#include "app/handler_guard.h"
#include "app/help_window.h"
#include "app/icons.h"
#include "app/main_window_state.h"
#include "app/progress/progress_window.h"
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
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

namespace tessarel {

namespace {

const QString kModule = QStringLiteral("frmMain");
constexpr int kBrowserMinimumTwips = 120;

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

WindowShow ShowOf(const QWidget* window) {
    if (window->isMinimized()) {
        return WindowShow::Minimized;
    }
    return window->isMaximized() ? WindowShow::Maximized : WindowShow::Normal;
}

}  // namespace

frmMain::frmMain(Workspace& workspace, MainWindowState& state, WindowUserInterface& ui,
                 const BrowserFactory& makeBrowser)
    : Toolbar1(nullptr),
      WebBrowser1(nullptr),
      workspace_(workspace),
      state_(state),
      ui_(ui),
      makeBrowser_(makeBrowser),
      commands_(workspace, state, *this, *this) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tessarel"));
    setWindowIcon(ProgramIcon());
    ui_.attach(this);
    createMenus();
    createToolbar();
    createStatusBar();
    WebBrowser1 = makeBrowser_(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    setCentralWidget(WebBrowser1);
    resize(820, 620);

    tmrLoad.setSingleShot(true);
    connect(&tmrLoad, &QTimer::timeout, this, [this] {
        handle([this] {
            if (IsFormLoaded(this)) {
                tmrLoad.stop();
                commands_.tmrLoad_Timer();
            }
        });
    });
    commandsChanged();
}

frmMain::~frmMain() { ui_.attach(nullptr); }

void frmMain::handle(const std::function<void()>& body) { RunEventHandler(body); }

// ---- Controls -----------------------------------------------------------------

QAction* frmMain::addCommand(QMenu* menu, Command command, const QString& name, const QString& caption,
                             void (MainCommands::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    actions_[static_cast<size_t>(command)] = action;
    connect(action, &QAction::triggered, this,
            [this, handler] { handle([this, handler] { (commands_.*handler)(); }); });
    return action;
}

void frmMain::createMenus() {
    mnuFile_ = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    addCommand(mnuFile_, Command::NewProject, QStringLiteral("mnuNewProject"), QStringLiteral("&New Project..."),
               &MainCommands::mnuNewProject_Click)
        ->setShortcut(QKeySequence::New);
    addCommand(mnuFile_, Command::FileOpen, QStringLiteral("mnuFileOpen"), QStringLiteral("&Open..."),
               &MainCommands::mnuFileOpen_Click)
        ->setShortcut(QKeySequence::Open);
    addCommand(mnuFile_, Command::CloseProject, QStringLiteral("mnuCloseProject"), QStringLiteral("&Close Project"),
               &MainCommands::mnuCloseProject_Click);
    mnuFile_->addSeparator();
    addCommand(mnuFile_, Command::SaveProject, QStringLiteral("mnuSaveProject"), QStringLiteral("&Save Project"),
               &MainCommands::mnuSaveProject_Click)
        ->setShortcut(QKeySequence::Save);
    addCommand(mnuFile_, Command::SaveProjectAs, QStringLiteral("mnuSaveProjectAs"),
               QStringLiteral("Save Project &As..."), &MainCommands::mnuSaveProjectAs_Click);
    mnuFile_->addSeparator();
    for (int i = 0; i < 9; ++i) {
        QAction* entry = mnuFile_->addAction(QString());
        entry->setObjectName(QStringLiteral("mnuPast_") + QString::number(i));
        entry->setVisible(false);
        connect(entry, &QAction::triggered, this, [this, i] { handle([this, i] { commands_.mnuPast_Click(i); }); });
        mnuPast_[static_cast<size_t>(i)] = entry;
    }
    mnuPastSeparator_ = mnuFile_->addSeparator();
    mnuPastSeparator_->setObjectName(QStringLiteral("mnuPast_100"));
    mnuPastSeparator_->setVisible(false);
    addCommand(mnuFile_, Command::FileExit, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"),
               &MainCommands::mnuFileExit_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));

    mnuProject_ = menuBar()->addMenu(QStringLiteral("&Project"));
    mnuProject_->setObjectName(QStringLiteral("mnuProject"));
    addCommand(mnuProject_, Command::AddFiles, QStringLiteral("mnuAddFiles"), QStringLiteral("&Add Files..."),
               &MainCommands::mnuAddFiles_Click);
    addCommand(mnuProject_, Command::DestPath, QStringLiteral("mnuDestPath"), QStringLiteral("Destination &Path..."),
               &MainCommands::mnuDestPath_Click);
    addCommand(mnuProject_, Command::Settings, QStringLiteral("mnuSettings"), QStringLiteral("&Settings..."),
               &MainCommands::mnuSettings_Click);
    addCommand(mnuProject_, Command::HomeChapter, QStringLiteral("mnuHomeChapter"),
               QStringLiteral("&Default Chapter..."), &MainCommands::mnuHomeChapter_Click);
    addCommand(mnuProject_, Command::Comments, QStringLiteral("mnuComments"), QStringLiteral("&Comments..."),
               &MainCommands::mnuComments_Click);
    mnuProject_->addSeparator();
    addCommand(mnuProject_, Command::GenDoc, QStringLiteral("mnuGenDoc"), QStringLiteral("&Build Documentation"),
               &MainCommands::BuildDocumentation)
        ->setShortcut(QKeySequence(QStringLiteral("F7")));

    mnuView_ = menuBar()->addMenu(QStringLiteral("P&review"));
    mnuView_->setObjectName(QStringLiteral("mnuView"));
    addCommand(mnuView_, Command::ViewHTMLHelp, QStringLiteral("mnuViewHTMLHelp"), QStringLiteral("Latest HTML H&elp"),
               &MainCommands::mnuViewHTMLHelp_Click);
    addCommand(mnuView_, Command::ViewBrowser, QStringLiteral("mnuViewBrowser"), QStringLiteral("Latest &HTML"),
               &MainCommands::mnuViewBrowser_Click);

    mnuHelp_ = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp_->setObjectName(QStringLiteral("mnuHelp"));
    addCommand(mnuHelp_, Command::ReferenceManual, QStringLiteral("mnuReferenceManual"), QStringLiteral("&Contents..."),
               &MainCommands::mnuReferenceManual_Click)
        ->setShortcut(QKeySequence::HelpContents);
    addCommand(mnuHelp_, Command::Web, QStringLiteral("mnuWeb"), QStringLiteral("Tessarel on the &Web"),
               &MainCommands::mnuWeb_Click);
    mnuHelp_->addSeparator();
    addCommand(mnuHelp_, Command::HelpAbout, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About Tessarel..."),
               &MainCommands::mnuHelpAbout_Click);
}

void frmMain::createToolbar() {
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setIconSize(QSize(24, 24));
    for (size_t i = 0; i < kToolbar.size(); ++i) {
        const QString key = QString::fromUtf16(kToolbar[i].key);
        if (key.isEmpty()) {
            toolbar_[i] = Toolbar1->addSeparator();
            continue;
        }
        QAction* button = Toolbar1->addAction(ToolbarIcon(key), QString::fromUtf16(kToolbar[i].tooltip));
        button->setObjectName(key);
        button->setToolTip(QString::fromUtf16(kToolbar[i].tooltip));
        button->setCheckable(key == QStringLiteral("ontop"));
        connect(button, &QAction::triggered, this, [this, key] { handle([this, key] { Toolbar1_ButtonClick(key); }); });
        toolbar_[i] = button;
    }
}

void frmMain::createStatusBar() {
    panel1_ = new QLabel(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setToolTip(QStringLiteral("Current Style"));
    panel1_->setMinimumWidth(160);
    panel2_ = new QLabel(this);
    panel2_->setObjectName(QStringLiteral("Panel2"));
    panel2_->setToolTip(QStringLiteral("Current Project or File"));
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(panel1_);
    statusBar()->addWidget(panel2_, 1);
}

QAction* frmMain::toolbarButton(const QString& key) const {
    for (QAction* button : toolbar_) {
        if (button->objectName() == key) {
            return button;
        }
    }
    return nullptr;
}

QMenu* frmMain::menu(Menu which) const {
    switch (which) {
    case Menu::File:
        return mnuFile_;
    case Menu::Project:
        return mnuProject_;
    case Menu::Preview:
        return mnuView_;
    case Menu::Help:
        return mnuHelp_;
    }
    return nullptr;
}

// ---- Load, activate, resize, unload ------------------------------------------------

void frmMain::Form_Load(const QString& commandLineText) {
    // Every step goes on even when the one before it failed.
    RunIgnoringErrors([this] { processEvents(); });
    RunIgnoringErrors([this] { restoreWindowState(); });
    RunIgnoringErrors([this] { ui_.setCancelRequested(false); });
    RunIgnoringErrors([this] { commands_.LoadRecentList(); });
    RunIgnoringErrors([this] { commands_.ShowDocumentName(QString()); });
    RunIgnoringErrors([this] {
        PositionWebBrowser();
        processEvents();
        ui_.navigate(commands_.IntroPage());
        processEvents();
    });
    RunIgnoringErrors([this] { commands_.ShowStartState(); });
    RunIgnoringErrors([this] { commands_.FirstRunWalkThrough(); });
    RunIgnoringErrors([&] {
        const bool arm = commands_.TakeCommandLine(commandLineText, QDir::currentPath(), [](const QString& folder) {
            QDir::setCurrent(folder);
            return QDir::currentPath();
        });
        if (arm) {
            tmrLoad.stop();
            tmrLoad.setInterval(400);
            tmrLoad.start();
        }
    });
}

void frmMain::showAsRestored() {
    if (restoreMaximized_) {
        showMaximized();
    } else {
        show();
    }
}

void frmMain::restoreWindowState() {
    const RestoredWindowState restored =
        ReadWindowStateFile(DataFolderFile(workspace_.env.paths, kWindowStateFileName));
    const double dpi = ScreenDpi(this);
    if (!restored.fileRead) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            const QRect area = screen->geometry();
            move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
        }
        rememberedState_ = kStateNormal;
        return;
    }
    if (restored.left) {
        move(TwipsToPixels(*restored.left, dpi), y());
    }
    if (restored.top) {
        move(x(), TwipsToPixels(*restored.top, dpi));
    }
    if (restored.width) {
        resize(TwipsToPixels(*restored.width, dpi), height());
    }
    if (restored.height) {
        resize(width(), TwipsToPixels(*restored.height, dpi));
    }
    restoreMaximized_ = restored.maximize;
    rememberedState_ = restored.remembered;
}

void frmMain::saveWindowState() {
    const double dpi = ScreenDpi(this);
    const WindowShow now = ShowOf(this);
    // The normal bounds, also while maximized or minimized: the frame's place
    // and the window's inner size, which is what restoring sets again.
    QRect bounds(pos(), size());
    if (now != WindowShow::Normal && normalGeometry().isValid()) {
        const QPoint frameOffset = geometry().topLeft() - frameGeometry().topLeft();
        bounds = QRect(normalGeometry().topLeft() - frameOffset, normalGeometry().size());
    }
    WindowState saved;
    saved.state = StateToWrite(rememberedState_, now);
    saved.left = static_cast<float>(PixelsToTwips(bounds.x(), dpi));
    saved.top = static_cast<float>(PixelsToTwips(bounds.y(), dpi));
    saved.width = static_cast<float>(PixelsToTwips(bounds.width(), dpi));
    saved.height = static_cast<float>(PixelsToTwips(bounds.height(), dpi));
    QDir().mkpath(workspace_.env.paths.dataFolder);
    WriteWindowStateFile(ui_, DataFolderFile(workspace_.env.paths, kWindowStateFileName), saved);
}

void frmMain::Form_Activate() {
    RunReported(workspace_.env, kModule, QStringLiteral("Form_Activate"), [this] {
        if (state_.blnOnTop) {
            MakeTopmost(this);
        } else {
            MakeNotTopmost(this);
        }
    });
}

void frmMain::Form_Resize() {
    RunReported(workspace_.env, kModule, QStringLiteral("Form_Resize"), [this] {
        PositionWebBrowser();
        rememberedState_ = ResizedState(rememberedState_, ShowOf(this));
    });
}

void frmMain::PositionWebBrowser() {
    RunReported(workspace_.env, kModule, QStringLiteral("PositionWebBrowser"), [this] {
        // The layout gives the browser the window's inner area; it never gets
        // smaller than its minimum.
        if (WebBrowser1 != nullptr) {
            WebBrowser1->setMinimumHeight(TwipsToPixels(kBrowserMinimumTwips, ScreenDpi(this)));
        }
    });
}

void frmMain::Form_Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    // A build still running stops at its next file.
    ui_.setCancelRequested(true);
    tmrLoad.stop();
    try {
        RunReported(workspace_.env, kModule, QStringLiteral("Form_Unload"), [this] {
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

void frmMain::closeEvent(QCloseEvent* event) {
    // The close box asks no question.
    handle([this] { Form_Unload(); });
    event->accept();
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        handle([this] { Form_Resize(); });
    }
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    handle([this] { Form_Resize(); });
}

bool frmMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        handle([this] { Form_Activate(); });
    }
    return QMainWindow::event(event);
}

bool frmMain::IsFormLoaded(const QWidget* window) const {
    bool loaded = false;
    RunReported(workspace_.env, kModule, QStringLiteral("IsFormLoaded"), [&] {
        if (window == this) {
            loaded = !unloaded_;
            return;
        }
        loaded = window != nullptr && QApplication::topLevelWidgets().contains(const_cast<QWidget*>(window));
    });
    return loaded;
}

void frmMain::endProgram() {
    ui_.setCancelRequested(true);
    unloadMainWindow();
}

// ---- Toolbar ------------------------------------------------------------------------

void frmMain::Toolbar1_ButtonClick(const QString& key) {
    if (key == QStringLiteral("back")) {
        WebBrowser1->back();
    } else if (key == QStringLiteral("forward")) {
        WebBrowser1->forward();
    } else if (key == QStringLiteral("stop")) {
        WebBrowser1->stop();
    } else if (key == QStringLiteral("new")) {
        commands_.mnuNewProject_Click();
    } else if (key == QStringLiteral("open")) {
        commands_.mnuFileOpen_Click();
    } else if (key == QStringLiteral("save")) {
        commands_.SaveToolbar_Click();
    } else if (key == QStringLiteral("build")) {
        commands_.BuildDocumentation();
    } else if (key == QStringLiteral("settings")) {
        commands_.mnuSettings_Click();
    } else if (key == QStringLiteral("index")) {
        commands_.Home_Click();
    } else if (key == QStringLiteral("ontop")) {
        unloadProgressWindow();
        state_.blnOnTop = toolbarButton(QStringLiteral("ontop"))->isChecked();
        if (state_.blnOnTop) {
            MakeTopmost(this);
        } else {
            MakeNotTopmost(this);
        }
    }
}

void frmMain::DisableToolbarButtons() { commands_.setBuilding(true); }

void frmMain::EnableToolbarButtons() { commands_.setBuilding(false); }

// ---- MainView -----------------------------------------------------------------------

void frmMain::setCaption(const QString& caption) { setWindowTitle(caption); }

void frmMain::setStatusPanel(int panel, const QString& text) { statusPanel(panel)->setText(text); }

void frmMain::commandsChanged() {
    const CommandStates& states = commands_.commands;
    for (int i = 0; i < kCommandCount; ++i) {
        actions_[static_cast<size_t>(i)]->setEnabled(states.isEnabled(static_cast<Command>(i)));
    }
    for (QAction* entry : mnuPast_) {
        entry->setEnabled(states.recentEnabled());
    }
    for (Menu which : {Menu::File, Menu::Project, Menu::Preview, Menu::Help}) {
        menu(which)->menuAction()->setEnabled(states.menuEnabled(which));
    }
    for (int position = 1; position <= CommandStates::kToolbarPositions; ++position) {
        toolbarButton(position)->setEnabled(states.toolbarEnabled(position));
    }
}

void frmMain::recentFilesChanged() {
    const std::vector<RecentList::MenuEntry> entries = commands_.recent.menuEntries();
    for (size_t i = 0; i < mnuPast_.size(); ++i) {
        const bool present = i < entries.size();
        mnuPast_[i]->setText(present ? entries[i].caption : QString());
        mnuPast_[i]->setVisible(present && entries[i].visible);
    }
    mnuPastSeparator_->setVisible(commands_.recent.separatorVisible());
}

void frmMain::processEvents() { QCoreApplication::processEvents(); }

void frmMain::stopBrowser() { WebBrowser1->stop(); }

void frmMain::unloadMainWindow() {
    Form_Unload();
    close();
}

}  // namespace tessarel

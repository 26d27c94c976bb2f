#include "app/about_box.h"
#include "app/busy_window.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/progress/progress_window.h"
#include "app/window_user_interface.h"
#include "app/window_utilities.h"
#include "app_testing.h"
#include "book/workspace.h"
#include "project/project_file.h"
#include "project/window_state.h"
#include "support/error_report.h"
#include "support/file_functions.h"
#include "support/preferences.h"
#include "support/testing.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolBar>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tessarel {
namespace {

using testing::RecordingBrowser;

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        ui.messageHandler = [this](const QString& title, const QString& text, MessageIcon, MessageButtons) {
            messages << title + QStringLiteral(": ") + text;
            return MessageAnswer::Ok;
        };
        ui.shellHandler = [this](const QString& target) { shellOpens << target; };
        window->dialogHandler = [](ProjectDialog) { return true; };
    }

    RecordingBrowser* browser() const { return static_cast<RecordingBrowser*>(window->browser()); }
    QString fsXml() const { return DataFolderFile(te.env->paths, kWindowStateFileName); }
    QStringList captions(QMenu* menu) const {
        QStringList result;
        for (QAction* action : menu->actions()) {
            result << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return result;
    }
    QString project(int files) {
        ProjectModel model;
        model.ProjectPath = te.path(QStringLiteral("proj/p.qdx"));
        model.ProjectFolder = FolderOf(model.ProjectPath);
        model.ProjectFileName = QStringLiteral("p.qdx");
        model.settings.RelDestPath = QStringLiteral("out/");
        for (int i = 0; i < files; ++i) {
            const QString name = QStringLiteral("f%1.c").arg(i);
            testing::WriteBytes(model.ProjectFolder + name, testing::DocumentedSource(name).toUtf8());
            model.Chapters[static_cast<size_t>(i)] = Chapter{name, QString(), {}, false};
        }
        model.NumberOfChapters = files;
        testing::RecordingUserInterface quiet;
        SaveProject(quiet, model, model.ProjectPath);
        return model.ProjectPath;
    }

    testing::TestEnvironment te;
    WindowUserInterface ui;
    Environment env{ui, *te.preferences, te.env->paths};
    Workspace ws{env};
    MainWindowState state;
    std::unique_ptr<frmMain> window = std::make_unique<frmMain>(
        ws, state, ui, [](QWidget* parent) -> PreviewBrowser* { return new RecordingBrowser(parent); });
    QStringList messages, shellOpens;
};

TEST_F(MainWindowTest, menusCarryTheirCaptionsInOrder) {
    EXPECT_EQ(window->menu(Menu::File)->title(), QStringLiteral("&File"));
    EXPECT_EQ(window->menu(Menu::Project)->title(), QStringLiteral("&Project"));
    EXPECT_EQ(window->menu(Menu::Preview)->title(), QStringLiteral("P&review"));
    EXPECT_EQ(window->menu(Menu::Help)->title(), QStringLiteral("&Help"));
    const QStringList file = captions(window->menu(Menu::File));
    EXPECT_EQ(file.mid(0, 6), (QStringList{QStringLiteral("&New Project..."), QStringLiteral("&Open..."),
                                           QStringLiteral("&Close Project"), QStringLiteral("-"),
                                           QStringLiteral("&Save Project"), QStringLiteral("Save Project &As...")}));
    EXPECT_EQ(file.size(), 6 + 1 + 9 + 1 + 1);
    EXPECT_EQ(file.back(), QStringLiteral("E&xit"));
    EXPECT_EQ(captions(window->menu(Menu::Project)),
              (QStringList{QStringLiteral("&Add Files..."), QStringLiteral("Destination &Path..."),
                           QStringLiteral("&Settings..."), QStringLiteral("&Default Chapter..."),
                           QStringLiteral("&Comments..."), QStringLiteral("-"),
                           QStringLiteral("&Build Documentation")}));
    EXPECT_EQ(captions(window->menu(Menu::Preview)),
              (QStringList{QStringLiteral("Latest HTML H&elp"), QStringLiteral("Latest &HTML")}));
    EXPECT_EQ(captions(window->menu(Menu::Help)),
              (QStringList{QStringLiteral("&Contents..."), QStringLiteral("Tessarel on the &Web"),
                           QStringLiteral("-"), QStringLiteral("&About Tessarel...")}));
    EXPECT_FALSE(window->action(Command::CloseProject)->isEnabled());
    EXPECT_FALSE(window->action(Command::GenDoc)->isEnabled());
    EXPECT_TRUE(window->action(Command::Settings)->isEnabled());
}

TEST_F(MainWindowTest, toolbarHasFourteenPositions) {
    const QStringList keys{QStringLiteral("new"),   QStringLiteral("open"),    QStringLiteral("save"),
                           QString(),               QStringLiteral("build"),   QString(),
                           QStringLiteral("settings"), QString(),            QStringLiteral("index"),
                           QStringLiteral("back"),  QStringLiteral("forward"), QStringLiteral("stop"),
                           QString(),               QStringLiteral("ontop")};
    ASSERT_EQ(window->Toolbar1->actions().size(), 14);
    for (int position = 1; position <= 14; ++position) {
        QAction* button = window->toolbarButton(position);
        EXPECT_EQ(button->isSeparator(), keys[position - 1].isEmpty()) << position;
        if (!button->isSeparator()) {
            EXPECT_EQ(button->objectName(), keys[position - 1]);
            EXPECT_FALSE(button->icon().isNull()) << position;
        }
    }
    EXPECT_EQ(window->toolbarButton(QStringLiteral("open"))->toolTip(), QStringLiteral("Open Project or File"));
    EXPECT_EQ(window->toolbarButton(QStringLiteral("settings"))->toolTip(), QStringLiteral("Output Settings"));
    EXPECT_TRUE(window->toolbarButton(QStringLiteral("ontop"))->isCheckable());

    window->toolbarButton(QStringLiteral("back"))->trigger();
    window->toolbarButton(QStringLiteral("forward"))->trigger();
    window->toolbarButton(QStringLiteral("stop"))->trigger();
    EXPECT_EQ(browser()->backs, 1);
    EXPECT_EQ(browser()->forwards, 1);
    EXPECT_EQ(browser()->stops, 1);

    window->toolbarButton(QStringLiteral("ontop"))->trigger();
    EXPECT_TRUE(state.blnOnTop);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    window->toolbarButton(QStringLiteral("ontop"))->trigger();
    EXPECT_FALSE(state.blnOnTop);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MainWindowTest, loadShowsTheStartStateAndTheRecentFiles) {
    te.preferences->WritePreference(prefs::kGeneral, QStringLiteral("h0"), QStringLiteral("/a/one.c"));
    te.preferences->WritePreference(prefs::kGeneral, QStringLiteral("h1"), QStringLiteral("/a/p.qdx"));
    window->Form_Load(QString());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tessarel"));
    EXPECT_EQ(window->statusPanel(1)->text(), QStringLiteral("standard_babyblue"));
    EXPECT_EQ(window->statusPanel(1)->toolTip(), QStringLiteral("Current Style"));
    EXPECT_EQ(window->statusPanel(2)->text(), QStringLiteral("   "));
    EXPECT_EQ(window->statusPanel(2)->toolTip(), QStringLiteral("Current Project or File"));
    EXPECT_EQ(browser()->navigations.front(), te.programFolder() + QStringLiteral("intro.htm"));
    EXPECT_FALSE(window->tmrLoad.isActive());

    EXPECT_TRUE(window->recentEntry(0)->isVisible());
    EXPECT_EQ(window->recentEntry(0)->text(), QStringLiteral("&1 /a/one.c"));
    EXPECT_EQ(window->recentEntry(1)->text(), QStringLiteral("&2 /a/p.qdx"));
    EXPECT_FALSE(window->recentEntry(2)->isVisible());
    EXPECT_TRUE(window->recentSeparator()->isVisible());

    // The first start also opened the walk-through topic in the help window.
    ASSERT_NE(window->helpWindow(), nullptr);
    EXPECT_TRUE(window->helpWindow()->isVisible());
}

TEST_F(MainWindowTest, anEmptyStoreShowsNoRecentEntries) {
    window->Form_Load(QString());
    for (int i = 0; i < 9; ++i) {
        EXPECT_FALSE(window->recentEntry(i)->isVisible());
    }
    EXPECT_FALSE(window->recentSeparator()->isVisible());
}

TEST_F(MainWindowTest, commandLineArmsTheStartUpTimer) {
    const QString source = te.path(QStringLiteral("cl/main.c"));
    testing::WriteBytes(source, testing::DocumentedSource(QStringLiteral("Main")).toUtf8());
    const QString before = QDir::currentPath();
    window->Form_Load(source + QStringLiteral(" -e"));
    QDir::setCurrent(before);
    EXPECT_TRUE(window->tmrLoad.isActive());
    EXPECT_EQ(window->tmrLoad.interval(), 400);
    EXPECT_EQ(window->commands().CommandLinePath, source);

    QSignalSpy unloaded(window.get(), &frmMain::unloaded);
    ASSERT_TRUE(unloaded.wait(5000));
    EXPECT_EQ(ws.document.SourceFilePath, source);
    EXPECT_TRUE(FileExists(ws.document.ChapterPagePath));
    // A single file's progress window goes away by itself.
    EXPECT_EQ(window->loadedProgressWindow(), nullptr);
}

TEST_F(MainWindowTest, busyWindowLocksTheMenusAndThirteenButtons) {
    ui.showBusy(QStringLiteral("Saving"), QString(), 3);
    ASSERT_NE(window->busyWindow(), nullptr);
    EXPECT_FALSE(window->menu(Menu::File)->menuAction()->isEnabled());
    EXPECT_FALSE(window->menu(Menu::Project)->menuAction()->isEnabled());
    EXPECT_FALSE(window->menu(Menu::Help)->menuAction()->isEnabled());
    EXPECT_TRUE(window->menu(Menu::Preview)->menuAction()->isEnabled());
    EXPECT_FALSE(window->toolbarButton(1)->isEnabled());
    EXPECT_FALSE(window->toolbarButton(13)->isEnabled());
    EXPECT_TRUE(window->toolbarButton(14)->isEnabled());
    ui.hideBusy();
    EXPECT_EQ(window->busyWindow(), nullptr);
    EXPECT_TRUE(window->menu(Menu::File)->menuAction()->isEnabled());
    EXPECT_TRUE(window->toolbarButton(1)->isEnabled());
}

TEST_F(MainWindowTest, windowStateIsRestoredAndSaved) {
    // No file: centred at the designed size.
    window->Form_Load(QString());
    const QSize designed = window->size();
    window->close();
    const RestoredWindowState written = ReadWindowStateFile(fsXml());
    ASSERT_TRUE(written.fileRead);
    EXPECT_EQ(written.remembered, kStateNormal);
    ASSERT_TRUE(written.width.has_value());
    EXPECT_NEAR(TwipsToPixels(*written.width, ScreenDpi(window.get())), designed.width(), 1);

    // A file that asks for a maximized window.
    WindowState maximized{kStateMaximized, 1500, 1200, 9000, 6000};
    testing::RecordingUserInterface quiet;
    WriteWindowStateFile(quiet, fsXml(), maximized);
    auto second = std::make_unique<frmMain>(
        ws, state, ui, [](QWidget* parent) -> PreviewBrowser* { return new RecordingBrowser(parent); });
    second->Form_Load(QString());
    const double dpi = ScreenDpi(second.get());
    EXPECT_EQ(second->pos(), QPoint(TwipsToPixels(1500, dpi), TwipsToPixels(1200, dpi)));
    EXPECT_EQ(second->size(), QSize(TwipsToPixels(9000, dpi), TwipsToPixels(6000, dpi)));
    second->showAsRestored();
    EXPECT_TRUE(second->isMaximized());
    second->close();
    EXPECT_EQ(ReadWindowStateFile(fsXml()).remembered, kStateMaximized);

    // A file whose width is empty keeps the place it gives and the designed size.
    testing::WriteBytes(fsXml(), QByteArray("<?xml version=\"1.0\"?>\r\n<WindowsState>\r\n  <State>0</State>\r\n"
                                            "  <Left>300</Left>\r\n  <Top>450</Top>\r\n  <Width></Width>\r\n"
                                            "  <Height>6000</Height>\r\n</WindowsState>\r\n\r\n"));
    auto third = std::make_unique<frmMain>(
        ws, state, ui, [](QWidget* parent) -> PreviewBrowser* { return new RecordingBrowser(parent); });
    third->Form_Load(QString());
    EXPECT_EQ(third->pos(), QPoint(TwipsToPixels(300, dpi), TwipsToPixels(450, dpi)));
    EXPECT_EQ(third->size(), designed);
}

TEST_F(MainWindowTest, aProjectBuildReportsToTheProgressWindowAndCancelStopsIt) {
    window->Form_Load(QString());
    window->commands().OpenFile(project(4));
    ASSERT_TRUE(ws.project.isOpen());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("p - Tessarel"));

    // Cancel is pressed while the third file is being announced.
    bool buttonsLockedDuringBuild = false;
    ui.onProgressCaption = [&](const QString& caption) {
        if (caption.startsWith(QStringLiteral("f2.c"))) {
            buttonsLockedDuringBuild = !window->toolbarButton(1)->isEnabled() &&
                                       !window->action(Command::FileOpen)->isEnabled();
            window->loadedProgressWindow()->cmdCancel->click();
        }
    };
    window->action(Command::GenDoc)->trigger();
    EXPECT_TRUE(buttonsLockedDuringBuild);

    frmProgress* progress = window->loadedProgressWindow();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->windowTitle(), QStringLiteral("p - Progress"));
    QStringList chapterRows;
    for (int row = 0; row < progress->ListView1->rowCount(); ++row) {
        if (!progress->ListView1->item(row, 1)->text().startsWith(QLatin1Char('>'))) {
            chapterRows << progress->ListView1->item(row, 2)->text();
        }
    }
    EXPECT_EQ(chapterRows, (QStringList{QStringLiteral("f0.c"), QStringLiteral("f1.c")}));
    // The running log keeps one line per logged item.
    EXPECT_EQ(progress->txtFile->toPlainText().split(QLatin1Char('\n')).size(),
              progress->ListView1->rowCount());
    EXPECT_EQ(progress->lblCurrent->text(), QStringLiteral("2 files processed."));
    EXPECT_TRUE(progress->cmdOK->isEnabled());
    EXPECT_FALSE(progress->cmdCancel->isEnabled());
    EXPECT_FALSE(ui.cancelRequested());
    EXPECT_TRUE(window->toolbarButton(1)->isEnabled());
    EXPECT_TRUE(window->action(Command::FileOpen)->isEnabled());
    EXPECT_TRUE(browser()->navigations.back().endsWith(QStringLiteral("index.htm")));

    // "On Top" unloads the progress window.
    window->toolbarButton(QStringLiteral("ontop"))->trigger();
    EXPECT_EQ(window->loadedProgressWindow(), nullptr);
}

TEST_F(MainWindowTest, helpTopicsShowInTheHelpWindowAndCompiledFilesGoToTheShell) {
    testing::WriteBytes(te.programFolder() + QStringLiteral("comments.txt.htm"), "<p>topic</p>");
    ui.showHelpTopic(te.programFolder() + QStringLiteral("help.chm::/comments.txt.htm"));
    ASSERT_NE(window->helpWindow(), nullptr);
    auto* helpBrowser = static_cast<RecordingBrowser*>(window->helpWindow()->browser());
    EXPECT_EQ(helpBrowser->navigations.back(), te.programFolder() + QStringLiteral("comments.txt.htm"));
    EXPECT_TRUE(window->helpWindow()->isVisible());

    ui.showHelpTopic(te.programFolder() + QStringLiteral("help.chm::/missing.txt.htm"));
    EXPECT_EQ(helpBrowser->pages.size(), 1);

    ui.showHelpTopic(QStringLiteral("/book/HTML Help/p.chm"));
    EXPECT_EQ(shellOpens, QStringList{QStringLiteral("/book/HTML Help/p.chm")});
}

TEST_F(MainWindowTest, aboutBoxNamesTheVersionAndStaysOnTop) {
    frmAbout about(window.get());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tessarel"));
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version ") + VersionText());
    EXPECT_EQ(about.lblSupport->text(), SupportAddress());
    EXPECT_TRUE(about.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(about.lblCompany->text().contains(MakerAddress()));
    EXPECT_EQ(about.height(), TwipsToPixels(2595, ScreenDpi(&about)));
}

TEST_F(MainWindowTest, aCriticalErrorEndsTheProgram) {
    window->Form_Load(QString());
    QSignalSpy unloaded(window.get(), &frmMain::unloaded);
    ui.requestQuit();
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_TRUE(FileExists(fsXml()));
}

}  // namespace
}  // namespace tessarel

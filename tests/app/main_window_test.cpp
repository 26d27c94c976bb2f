#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <deque>
#include <memory>

#include <sys/stat.h>

#include "app/about_box.h"
#include "app/help_window.h"
#include "app/main_window_state.h"
#include "app/progress/progress_window.h"
#include "app/stored_lengths.h"
#include "app/window_user_interface.h"
#include "app/window_utilities.h"
#include "app_testing.h"
#include "book/help_compiler_run.h"
#include "book/workspace.h"
#include "project/window_state.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/testing.h"
#include "support/text_file.h"

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

using testing::RecordingBrowser;

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        ui.messageHandler = [this](const QString& title, const QString& text, MessageIcon, MessageButtons) {
            messages << title + u": "_s + text;
            return MessageAnswer::Ok;
        };
        ui.shellHandler = [this](const QString& target) { shellOpens << target; };
        window->dialogHandler = [](ProjectDialog) { return true; };
    }

    RecordingBrowser* browser() const { return static_cast<RecordingBrowser*>(window->browser()); }
    /// Waits until the window's running build, if any, is over and its end shown.
    void waitForBuild() {
        BuildThread& builds = window->commands().builds;
        if (builds.running()) {
            QSignalSpy finished(&builds, &BuildThread::finished);
            ASSERT_TRUE(finished.wait(120000));
        }
    }
    QString fsXml() const { return DataFolderFile(te.env->paths, kWindowStateFileName); }
    std::unique_ptr<MainWindow> newWindow() {
        return std::make_unique<MainWindow>(
            ws, state, ui, [](QWidget* parent) -> PreviewBrowser* { return new RecordingBrowser(parent); });
    }

    testing::TestEnvironment te;
    WindowUserInterface ui;
    Environment env{ui, *te.preferences, te.env->paths};
    Workspace ws{env};
    MainWindowState state;
    std::unique_ptr<MainWindow> window = newWindow();
    QStringList messages, shellOpens;
};

TEST_F(MainWindowTest, toolbarDrivesTheBrowserAndTheOnTopState) {
    ASSERT_EQ(window->toolBar->actions().size(), 14);
    // Back, Forward and Stop follow the browser, and only then act.
    for (const QString& key : {u"back"_s, u"forward"_s, u"stop"_s}) {
        EXPECT_FALSE(window->toolbarButton(key)->isEnabled()) << key.toStdString();
    }
    window->toolbarButton(u"back"_s)->trigger();
    EXPECT_EQ(browser()->backs, 0);
    browser()->canBack = browser()->canForward = browser()->loading = true;
    Q_EMIT browser()->stateChanged();
    window->toolbarButton(u"back"_s)->trigger();
    window->toolbarButton(u"forward"_s)->trigger();
    window->toolbarButton(u"stop"_s)->trigger();
    EXPECT_EQ(browser()->backs, 1);
    EXPECT_EQ(browser()->forwards, 1);
    EXPECT_EQ(browser()->stops, 1);

    // Home wears a house, not the style's folder.
    const auto picture = [](const QIcon& icon) { return icon.pixmap(24).toImage(); };
    EXPECT_FALSE(picture(window->toolbarButton(u"index"_s)->icon()).isNull());
    EXPECT_NE(picture(window->toolbarButton(u"index"_s)->icon()),
              picture(window->style()->standardIcon(QStyle::SP_DirHomeIcon)));

    window->toolbarButton(u"ontop"_s)->trigger();
    EXPECT_TRUE(state.alwaysOnTop);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    window->toolbarButton(u"ontop"_s)->trigger();
    EXPECT_FALSE(state.alwaysOnTop);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MainWindowTest, toolbarButtonsFollowTheirMenuCommands) {
    window->startUp(QString());
    const std::pair<QString, Command> pairs[] = {{u"new"_s, Command::NewProject},
                                                 {u"open"_s, Command::Open},
                                                 {u"save"_s, Command::SaveProject},
                                                 {u"build"_s, Command::Build},
                                                 {u"settings"_s, Command::Settings}};
    auto expectSame = [&](const char* when) {
        for (const auto& [key, command] : pairs) {
            EXPECT_EQ(window->toolbarButton(key)->isEnabled(), window->action(command)->isEnabled())
                << when << ": " << key.toStdString();
        }
    };
    // Nothing open: Save and Build are off in the menu and on the toolbar.
    expectSame("at start");
    EXPECT_FALSE(window->toolbarButton(u"save"_s)->isEnabled());
    EXPECT_FALSE(window->toolbarButton(u"build"_s)->isEnabled());
    window->commands().openPath(testing::SaveTestProject(te, u"proj/p.qdx"_s, 1));
    ASSERT_TRUE(ws.project.isOpen());
    expectSame("with a project");
    EXPECT_TRUE(window->toolbarButton(u"build"_s)->isEnabled());
}

TEST_F(MainWindowTest, loadShowsTheStartStateAndTheRecentFiles) {
    te.preferences->WritePreference(prefs::kGeneral, u"h0"_s, u"/a/one.c"_s);
    te.preferences->WritePreference(prefs::kGeneral, u"h1"_s, u"/a/p.qdx"_s);
    window->startUp(QString());
    EXPECT_EQ(window->windowTitle(), u"Tessarel"_s);
    EXPECT_EQ(window->statusPanel(1)->text(), u"standard_babyblue"_s);
    EXPECT_EQ(window->statusPanel(2)->text(), u"   "_s);
    EXPECT_EQ(browser()->navigations.front(), te.programFolder() + u"intro.htm"_s);
    EXPECT_FALSE(window->commandLineTimer.isActive());

    EXPECT_TRUE(window->recentEntry(0)->isVisible());
    EXPECT_EQ(window->recentEntry(0)->text(), u"&1 /a/one.c"_s);
    EXPECT_EQ(window->recentEntry(1)->text(), u"&2 /a/p.qdx"_s);
    EXPECT_FALSE(window->recentEntry(2)->isVisible());
    EXPECT_TRUE(window->recentSeparator()->isVisible());

    // The first start also opened the walk-through topic in the help window.
    ASSERT_NE(window->helpWindow(), nullptr);
    EXPECT_TRUE(window->helpWindow()->isVisible());
}

TEST_F(MainWindowTest, commandLineArmsTheStartUpTimer) {
    const QString source = te.path(u"cl/main.c"_s);
    testing::WriteBytes(source, testing::DocumentedSource(u"Main"_s).toUtf8());
    const QString before = QDir::currentPath();
    window->startUp(source + u" -e"_s);
    QDir::setCurrent(before);
    EXPECT_TRUE(window->commandLineTimer.isActive());
    EXPECT_EQ(window->commandLineTimer.interval(), 400);
    EXPECT_EQ(window->commands().commandLinePath, source);

    QSignalSpy unloaded(window.get(), &MainWindow::unloaded);
    ASSERT_TRUE(unloaded.wait(30000));  // a ceiling for a busy machine
    EXPECT_EQ(ws.document.SourceFilePath, source);
    EXPECT_TRUE(FileExists(ws.singleFilePage));
    // A single file's progress window goes away by itself.
    EXPECT_EQ(window->loadedProgressWindow(), nullptr);
}

TEST_F(MainWindowTest, busyWindowLocksTheMenusAndThirteenButtons) {
    ui.show(u"Saving"_s, QString(), 3);
    ASSERT_NE(window->busyWindow(), nullptr);
    EXPECT_FALSE(window->menu(Menu::File)->menuAction()->isEnabled());
    EXPECT_FALSE(window->menu(Menu::Project)->menuAction()->isEnabled());
    EXPECT_FALSE(window->menu(Menu::Help)->menuAction()->isEnabled());
    EXPECT_TRUE(window->menu(Menu::Preview)->menuAction()->isEnabled());
    EXPECT_FALSE(window->toolbarButton(1)->isEnabled());
    EXPECT_FALSE(window->toolbarButton(13)->isEnabled());
    EXPECT_TRUE(window->toolbarButton(14)->isEnabled());
    ui.hide();
    EXPECT_EQ(window->busyWindow(), nullptr);
    EXPECT_TRUE(window->menu(Menu::File)->menuAction()->isEnabled());
    EXPECT_TRUE(window->toolbarButton(1)->isEnabled());
}

TEST_F(MainWindowTest, windowStateIsRestoredAndSaved) {
    // No file: centred at the designed size.
    window->startUp(QString());
    const QSize designed = window->size();
    window->close();
    const RestoredWindowState written = ReadWindowStateFile(fsXml());
    ASSERT_TRUE(written.fileRead);
    EXPECT_EQ(written.remembered, kStateNormal);
    ASSERT_TRUE(written.width.has_value());
    EXPECT_NEAR(PixelsFromStoredLength(*written.width, ScreenDpi(window.get())), designed.width(), 1);

    // A file that asks for a maximized window.
    WindowState maximized{kStateMaximized, 1500, 1200, 9000, 6000};
    testing::RecordingUserInterface quiet;
    WriteWindowStateFile(quiet, fsXml(), maximized);
    auto second = newWindow();
    second->startUp(QString());
    const double dpi = ScreenDpi(second.get());
    EXPECT_EQ(second->pos(), QPoint(PixelsFromStoredLength(1500, dpi), PixelsFromStoredLength(1200, dpi)));
    EXPECT_EQ(second->size(), QSize(PixelsFromStoredLength(9000, dpi), PixelsFromStoredLength(6000, dpi)));
    second->showAsRestored();
    EXPECT_TRUE(second->isMaximized());
    second->close();
    EXPECT_EQ(ReadWindowStateFile(fsXml()).remembered, kStateMaximized);

    // A file whose width is empty keeps the place it gives and the designed size.
    testing::WriteBytes(fsXml(), QByteArray("<?xml version=\"1.0\"?>\r\n<WindowsState>\r\n  <State>0</State>\r\n"
                                            "  <Left>300</Left>\r\n  <Top>450</Top>\r\n  <Width></Width>\r\n"
                                            "  <Height>6000</Height>\r\n</WindowsState>\r\n\r\n"));
    auto third = newWindow();
    third->startUp(QString());
    EXPECT_EQ(third->pos(), QPoint(PixelsFromStoredLength(300, dpi), PixelsFromStoredLength(450, dpi)));
    EXPECT_EQ(third->size(), designed);
}

TEST_F(MainWindowTest, aProjectBuildReportsToTheProgressWindowAndCancelStopsIt) {
    window->startUp(QString());
    window->commands().openPath(testing::SaveTestProject(te, u"proj/p.qdx"_s, 4));
    ASSERT_TRUE(ws.project.isOpen());
    EXPECT_EQ(window->windowTitle(), u"p - Tessarel"_s);

    // One chapter at a time, so the rows end exactly where Cancel was pressed:
    // workers would finish the chapters they had been handed.
    ws.buildWorkers = 1;
    // Cancel is pressed while the third file is being announced: the build's
    // thread waits there until the window has shown the caption and the
    // button has been clicked.
    QSemaphore pressed;
    window->commands().builds.beforeStart = [&](QueuedUserInterface& queued) {
        queued.onCaptionQueued = [&](const QString& caption) {
            if (caption.startsWith(u"f2.c"_s)) {
                ASSERT_TRUE(pressed.tryAcquire(1, 120000));
            }
        };
    };
    bool buttonsLockedDuringBuild = false;
    ui.onProgressCaption = [&](const QString& caption) {
        if (caption.startsWith(u"f2.c"_s)) {
            buttonsLockedDuringBuild =
                !window->toolbarButton(1)->isEnabled() && !window->action(Command::Open)->isEnabled();
            window->loadedProgressWindow()->cancelButton->click();
            pressed.release();
        }
    };
    window->action(Command::Build)->trigger();
    // The command returns while the build runs; a second Build is refused.
    EXPECT_TRUE(window->commands().builds.running());
    EXPECT_FALSE(window->action(Command::Build)->isEnabled());
    waitForBuild();
    EXPECT_TRUE(buttonsLockedDuringBuild);

    ProgressWindow* progress = window->loadedProgressWindow();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->windowTitle(), u"p - Progress"_s);
    QStringList chapterRows;
    for (int row = 0; row < progress->logView->rowCount(); ++row) {
        if (!progress->logView->item(row, 1)->text().startsWith(QLatin1Char('>'))) {
            chapterRows << progress->logView->item(row, 2)->text();
        }
    }
    EXPECT_EQ(chapterRows, (QStringList{u"f0.c"_s, u"f1.c"_s}));
    // The running log keeps one line per logged item.
    EXPECT_EQ(progress->logText->toPlainText().split(QLatin1Char('\n')).size(), progress->logView->rowCount());
    // A stopped build does not look finished: it says so, in a warning row
    // too, and its bar stays at the two chapters of five parts.
    EXPECT_EQ(progress->currentLabel->text(), u"Cancelled after 2 of 4 files"_s);
    const int last = progress->logView->rowCount() - 1;
    EXPECT_EQ(progress->logView->item(last, 1)->text(), u"> Cancelled after 2 of 4 files"_s);
    EXPECT_NE(progress->logView->item(last, 0)->icon().pixmap(16).toImage(),
              progress->logView->item(0, 0)->icon().pixmap(16).toImage());
    EXPECT_EQ(progress->progressBar->value() * 5, progress->progressBar->maximum() * 2);
    EXPECT_TRUE(progress->okButton->isEnabled());
    EXPECT_FALSE(progress->cancelButton->isEnabled());
    EXPECT_FALSE(ui.cancelRequested());
    EXPECT_TRUE(window->toolbarButton(1)->isEnabled());
    EXPECT_TRUE(window->action(Command::Open)->isEnabled());
    EXPECT_TRUE(browser()->navigations.back().endsWith(u"index.htm"_s));

    // "On Top" unloads the progress window.
    window->toolbarButton(u"ontop"_s)->trigger();
    EXPECT_EQ(window->loadedProgressWindow(), nullptr);
}

TEST_F(MainWindowTest, theHelpCompilersErrorsReachTheLogAndTheBarEndsFull) {
    window->startUp(QString());
    window->commands().openPath(testing::SaveTestProject(te, u"proj/p.qdx"_s, 3));
    ASSERT_TRUE(ws.project.isOpen());
    ws.project.settings.GenerateHtmlHelpFiles = true;
    const QString compilerFolder = te.path(u"compiler"_s);
    QDir().mkpath(compilerFolder);
    testing::WriteScript(compilerFolder + u"/"_s + HtmlHelpCompilerName(),
                         u"#!/bin/sh\nprintf 'Note: 3 topics\\nError: Anchor ../#a undefined\\n'\n"
                         u"printf 'Error: Anchor ../#b undefined\\nWarning: Duplicate anchor c\\n'\n"
                         u"echo chm > p.chm\n"_s);
    ws.env.preferences.WritePreference(prefs::kProject, prefs::kCompilerPath, compilerFolder);
    window->action(Command::Build)->trigger();
    waitForBuild();

    ProgressWindow* progress = window->loadedProgressWindow();
    ASSERT_NE(progress, nullptr);
    progress->updateDisplay();
    const QTableWidget& table = *progress->logView;
    int compiledRow = -1;
    for (int row = 0; row < table.rowCount(); ++row) {
        if (table.item(row, 2)->text() == u"help.hhp"_s) {
            compiledRow = row;
        }
    }
    ASSERT_GE(compiledRow, 0);
    EXPECT_EQ(table.item(compiledRow, 1)->text(), u"> Compiled Help: 2 Errors, 1 Warning"_s);
    EXPECT_EQ(table.item(compiledRow, 4)->text(), u"p.chm"_s);
    // The failure icon, not the tick of the first chapter.
    EXPECT_NE(table.item(compiledRow, 0)->icon().pixmap(16).toImage(), table.item(0, 0)->icon().pixmap(16).toImage());
    const QString log = progress->logText->toPlainText();
    EXPECT_TRUE(log.contains(u"\nError: Anchor ../#b undefined\nWarning: Duplicate anchor c"_s)) << log.toStdString();

    // Every line of the log names something, and the bar ends full.
    for (const QString& line : log.split(QLatin1Char('\n'))) {
        EXPECT_FALSE(line.trimmed().endsWith(u"--"_s)) << line.toStdString();
    }
    EXPECT_EQ(progress->progressBar->value(), progress->progressBar->maximum());
    EXPECT_GT(progress->progressBar->maximum(), 0);
}

TEST_F(MainWindowTest, helpTopicsShowInTheHelpWindowAndCompiledFilesGoToTheShell) {
    testing::WriteBytes(te.programFolder() + u"comments.txt.htm"_s, "<p>topic</p>");
    ui.showHelpTopic(te.programFolder() + u"help.chm::/comments.txt.htm"_s);
    ASSERT_NE(window->helpWindow(), nullptr);
    auto* helpBrowser = static_cast<RecordingBrowser*>(window->helpWindow()->browser());
    EXPECT_EQ(helpBrowser->navigations.back(), te.programFolder() + u"comments.txt.htm"_s);
    EXPECT_TRUE(window->helpWindow()->isVisible());

    ui.showHelpTopic(te.programFolder() + u"help.chm::/missing.txt.htm"_s);
    EXPECT_EQ(helpBrowser->pages.size(), 1);

    ui.showHelpTopic(u"/book/HTML Help/p.chm"_s);
    EXPECT_EQ(shellOpens, QStringList{u"/book/HTML Help/p.chm"_s});

    // A dialog's Help: the topic window belongs to the modal dialog, which
    // leaves it usable; under the main window the dialog would block it.
    QDialog dialog(window.get());
    dialog.setModal(true);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    ui.showHelpTopic(te.programFolder() + u"help.chm::/comments.txt.htm"_s);
    auto* underDialog = dialog.findChild<HelpWindow*>();
    ASSERT_NE(underDialog, nullptr);
    EXPECT_TRUE(underDialog->isVisible());
}

TEST_F(MainWindowTest, aboutBoxAndHelpWindowOpenCentredOnTheirOwner) {
    window->setGeometry(100, 100, 600, 500);  // room on the test screen for both
    window->show();
    const QPoint centre = window->frameGeometry().center();
    auto nearCentre = [&](const QWidget& shown) {
        const QPoint offset = shown.frameGeometry().center() - centre;
        return offset.manhattanLength() <= 4;
    };
    // Made topmost before it is shown, the about box must still centre.
    state.alwaysOnTop = true;
    AboutBox about(window.get());
    about.show();
    EXPECT_TRUE(nearCentre(about)) << about.frameGeometry().center().x() << "," << about.frameGeometry().center().y();
    about.hide();

    ui.showHelpTopic(te.programFolder() + u"help.chm::/comments.txt.htm"_s);
    ASSERT_NE(window->helpWindow(), nullptr);
    EXPECT_TRUE(nearCentre(*window->helpWindow()));
    testing::AttachScreenshot(u"centred-help-window"_s);

    // Near the screen's edge the window stays on the screen, title bar first.
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(CentredPosition({200, 100}, {100, 100, 400, 300}, screen), QPoint(199, 199));
    EXPECT_EQ(CentredPosition({600, 400}, {-300, -200, 200, 100}, screen), QPoint(0, 0));
    EXPECT_EQ(CentredPosition({600, 400}, {900, 700, 300, 200}, screen), QPoint(424, 368));
    EXPECT_EQ(CentredPosition({2000, 1000}, {0, 0, 1024, 768}, screen), QPoint(0, 0));
}

TEST_F(MainWindowTest, theAboutBoxNamesTheLicenceAndShowsItsShippedText) {
    testing::WriteBytes(te.programFolder() + u"LICENSE"_s, "GNU GENERAL PUBLIC LICENSE");
    window->show();
    QStringList seen;
    QTimer::singleShot(0, window.get(), [&] {
        auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        seen << about->copyrightLabel->text() << about->licenceLabel->text();
        testing::AttachScreenshot(u"about-box"_s);
        Q_EMIT about->licenceLabel->linkActivated(u"licence"_s);
        auto* licence = about->findChild<HelpWindow*>();
        ASSERT_NE(licence, nullptr);
        seen << static_cast<RecordingBrowser*>(licence->browser())->navigations;
        about->accept();
    });
    window->action(Command::About)->trigger();
    ASSERT_EQ(seen.size(), 3);
    EXPECT_FALSE(seen[0].contains(u"All rights reserved"_s)) << seen[0].toStdString();
    EXPECT_TRUE(seen[1].contains(u"GNU General Public License, version 3 or later (GPL-3.0-or-later)"_s))
        << seen[1].toStdString();
    EXPECT_EQ(seen[2], te.programFolder() + u"LICENSE"_s);
}

TEST_F(MainWindowTest, theHelpWindowClosesWithEscapeOrCtrlWAndWalksItsHistoryWithAlt) {
    testing::WriteBytes(te.programFolder() + u"comments.txt.htm"_s, "<p>topic</p>");
    const QString topic = te.programFolder() + u"help.chm::/comments.txt.htm"_s;
    for (const QKeyCombination close : {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::CTRL | Qt::Key_W)}) {
        ui.showHelpTopic(topic);
        QPointer<HelpWindow> help = window->helpWindow();
        ASSERT_NE(help, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(help));
        auto* helpBrowser = static_cast<RecordingBrowser*>(help->browser());
        QTest::keyClick(help, Qt::Key_Left, Qt::AltModifier);
        QTest::keyClick(help, Qt::Key_Right, Qt::AltModifier);
        EXPECT_EQ(helpBrowser->backs, 1);
        EXPECT_EQ(helpBrowser->forwards, 1);
        QTest::keyClick(help, close.key(), close.keyboardModifiers());
        EXPECT_TRUE(help.isNull() || !help->isVisible()) << close.toCombined();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(MainWindowTest, aShortQuestionStillShowsItsWholeTitle) {
    window->setGeometry(100, 100, 900, 600);
    window->show();
    QMessageBox box(QMessageBox::Question, u"Build Project"_s, u"Build Project?"_s, QMessageBox::Yes | QMessageBox::No,
                    window.get());
    WindowUserInterface::fitTitle(box);
    box.show();
    QFont bold = box.font();
    bold.setBold(true);
    const int title = QFontMetrics(bold).horizontalAdvance(box.windowTitle());
    EXPECT_GE(box.width(), title + 160);
    EXPECT_FALSE(box.iconPixmap().isNull());
    testing::AttachScreenshot(u"question-with-its-title"_s);
}

TEST_F(MainWindowTest, anUnbuiltProjectShowsWhatItIsAndHowToBuildIt) {
    window->setGeometry(100, 100, 900, 600);
    window->show();
    window->commands().openPath(testing::SaveTestProject(te, u"proj/p.qdx"_s, 2));
    ASSERT_EQ(browser()->pages.size(), 1);
    EXPECT_TRUE(browser()->pages.back().contains(u"2 chapters"_s));
    // The stand-in browser does not paint: a text view shows the page where it stands.
    QTextBrowser painted(window.get());
    painted.setGeometry(browser()->geometry());
    painted.setHtml(browser()->pages.back());
    painted.show();
    testing::AttachScreenshot(u"unbuilt-project-page"_s);
}

TEST_F(MainWindowTest, everyWayOfClosingAsksToSaveAModifiedProjectAndCancelKeepsTheWindow) {
    window->startUp(QString());
    window->show();
    const QString project = testing::SaveTestProject(te, u"proj/p.qdx"_s, 1);
    window->commands().openPath(project);
    ASSERT_TRUE(ws.project.isOpen());
    ws.project.settings.IndexTitle = u"changed"_s;
    std::deque<MessageAnswer> answers;
    messages.clear();
    ui.messageHandler = [&](const QString& title, const QString& text, MessageIcon, MessageButtons) {
        messages << title + u": "_s + text;
        const MessageAnswer answer = answers.empty() ? MessageAnswer::Cancel : answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    };
    QSignalSpy unloaded(window.get(), &MainWindow::unloaded);
    const QStringList asked{u"Save Project: Save project \"p\"?"_s};
    const auto closeBox = [&] {
        QCloseEvent event;
        QCoreApplication::sendEvent(window.get(), &event);
        return event.isAccepted();
    };

    // The close box (the window manager's close), close() and Exit (Ctrl+Q) ask alike.
    const std::vector<std::function<bool()>> ways{
        closeBox,
        [&] { return window->close(); },
        [&] {
            window->action(Command::Exit)->trigger();
            return !unloaded.isEmpty();
        },
    };
    for (size_t i = 0; i < ways.size(); ++i) {
        messages.clear();
        answers = {MessageAnswer::Cancel};
        EXPECT_FALSE(ways[i]()) << "way " << i;
        EXPECT_EQ(messages, asked) << "way " << i;
        EXPECT_TRUE(unloaded.isEmpty()) << "way " << i;
        EXPECT_TRUE(window->isVisible()) << "way " << i;
    }

    // Under a running build the build stops first; the question comes when it has.
    window->lockForBuild();
    messages.clear();
    EXPECT_FALSE(closeBox());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(ui.cancelRequested());
    window->unlockAfterBuild();
    QCoreApplication::processEvents();
    EXPECT_EQ(messages, asked);
    EXPECT_TRUE(unloaded.isEmpty());

    // Yes saves, and the window goes.
    messages.clear();
    answers = {MessageAnswer::Yes};
    EXPECT_TRUE(closeBox());
    EXPECT_EQ(messages, asked);
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_TRUE(testing::ReadBytes(project).contains("<IndexTitle>changed</IndexTitle>"));
}

TEST_F(MainWindowTest, aNewPageLoadsBehindThePageShownAndTheStatusBarSaysSo) {
    window->startUp(QString());
    const QString first = te.path(u"first.c"_s);
    const QString second = te.path(u"second.c"_s);
    testing::WriteBytes(first, testing::DocumentedSource(u"First"_s).toUtf8());
    testing::WriteBytes(second, testing::DocumentedSource(u"Second"_s).toUtf8());
    window->commands().openPath(first);
    waitForBuild();
    // The start page never comes between one page and the next.
    browser()->navigations.clear();
    window->commands().openPath(second);
    waitForBuild();
    EXPECT_EQ(browser()->navigations, QStringList{te.path(u"second.c.htm"_s)});
    // A source with no page to show brings the start page back, not the page before.
    const QString pipe = te.path(u"pipe.c"_s);
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    window->commands().openPath(pipe);
    waitForBuild();
    EXPECT_EQ(browser()->navigations.back(), te.programFolder() + u"intro.htm"_s);

    // While the engine loads a page the status bar tells what and how far.
    window->commands().openPath(second);
    waitForBuild();
    EXPECT_TRUE(window->loadingLabel()->isHidden());
    browser()->loading = true;
    Q_EMIT browser()->stateChanged();
    Q_EMIT browser()->loadProgress(40);
    EXPECT_FALSE(window->loadingLabel()->isHidden());
    EXPECT_FALSE(window->loadingBar()->isHidden());
    EXPECT_EQ(window->loadingLabel()->text(), u"Loading second.c.htm..."_s);
    EXPECT_EQ(window->loadingBar()->value(), 40);
    browser()->loading = false;
    Q_EMIT browser()->loadFinished(true);
    EXPECT_TRUE(window->loadingLabel()->isHidden());
    EXPECT_TRUE(window->loadingBar()->isHidden());
}

TEST_F(MainWindowTest, aCriticalErrorEndsTheProgram) {
    window->startUp(QString());
    QSignalSpy unloaded(window.get(), &MainWindow::unloaded);
    ui.endProgram();
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_TRUE(FileExists(fsXml()));
}

TEST_F(MainWindowTest, livePreviewRebuildsWithoutAWindowInTheWayAndTellsTheStatusBar) {
    const QString source = te.path(u"main.c"_s);
    testing::WriteBytes(source, testing::DocumentedSource(u"alpha"_s).toUtf8());
    window->fileDialogHandler = [&](const QString&, const QString&, bool) { return source; };
    window->action(Command::Open)->trigger();
    waitForBuild();
    ASSERT_EQ(window->livePreview().watchedFiles(), QStringList{source});
    QAction* live = window->findChild<QAction*>(u"livePreview"_s);
    ASSERT_NE(live, nullptr);
    EXPECT_TRUE(live->isCheckable() && live->isChecked());
    EXPECT_TRUE(window->menu(Menu::Preview)->actions().contains(live));
    window->unloadProgressWindow();

    QSignalSpy rebuilt(&window->livePreview(), &LivePreview::rebuilt);
    testing::WriteBytes(source, testing::DocumentedSource(u"beta"_s).toUtf8());
    ASSERT_TRUE(rebuilt.wait(10000));
    EXPECT_TRUE(testing::ReadBytes(te.path(u"main.c.htm"_s)).contains("beta"));
    EXPECT_EQ(browser()->refreshes, QStringList{te.path(u"main.c.htm"_s)});
    EXPECT_EQ(window->loadedProgressWindow(), nullptr);
    EXPECT_TRUE(window->action(Command::Build)->isEnabled()) << "the commands are unlocked again";
    EXPECT_TRUE(window->statusPanel(3)->text().startsWith(u"Live preview: main.c rebuilt at "_s))
        << window->statusPanel(3)->text().toStdString();

    // A save that breaks the page: the status bar says so, no box, no log window.
    testing::WriteBytes(source, "int main() { return 0; }\r\n");
    ASSERT_TRUE(rebuilt.wait(10000));
    EXPECT_TRUE(window->statusPanel(3)->text().endsWith(u": No Sections Declared: main.c"_s))
        << window->statusPanel(3)->text().toStdString();
    EXPECT_EQ(messages, QStringList());
    EXPECT_EQ(window->loadedProgressWindow(), nullptr);
    EXPECT_FALSE(ui.quiet());

    // Off: remembered, and nothing is watched.
    live->trigger();
    EXPECT_FALSE(te.preferences->ReadFlag(prefs::kGeneral, prefs::kLivePreview, u"1"_s));
    EXPECT_EQ(window->livePreview().watchedFiles(), QStringList());
    EXPECT_EQ(window->statusPanel(3)->text(), QString());
}

}  // namespace
}  // namespace tessarel

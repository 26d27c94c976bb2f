// Main: the program's entry point.
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/web_preview.h"
#include "app/window_user_interface.h"
#include "book/workspace.h"
#include "support/environment.h"
#include "support/memory_setup.h"
#include "support/preferences.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace {

/// TESSAREL_SCREENSHOT_DIR names a folder that receives a picture of the main
/// window once its page has loaded, just before an "-e" start ends: a look at
/// what the program showed, for scripted runs.
void ScreenshotBeforeUnload(tessarel::MainWindow& window) {
    const QString folder = qEnvironmentVariable("TESSAREL_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        return;
    }
    QObject::connect(&window, &tessarel::MainWindow::unloaded, &window, [&window, folder] {
        tessarel::PreviewBrowser* browser = window.browser();
        QEventLoop wait;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &wait, &QEventLoop::quit);
        QObject::connect(browser, &tessarel::PreviewBrowser::loadFinished, &wait, [&wait, &deadline] {
            // Give the page a moment to paint.
            deadline.start(700);
        });
        deadline.start(browser->isLoading() ? 20000 : 700);
        wait.exec();
        QDir().mkpath(folder);
        window.grab().save(QDir(folder).filePath(QStringLiteral("main_window.png")));
    });
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace tessarel;
    PrepareHeapForLargeTexts();
    // Before any window: the usage needs no display.
    QStringList given;
    for (int i = 1; i < argc; ++i) {
        given << QString::fromLocal8Bit(argv[i]);
    }
    if (AsksForUsage(given)) {
        std::fputs(UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarel"));
    QApplication::setApplicationVersion(QStringLiteral(TESSAREL_VERSION));
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tessarel"));
    QApplication::setQuitOnLastWindowClosed(false);

    // The platform registers its controls itself; the progress step count is a
    // constant of the single-file build.
    Preferences preferences;
    WindowUserInterface ui;
    Environment environment{ui, preferences, AppPaths::forRunningProgram()};
    Workspace workspace(environment);
    MainWindowState state;
    LoadSingleFileSettings(preferences, workspace.project.isOpen(), workspace.project.settings);

    MainWindow window(workspace, state, ui, [](QWidget* parent) { return new WebPreview(parent); });
    ScreenshotBeforeUnload(window);  // before the quit below is queued
    QObject::connect(&window, &MainWindow::unloaded, &application, &QCoreApplication::quit, Qt::QueuedConnection);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    window.startUp(CommandLineTextOf(arguments));
    window.showAsRestored();
    return QApplication::exec();
}

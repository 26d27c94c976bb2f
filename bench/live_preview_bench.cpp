// From saving a source to its page reloaded in the window's preview, as the
// live preview does it: the main window with its real browser opens a source
// of about K KB, and every round appends a function to the source and times
// until the preview has loaded the new page.
//
//   live_preview_bench [--kb K] [--rounds N] [--quiet-ms Q] [--modern] [--sheet FILE]
//
// Run it under Xvfb (xvfb-run -a); as root the web engine also needs
// QTWEBENGINE_DISABLE_SANDBOX=1 and QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu.
// Each round prints when the watcher told of the save, when the rebuild ended
// and when the page had loaded, all from the save; then the medians.
// --modern builds the page in the Modern layout, styled by the build's own
// standard_babyblue.modern.css (or FILE).

#include "app/live_preview.h"
#include "app/main_commands.h"
#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/web_preview.h"
#include "app/window_user_interface.h"
#include "book/workspace.h"
#include "support/environment.h"
#include "support/memory_setup.h"
#include "support/preferences.h"
#include "support/setting_table.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray Function(int number) {
    const QByteArray n = QByteArray::number(number);
    return "// function: part_" + n + "\r\n// Takes **one** step of the work, as part_" + n +
           " says.\r\n//\r\n// - first\r\n// - second\r\nint part_" + n + "(int a, int b) { return a + b; }\r\n\r\n";
}

QByteArray Source(int kilobytes, int& functions) {
    QByteArray text = "// module: Parts\r\n// The parts of the work.\r\n\r\n";
    while (text.size() < kilobytes * 1024) {
        text += Function(functions++);
    }
    return text;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString Option(const QStringList& args, const QString& name, const QString& fallback) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

/// Runs the event loop until `done` holds, or `limitMs` have passed; false then.
bool WaitFor(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > limitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

qint64 Median(std::vector<qint64> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    tessarel::PrepareHeapForLargeTexts();
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int kilobytes = Option(args, QStringLiteral("--kb"), QStringLiteral("100")).toInt();
    const int rounds = Option(args, QStringLiteral("--rounds"), QStringLiteral("7")).toInt();
    const int quietMs = Option(args, QStringLiteral("--quiet-ms"), QStringLiteral("-1")).toInt();
    QTemporaryDir temporary;
    const QString base = temporary.path() + QLatin1Char('/');
    QDir().mkpath(base + QStringLiteral("program/styles"));
    QDir().mkpath(base + QStringLiteral("data"));
    QDir().mkpath(base + QStringLiteral("cache"));
    QDir().mkpath(base + QStringLiteral("work"));
    int functions = 0;
    QByteArray text = Source(kilobytes, functions);
    const QString source = base + QStringLiteral("work/parts.c");
    // The Modern page is styled as shipped: its sheet decides how much of a long
    // page is laid out. --sheet names another one, to compare sheets.
    const QString shipped =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/styles/standard_babyblue.modern.css");
    QByteArray modernSheet = "body { font-family: sans-serif; }\n";
    QFile sheet(Option(args, QStringLiteral("--sheet"), shipped));
    if (sheet.open(QIODevice::ReadOnly)) {
        modernSheet = sheet.readAll();
    }
    std::printf("modern sheet: %s\n", sheet.isOpen() ? qPrintable(sheet.fileName()) : "a stand-in");
    if (!WriteFile(base + QStringLiteral("program/styles/standard_babyblue.css"),
                   "body { font-family: sans-serif; }\n") ||
        !WriteFile(base + QStringLiteral("program/styles/standard_babyblue.modern.css"), modernSheet) ||
        !WriteFile(source, text)) {
        std::fprintf(stderr, "cannot write into %s\n", qPrintable(base));
        return 1;
    }

    tessarel::Preferences preferences(base + QStringLiteral("data/Tessarel.conf"));
    if (args.contains(QStringLiteral("--modern"))) {
        tessarel::Settings modern;
        modern.ModernLayout = true;
        tessarel::WriteSingleFileSetting(preferences, tessarel::SettingRowOf(&tessarel::Settings::ModernLayout),
                                         modern);
    }
    tessarel::WindowUserInterface ui;
    ui.messageHandler = [](const QString& title, const QString& message, tessarel::MessageIcon,
                           tessarel::MessageButtons) {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(message));
        return tessarel::MessageAnswer::Ok;
    };
    tessarel::Environment env{ui, preferences,
                              tessarel::AppPaths{base + QStringLiteral("program/"), base + QStringLiteral("data/"),
                                                 base + QStringLiteral("cache/")}};
    tessarel::Workspace workspace(env);
    tessarel::MainWindowState state;
    tessarel::MainWindow window(workspace, state, ui, [](QWidget* parent) { return new tessarel::WebPreview(parent); });
    window.resize(1000, 700);
    window.show();

    bool loaded = false;
    QObject::connect(window.browser(), &tessarel::PreviewBrowser::loadFinished, [&](bool) { loaded = true; });
    window.commands().openPath(source);
    if (!WaitFor([&] { return loaded && !window.commands().commands.building(); }, 60000)) {
        std::fprintf(stderr, "the first page did not load\n");
        return 1;
    }

    tessarel::LivePreview& live = window.livePreview();
    // The window follows the open document after each command; this open came without one.
    live.follow();
    if (quietMs >= 0) {
        live.watcher().setQuietTime(quietMs);
    }
    QElapsedTimer clock;
    qint64 told = -1;
    qint64 rebuilt = -1;
    qint64 shown = -1;
    QObject::connect(&live.watcher(), &tessarel::SourceWatcher::changed,
                     [&](const QStringList&) { told = clock.elapsed(); });
    QObject::connect(&live, &tessarel::LivePreview::rebuilt, [&] { rebuilt = clock.elapsed(); });
    QObject::connect(window.browser(), &tessarel::PreviewBrowser::loadFinished, [&](bool) {
        if (rebuilt >= 0 && shown < 0) {
            shown = clock.elapsed();
        }
    });

    std::vector<qint64> tolds;
    std::vector<qint64> rebuilds;
    std::vector<qint64> shows;
    std::printf("source %d KB, %d rounds\n", kilobytes, rounds);
    std::printf("round  watcher  rebuilt  shown (ms from the save)\n");
    for (int round = 0; round < rounds; ++round) {
        // Nothing of the last round may still be on its way.
        WaitFor([] { return false; }, 300);
        told = rebuilt = shown = -1;
        text += Function(functions++);
        clock.start();
        if (!WriteFile(source, text)) {
            std::fprintf(stderr, "cannot save the source\n");
            return 1;
        }
        if (!WaitFor([&] { return shown >= 0; }, 30000)) {
            std::fprintf(stderr, "round %d: the page was not shown again (watcher %lld ms, rebuilt %lld ms)\n",
                         round + 1, static_cast<long long>(told), static_cast<long long>(rebuilt));
            return 1;
        }
        std::printf("%5d  %7lld  %7lld  %5lld\n", round + 1, static_cast<long long>(told),
                    static_cast<long long>(rebuilt), static_cast<long long>(shown));
        tolds.push_back(told);
        rebuilds.push_back(rebuilt);
        shows.push_back(shown);
    }
    std::printf("median %7lld  %7lld  %5lld\n", static_cast<long long>(Median(tolds)),
                static_cast<long long>(Median(rebuilds)), static_cast<long long>(Median(shows)));
    // The same page loaded anew, as the preview shows a page it goes to.
    std::vector<qint64> loads;
    const QString page = window.browser()->currentAddress();
    for (int round = 0; round < rounds; ++round) {
        WaitFor([] { return false; }, 300);
        loaded = false;
        clock.start();
        window.browser()->navigate(page);
        if (!WaitFor([&] { return loaded; }, 30000)) {
            std::fprintf(stderr, "the page was not loaded anew\n");
            return 1;
        }
        loads.push_back(clock.elapsed());
    }
    std::printf("loaded anew: median %lld ms\n", static_cast<long long>(Median(loads)));
    return 0;
}

// The main window's event loop while it builds a large project: a timer ticks
// every 10 ms in the window's thread, and the longest gap between two ticks is
// the longest the window could not paint or react.
//
//   window_stall_bench [--files N] [--kb K] [--workers W] [--keep DIR]
//
// Generates N documented sources of about K KB each (default 4000 of 2) and a
// project over them (HTML Help files written, the compiler not started), opens
// it in the main window (a stand-in preview, messages answered OK) and builds
// it with the Build command, as a user would, timing from the command to the
// build's end. Run it on the offscreen platform (the default) or under Xvfb.

#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/window_user_interface.h"
#include "book/workspace.h"
#include "project/project_file.h"
#include "support/environment.h"
#include "support/memory_setup.h"
#include "support/preferences.h"

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

/// A preview that shows nothing: the web engine is not what is measured.
class BlankPreview : public tessarel::PreviewBrowser {
public:
    using PreviewBrowser::PreviewBrowser;
    void navigate(const QString& path) override { address_ = path; }
    void showHtml(const QString&) override {}
    void back() override {}
    void forward() override {}
    void stop() override {}
    QString currentAddress() const override { return address_; }
    bool isLoading() const override { return false; }
    bool canGoBack() const override { return false; }
    bool canGoForward() const override { return false; }

private:
    QString address_;
};

QByteArray SourceFile(int file, int kilobytes) {
    QByteArray text = "// module: Unit " + QByteArray::number(file) + "\r\n// One unit of the project.\r\n\r\n";
    for (int function = 0; text.size() < kilobytes * 1024; ++function) {
        text += "// function: unit" + QByteArray::number(file) + "_f" + QByteArray::number(function) +
                "\r\n// Does **one** thing, as unit" + QByteArray::number(file) + " asks; see Unit " +
                QByteArray::number(file) + ".\r\n//\r\n// - first\r\n// - second\r\n" + "int unit" +
                QByteArray::number(file) + "_f" + QByteArray::number(function) +
                "(int a, int b) { return a + b; }\r\n\r\n";
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

}  // namespace

int main(int argc, char** argv) {
    tessarel::PrepareHeapForLargeTexts();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int files = Option(args, QStringLiteral("--files"), QStringLiteral("4000")).toInt();
    const int kilobytes = Option(args, QStringLiteral("--kb"), QStringLiteral("2")).toInt();
    const int workers = Option(args, QStringLiteral("--workers"), QStringLiteral("0")).toInt();
    QTemporaryDir temporary;
    const QString keep = Option(args, QStringLiteral("--keep"), QString());
    const QString base = keep.isEmpty() ? temporary.path() + QLatin1Char('/') : QDir(keep).absolutePath() + u'/';

    QDir().mkpath(base + QStringLiteral("program/styles"));
    QDir().mkpath(base + QStringLiteral("data"));
    QDir().mkpath(base + QStringLiteral("cache"));
    QDir().mkpath(base + QStringLiteral("project/src"));
    if (!WriteFile(base + QStringLiteral("program/styles/standard_babyblue.css"),
                   "body { font-family: sans-serif; }\n")) {
        std::fprintf(stderr, "cannot write into %s\n", qPrintable(base));
        return 1;
    }
    qint64 bytes = 0;
    for (int i = 0; i < files; ++i) {
        const QByteArray text = SourceFile(i, kilobytes);
        bytes += text.size();
        if (!WriteFile(base + QStringLiteral("project/src/unit%1.c").arg(i), text)) {
            std::fprintf(stderr, "cannot write the sources\n");
            return 1;
        }
    }

    tessarel::Preferences preferences(base + QStringLiteral("data/Tessarel.conf"));
    tessarel::WindowUserInterface ui;
    ui.messageHandler = [](const QString& title, const QString& text, tessarel::MessageIcon, tessarel::MessageButtons) {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(text));
        return tessarel::MessageAnswer::Ok;
    };
    tessarel::Environment env{ui, preferences,
                              tessarel::AppPaths{base + QStringLiteral("program/"), base + QStringLiteral("data/"),
                                                 base + QStringLiteral("cache/")}};
    tessarel::Workspace workspace(env);
    workspace.buildWorkers = workers;
    {
        tessarel::ProjectModel model;
        model.ProjectFolder = base + QStringLiteral("project/");
        model.ProjectFileName = QStringLiteral("bench.qdx");
        model.ProjectPath = model.ProjectFolder + model.ProjectFileName;
        model.settings.RelDestPath = QStringLiteral("out/");
        model.settings.GenerateHtmlHelpFiles = true;
        model.settings.Collapsible = true;
        model.settings.IncludeSearch = true;
        for (int i = 0; i < files; ++i) {
            model.Chapters.push_back({QStringLiteral("unit%1.c").arg(i), QStringLiteral("src/")});
        }
        tessarel::SaveProject(ui, model, model.ProjectPath);
    }
    // The compiler is not started: no folder holds one.
    preferences.WritePreference(tessarel::prefs::kProject, tessarel::prefs::kCompilerPath,
                                base + QStringLiteral("none"));

    tessarel::MainWindowState state;
    tessarel::MainWindow window(workspace, state, ui,
                                [](QWidget* parent) -> tessarel::PreviewBrowser* { return new BlankPreview(parent); });
    window.show();
    window.commands().openProject(base + QStringLiteral("project/bench.qdx"));
    if (!workspace.project.isOpen()) {
        std::fprintf(stderr, "the project did not open\n");
        return 1;
    }

    // The ticks: the gaps between them while the build runs.
    std::vector<qint64> gaps;
    QElapsedTimer wall;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (sinceTick.isValid()) {
            gaps.push_back(sinceTick.elapsed());
        }
        sinceTick.start();
    });
    QEventLoop untilBuilt;
    QObject::connect(&window.commands().builds, &tessarel::BuildThread::finished, &untilBuilt, &QEventLoop::quit);

    ticker.start();
    // The Build command starts from the event loop, as a click does.
    QTimer::singleShot(0, [&] {
        wall.start();
        window.action(tessarel::Command::Build)->trigger();
    });
    untilBuilt.exec();
    const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
    ticker.stop();

    std::sort(gaps.begin(), gaps.end());
    const auto at = [&](double share) {
        return gaps.empty() ? qint64{0} : gaps[std::min(gaps.size() - 1, static_cast<size_t>(share * gaps.size()))];
    };
    std::printf("files %d, %.1f MB, workers %d\n", files, static_cast<double>(bytes) / (1 << 20),
                workers > 0 ? workers : 0);
    std::printf("build %.2f s, %zu ticks of 10 ms\n", seconds, gaps.size());
    std::printf("longest gap %lld ms, 99th percentile %lld ms, median %lld ms\n",
                static_cast<long long>(gaps.empty() ? 0 : gaps.back()), static_cast<long long>(at(0.99)),
                static_cast<long long>(at(0.5)));
    return 0;
}

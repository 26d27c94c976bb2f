// Builds a generated project of 4000 documented source files of about 20 KB
// each: every chapter page, the side pages, the indexes and the HTML Help
// files (the compiler is not started). Prints the time, the files per second
// and the peak memory. Then builds it again with nothing changed, and with one
// source changed, taking the other chapters from the first build's record.
//
//   book_build_bench [files] [kilobytes per file]

#include "book/project_build.h"
#include "book/workspace.h"
#include "support/environment.h"
#include "support/preferences.h"
#include "support/quiet_user_interface.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

/// One documented function of about one kilobyte.
QByteArray DocumentedFunction(int file, int function) {
    const QByteArray name = "unit" + QByteArray::number(file) + "_step" + QByteArray::number(function);
    QByteArray text;
    text += "/*\n * function: " + name + "\n";
    text += " * Moves the *queue* one step forward and reports what it did. The caller\n";
    text += " * keeps the queue; this function only looks at the head and the tail and\n";
    text += " * never allocates. See unit" + QByteArray::number(file) + "_step0 for the first step.\n";
    text += " *\n * Parameters:\n * - queue: the queue to advance\n * - count: how many values to move\n";
    text += " * - flags: what to do with values that do not fit\n *\n";
    text += " * Returns:\n * the number of values moved, or -1 when the queue was empty.\n";
    text += " * Visit http://example.org/queues for the background of this design.\n */\n";
    text += "int " + name + "(struct queue *queue, int count, int flags)\n{\n";
    for (int line = 0; line < 8; ++line) {
        text += "    if (queue->head == queue->tail) { return -1; } /* step " + QByteArray::number(line) + " */\n";
    }
    text += "    return count;\n}\n\n";
    return text;
}

QByteArray SourceFile(int file, int kilobytes) {
    QByteArray text =
        "/*\n * module: Unit " + QByteArray::number(file) + "\n * One generated unit of the benchmark.\n */\n\n";
    for (int function = 0; text.size() < kilobytes * 1024; ++function) {
        text += DocumentedFunction(file, function);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The help compiler is not started: none is found in the folder of the
    // preference, nor on an empty PATH.
    qputenv("PATH", "");
    const int files = argc > 1 ? std::atoi(argv[1]) : 4000;
    const int kilobytes = argc > 2 ? std::atoi(argv[2]) : 20;

    QTemporaryDir root;
    const QString base = root.path() + QLatin1Char('/');
    QDir().mkpath(base + QStringLiteral("program/styles"));
    QDir().mkpath(base + QStringLiteral("data"));
    QDir().mkpath(base + QStringLiteral("project/src"));
    {
        QFile sheet(base + QStringLiteral("program/styles/standard_babyblue.css"));
        if (sheet.open(QIODevice::WriteOnly)) {
            sheet.write("body { font-family: sans-serif; }\n.SideLink { color: navy; }\n");
        }
    }

    QElapsedTimer clock;
    clock.start();
    qint64 sourceBytes = 0;
    for (int i = 0; i < files; ++i) {
        QFile source(base + QStringLiteral("project/src/unit%1.c").arg(i, 4, 10, QLatin1Char('0')));
        if (!source.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(source.fileName()));
            return 1;
        }
        const QByteArray text = SourceFile(i, kilobytes);
        sourceBytes += text.size();
        source.write(text);
    }
    std::printf("generated %d files, %.1f MB, in %.2f s\n", files, static_cast<double>(sourceBytes) / 1e6,
                static_cast<double>(clock.elapsed()) / 1000.0);

    tessarel::QuietUserInterface ui;
    ui.echoMessages = true;
    tessarel::Preferences preferences(base + QStringLiteral("data/Tessarel.conf"));
    tessarel::Environment env{ui, preferences,
                              tessarel::AppPaths{base + QStringLiteral("program/"), base + QStringLiteral("data/"),
                                                 base + QStringLiteral("cache/")}};
    tessarel::Workspace ws(env);
    tessarel::ProjectModel& project = ws.project;
    project.ProjectFolder = base + QStringLiteral("project/");
    project.ProjectFileName = QStringLiteral("bench.qdx");
    project.ProjectPath = project.ProjectFolder + project.ProjectFileName;
    project.settings.RelDestPath = QStringLiteral("out\\");
    project.settings.GenerateHtmlHelpFiles = true;
    preferences.WritePreference(tessarel::prefs::kProject, tessarel::prefs::kCompilerPath,
                                base + QStringLiteral("no-compiler"));
    project.settings.Collapsible = true;
    project.NumberOfChapters = files;
    for (int i = 0; i < files; ++i) {
        tessarel::Chapter& chapter = project.Chapters[static_cast<size_t>(i)];
        chapter.Name = QStringLiteral("unit%1.c").arg(i, 4, 10, QLatin1Char('0'));
        chapter.RelPath = QStringLiteral("src\\");
    }

    clock.restart();
    const tessarel::ProjectBuildResult result = tessarel::BuildProject(ws);
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("built %d of %d files (%d failed, %zu index entries) in %.2f s: %.0f files/s\n",
                result.chaptersProcessed, result.chaptersTotal, ui.failedRows(), ws.IndexEntries.size(), seconds,
                static_cast<double>(result.chaptersProcessed) / seconds);
    std::printf("peak memory: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    if (result.chaptersProcessed != files || result.destinationUnwritable) {
        return 1;
    }

    // The same book again: every chapter but the changed ones comes from the record.
    // Processor time as well: on a loaded machine it says more than the wall time.
    const auto processorSeconds = [] {
        rusage now{};
        getrusage(RUSAGE_SELF, &now);
        return static_cast<double>(now.ru_utime.tv_sec + now.ru_stime.tv_sec) +
               static_cast<double>(now.ru_utime.tv_usec + now.ru_stime.tv_usec) / 1e6;
    };
    const auto rebuild = [&](const char* what, int expectReused) {
        const double processorBefore = processorSeconds();
        clock.restart();
        const tessarel::ProjectBuildResult again = tessarel::BuildProject(ws);
        const double rebuildSeconds = static_cast<double>(clock.elapsed()) / 1000.0;
        std::printf("rebuild, %s: %.3f s wall, %.3f s processor (%d of %d chapters taken from the record)\n", what,
                    rebuildSeconds, processorSeconds() - processorBefore, again.chaptersReused, again.chaptersTotal);
        return again.chaptersReused == expectReused && again.chaptersProcessed == files;
    };
    if (!rebuild("nothing changed", files)) {
        return 1;
    }
    QFile edited(base + QStringLiteral("project/src/unit%1.c").arg(files / 2, 4, 10, QLatin1Char('0')));
    if (!edited.open(QIODevice::Append) || edited.write(DocumentedFunction(files / 2, 9999)) <= 0) {
        return 1;
    }
    edited.close();
    return rebuild("one source changed", files - 1) ? 0 : 1;
}

// Builds generated projects end to end and prints wall time and peak memory.
//
//   book_build_bench [--files N] [--kb K] [--workers LIST] [--keep DIR] [--search-off] [--distinct-texts]
//                    [--modern]
//   book_build_bench --doxygen-tree [--keep DIR]
//
// The first form generates N documented sources of about K KB each (default
// 4000 of 20) and builds the whole book (chapter pages, side pages, indexes,
// HTML Help files; the compiler is not started): a full build with one
// worker and with the default number (one per core, or each of LIST), then
// the rebuilds, which take unchanged chapters from the record the last
// build kept in the cache folder. The second generates the 200-file tree of 6,000 documented
// functions (3.2 MB), builds it with the default workers and, when doxygen is
// on PATH, runs it on the same tree (EXTRACT_ALL=YES), printing both times and
// the ratio. Every build runs in a child process of its own, so its peak
// memory is its own. --keep DIR generates into DIR (with a project file,
// bench.qdx) and leaves it there.
//
// The book has a search page unless --search-off; --distinct-texts gives every
// function a text of its own (the worst case for the search index, which
// stores a repeated text once). The index's size is printed after the builds.
// --modern builds the Modern layout instead of the frames.

#include "book/chapter_pool.h"
#include "book/project_build.h"
#include "book/workspace.h"
#include "project/project_file.h"
#include "support/environment.h"
#include "support/memory_setup.h"
#include "support/preferences.h"
#include "support/quiet_user_interface.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

/// One documented function of about one kilobyte.
QByteArray DocumentedFunction(int file, int function, bool distinct) {
    const QByteArray name = "unit" + QByteArray::number(file) + "_step" + QByteArray::number(function);
    QByteArray text;
    text += "/*\n * function: " + name + "\n";
    if (distinct) {
        // Words of its own before the common text: no two first sentences match.
        text += " * Step " + QByteArray::number(function) + " of unit " + QByteArray::number(file) + " (" +
                QByteArray::number(file * 7919 + function * 104729) + ") is where\n";
    }
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

QByteArray SourceFile(int file, int kilobytes, bool distinct) {
    QByteArray text =
        "/*\n * module: Unit " + QByteArray::number(file) + "\n * One generated unit of the benchmark.\n */\n\n";
    for (int function = 0; text.size() < kilobytes * 1024; ++function) {
        text += DocumentedFunction(file, function, distinct);
    }
    return text;
}

/// A function of about 530 bytes whose comment both programs read as its
/// documentation: 30 of them make a file of the 200-file tree.
QByteArray SmallFunction(int file, int function) {
    const QByteArray name = "mod" + QByteArray::number(file) + "_op" + QByteArray::number(function);
    QByteArray text;
    text += "/**\n * function: " + name + "\n";
    text += " * Applies one operation to the buffer and returns the number of bytes it\n";
    text += " * changed. The buffer stays the caller's; nothing is allocated here.\n";
    text += " * Returns: the bytes changed, or -1 when the buffer is empty.\n */\n";
    text += "int " + name + "(struct buffer *buffer, int count)\n{\n";
    for (int line = 0; line < 4; ++line) {
        text += "    if (buffer->used == 0) { return -1; } /* check " + QByteArray::number(line) + " */\n";
    }
    text += "    return count;\n}\n\n";
    return text;
}

QByteArray TreeFile(int file) {
    QByteArray text = "/**\n * module: Module " + QByteArray::number(file) + "\n * One unit of the tree.\n */\n\n";
    for (int function = 0; function < 30; ++function) {
        text += SmallFunction(file, function);
    }
    return text;
}

QString SourceName(int i) { return QStringLiteral("unit%1.c").arg(i, 4, 10, QLatin1Char('0')); }

/// A generated project: its folder, sources and project file.
struct Project {
    QString base;  ///< ends with "/"
    int files = 0;
    qint64 bytes = 0;
    bool search = true;
    bool distinctTexts = false;
    bool modern = false;
    QString path() const { return base + QStringLiteral("project/bench.qdx"); }
    QString source(int i) const { return base + QStringLiteral("project/src/") + SourceName(i); }
    QString destination() const { return base + QStringLiteral("project/out/"); }
};

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool Generate(Project& project, const std::function<QByteArray(int)>& source) {
    const QString& base = project.base;
    QDir().mkpath(base + QStringLiteral("program/styles"));
    QDir().mkpath(base + QStringLiteral("data"));
    QDir().mkpath(base + QStringLiteral("project/src"));
    if (!WriteFile(base + QStringLiteral("program/styles/standard_babyblue.css"),
                   "body { font-family: sans-serif; }\n.SideLink { color: navy; }\n")) {
        return false;
    }
    for (int i = 0; i < project.files; ++i) {
        const QByteArray text = source(i);
        project.bytes += text.size();
        if (!WriteFile(project.source(i), text)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(project.source(i)));
            return false;
        }
    }
    return true;
}

/// The project as the build sees it; saved as bench.qdx beside the sources.
void FillProject(tessarel::UserInterface& ui, tessarel::ProjectModel& model, const Project& project) {
    model.ProjectFolder = project.base + QStringLiteral("project/");
    model.ProjectFileName = QStringLiteral("bench.qdx");
    model.ProjectPath = project.path();
    model.settings.RelDestPath = QStringLiteral("out\\");
    model.settings.GenerateHtmlHelpFiles = true;
    model.settings.Collapsible = true;
    model.settings.IncludeSearch = project.search;
    model.settings.ModernLayout = project.modern;
    for (int i = 0; i < project.files; ++i) {
        model.Chapters.push_back({SourceName(i), QStringLiteral("src\\")});
    }
    tessarel::SaveProject(ui, model, project.path());
}

/// What a child process measured, and its peak memory.
struct Run {
    bool ok = false;
    double seconds = 0;
    double cpuSeconds = 0;  ///< user and system time of the child
    double peakMb = 0;
};

/// Runs `work` in a child process: the child prints its own lines, and the
/// parent takes its wall time and peak resident size.
Run InChild(const std::function<bool()>& work) {
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        const bool ok = work();
        std::fflush(stdout);
        _exit(ok ? 0 : 1);
    }
    Run run;
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        run.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
        run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return run;
}

/// One build of the project with `workers` (0: the default), in a child. With
/// `reused` >= 0, exactly that many chapters must come from the last build's record;
/// with `bookKept`, the book around them must be left as it was.
Run Build(const Project& project, int workers, const char* label, int reused = -1, bool bookKept = false) {
    const Run run = InChild([&] {
        tessarel::PrepareHeapForLargeTexts();
        tessarel::QuietUserInterface ui;
        ui.echoMessages = true;
        tessarel::Preferences preferences(project.base + QStringLiteral("data/Tessarel.conf"));
        // The help files are written; the compiler, which takes far longer
        // than the build, is found neither in its folder nor on PATH.
        const QString noCompiler = project.base + QStringLiteral("no-compiler");
        preferences.WritePreference(tessarel::prefs::kProject, tessarel::prefs::kCompilerPath, noCompiler);
        qputenv("PATH", QFile::encodeName(noCompiler));
        tessarel::Environment env{
            ui, preferences,
            tessarel::AppPaths{project.base + QStringLiteral("program/"), project.base + QStringLiteral("data/"),
                               project.base + QStringLiteral("cache/")}};
        tessarel::Workspace ws(env);
        FillProject(ui, ws.project, project);
        ws.buildWorkers = workers;
        const tessarel::ProjectBuildResult result = tessarel::BuildProject(ws);
        if (result.chaptersProcessed != project.files || result.destinationUnwritable || ui.failedRows() > 0 ||
            (reused >= 0 && result.chaptersReused != reused) || (bookKept && !result.bookReused)) {
            std::printf("  %s: built %d of %d, %d failed, %d from the record, book %s\n", label,
                        result.chaptersProcessed, project.files, ui.failedRows(), result.chaptersReused,
                        result.bookReused ? "kept" : "made");
            return false;
        }
        return true;
    });
    std::printf("%-34s %8.2f s %8.2f s %9.1f MB%s\n", label, run.seconds, run.cpuSeconds, run.peakMb,
                run.ok ? "" : "  FAILED");
    return run;
}

/// Runs a program in a child and returns its wall time and peak memory.
Run Program(const QStringList& arguments, const QString& folder) {
    return InChild([&] {
        if (chdir(QFile::encodeName(folder).constData()) != 0) {
            return false;
        }
        std::vector<QByteArray> bytes;
        for (const QString& argument : arguments) {
            bytes.push_back(argument.toLocal8Bit());
        }
        std::vector<char*> argv;
        for (QByteArray& argument : bytes) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        return false;
    });
}

int FullBuilds(Project& project, int kilobytes, const std::vector<int>& workerCounts) {
    const bool distinct = project.distinctTexts;
    if (!Generate(project, [kilobytes, distinct](int i) { return SourceFile(i, kilobytes, distinct); })) {
        return 1;
    }
    std::printf("generated %d files, %.1f MB; %d cores\n\n", project.files, static_cast<double>(project.bytes) / 1e6,
                tessarel::ChapterPool::DefaultWorkers());
    std::printf("%-34s %10s %10s %12s\n", "", "wall", "processor", "peak memory");
    bool ok = true;
    // The last build's book is moved aside, not deleted, until the end: a
    // file system without a journal makes every file created within a minute
    // of thousands deleted search past them (seconds of system time), so the
    // build after a deletion would pay for it and the one before would not.
    const QString aside = project.base + QStringLiteral("aside/");
    int moved = 0;
    const auto fresh = [&] {
        QDir().mkpath(aside);
        // A name left by an earlier run in the same folder is not taken over.
        if (!QDir().rename(project.destination(), aside + QString::number(moved++))) {
            QDir(project.destination()).removeRecursively();
        }
    };
    fresh();
    const Run one = Build(project, 1, "full build, 1 worker");
    ok = ok && one.ok;
    for (const int workers : workerCounts) {
        fresh();
        const QByteArray label = workers == 0 ? QByteArray("full build, default workers")
                                              : "full build, " + QByteArray::number(workers) + " workers";
        const Run many = Build(project, workers, label.constData());
        ok = ok && many.ok;
        if (one.ok && many.ok) {
            std::printf("%-34s %8.2f\n", "  against 1 worker", many.seconds / one.seconds);
        }
    }
    // Rebuilds into the same destination: the chapters that did not change
    // come from the record the last build kept in the cache folder.
    ok = Build(project, 0, "rebuild, nothing changed", project.files, true).ok && ok;
    QFile touched(project.source(project.files / 2));
    if (touched.open(QIODevice::Append)) {
        touched.write("/*\n * function: added\n * One more.\n */\n");
        touched.close();
    }
    ok = Build(project, 0, "rebuild, one source changed", project.files - 1).ok && ok;
    if (project.search) {
        std::printf(
            "\nsearch index: %.2f MB\n",
            static_cast<double>(QFileInfo(project.destination() + QStringLiteral("_search_index.js")).size()) / 1e6);
    }
    QDir(aside).removeRecursively();
    return ok ? 0 : 1;
}

int AgainstDoxygen(Project& project) {
    project.files = 200;
    if (!Generate(project, TreeFile)) {
        return 1;
    }
    std::printf("generated %d files, 6,000 documented functions, %.1f MB; %d cores\n\n", project.files,
                static_cast<double>(project.bytes) / 1e6, tessarel::ChapterPool::DefaultWorkers());
    QDir(project.destination()).removeRecursively();
    const Run ours = Build(project, 0, "Tessarel, default workers");
    const QString doxygen = QStandardPaths::findExecutable(QStringLiteral("doxygen"));
    if (doxygen.isEmpty()) {
        std::printf("doxygen is not on PATH: no comparison\n");
        return ours.ok ? 0 : 1;
    }
    const QString folder = project.base + QStringLiteral("project/");
    WriteFile(folder + QStringLiteral("Doxyfile"),
              "PROJECT_NAME = bench\nINPUT = src\nFILE_PATTERNS = *.c\n"
              "OUTPUT_DIRECTORY = doxygen-out\nEXTRACT_ALL = YES\n"
              "GENERATE_LATEX = NO\nHAVE_DOT = NO\nQUIET = YES\nWARNINGS = NO\n");
    const Run theirs = Program({doxygen, QStringLiteral("Doxyfile")}, folder);
    std::printf("%-34s %8.2f s %8.2f s %9.1f MB%s\n", "doxygen (EXTRACT_ALL=YES)", theirs.seconds, theirs.cpuSeconds,
                theirs.peakMb, theirs.ok ? "" : "  FAILED");
    if (ours.ok && theirs.ok) {
        std::printf("%-34s %8.1fx\n", "doxygen time / Tessarel time", theirs.seconds / ours.seconds);
    }
    return ours.ok && theirs.ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const auto value = [&](const QString& name, const QString& fallback) {
        const qsizetype at = arguments.indexOf(name);
        return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : fallback;
    };
    Project project;
    project.files = value(QStringLiteral("--files"), QStringLiteral("4000")).toInt();
    project.search = !arguments.contains(QStringLiteral("--search-off"));
    project.distinctTexts = arguments.contains(QStringLiteral("--distinct-texts"));
    project.modern = arguments.contains(QStringLiteral("--modern"));
    const int kilobytes = value(QStringLiteral("--kb"), QStringLiteral("20")).toInt();
    std::vector<int> workers;
    for (const QString& count : value(QStringLiteral("--workers"), QStringLiteral("0")).split(QLatin1Char(','))) {
        workers.push_back(count.toInt());
    }

    QTemporaryDir root;
    const QString keep = value(QStringLiteral("--keep"), QString());
    project.base = (keep.isEmpty() ? root.path() : QDir(keep).absolutePath()) + QLatin1Char('/');
    if (arguments.contains(QStringLiteral("--doxygen-tree"))) {
        return AgainstDoxygen(project);
    }
    return FullBuilds(project, kilobytes, workers);
}

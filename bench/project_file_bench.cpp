// Time to save, load and compare a project of the largest size the program
// accepts: 4000 chapters with long names and a long description.
//
//   project_file_bench
//
// Target: each of the three at most 0.5 s.

#include "project/project_file.h"
#include "project/project_model.h"
#include "support/paths.h"
#include "support/quiet_user_interface.h"
#include "support/user_interface.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace tessarel;

namespace {

constexpr double kTargetSeconds = 0.5;

bool Timed(const char* what, const std::function<bool()>& work) {
    QElapsedTimer clock;
    clock.start();
    const bool ok = work();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const bool fast = seconds <= kTargetSeconds;
    std::printf("%-10s %8.3f s  %s%s\n", what, seconds, fast ? "ok" : "TOO SLOW", ok ? "" : "  (FAILED)");
    return ok && fast;
}

}  // namespace

int main() {
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    QuietUserInterface ui;
    ui.echoMessages = true;
    const QString path = QDir::toNativeSeparators(folder.filePath(QStringLiteral("bench.qdx")));

    ProjectModel project;
    ClearProject(project);
    project.ProjectPath = path;
    project.ProjectFolder = FolderOf(path);
    project.ProjectFileName = FileNameOf(path);
    project.settings.IndexText = QStringLiteral("A line of the project description.\r\n").repeated(2000);
    for (int i = 0; i < kMaxChapters; ++i) {
        project.Chapters.push_back({QStringLiteral("source_file_with_a_long_name_%1.cpp").arg(i),
                                    QStringLiteral("..\\src\\module_%1\\").arg(i / 40)});
    }

    ProjectModel loaded;
    bool ok = Timed("save", [&] { return SaveProject(ui, project, path); });
    ok = Timed("load", [&] { return LoadProject(ui, loaded, path) == LoadOutcome::Loaded; }) && ok;
    ok = Timed("modified", [&] { return !IsProjectModified(loaded); }) && ok;
    ok = ok && loaded.chapterCount() == kMaxChapters && ui.messages.empty();
    std::printf("%s\n", ok ? "all within target" : "FAILED");
    return ok ? 0 : 1;
}

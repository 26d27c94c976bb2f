#include "app/live_preview.h"

#include <QTime>
#include <algorithm>

#include "app/handler_guard.h"
#include "app/main_commands.h"
#include "app/main_view.h"
#include "book/project_sources.h"
#include "book/workspace.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/string_functions.h"

namespace tessarel {

LivePreview::LivePreview(Workspace& workspace, MainCommands& commands, MainView& view, QObject* parent)
    : QObject(parent), workspace_(workspace), commands_(commands), view_(view) {
    enabled_ = workspace_.env.preferences.ReadFlag(prefs::kGeneral, prefs::kLivePreview, QStringLiteral("1"));
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &LivePreview::rebuildWhenFree);
    connect(&watcher_, &SourceWatcher::changed, this, &LivePreview::filesChanged);
}

void LivePreview::setEnabled(bool enabled) {
    enabled_ = enabled;
    workspace_.env.preferences.WriteFlag(prefs::kGeneral, prefs::kLivePreview, enabled);
    follow();
}

QStringList LivePreview::wantedFiles() const {
    QStringList files;
    if (!enabled_ || stopped_) {
        return files;
    }
    const ProjectModel& project = workspace_.project;
    if (project.isOpen()) {
        files << project.ProjectPath;
        for (const Chapter& chapter : project.Chapters) {
            files << ChapterSourcePath(project, chapter);
        }
    } else {
        files << workspace_.document.SourceFilePath;
    }
    // A new project has no file yet; two chapters may share a source.
    files.removeIf([](const QString& file) { return TrimSpaces(file).isEmpty(); });
    files.removeDuplicates();
    return files;
}

void LivePreview::follow() {
    const QStringList wanted = wantedFiles();
    if (wanted == watcher_.files()) {
        return;
    }
    // A change noticed for the document before is no reason to build this one.
    pending_ = false;
    retry_.stop();
    view_.setStatusPanel(kStatusPanel, QString());
    if (wanted.isEmpty()) {
        watcher_.stop();
    } else {
        watcher_.watch(wanted);
    }
}

void LivePreview::stop() {
    stopped_ = true;
    follow();
}

void LivePreview::filesChanged(const QStringList& files) {
    (void)files;  // a project is built whole, a single file is the only one watched
    pending_ = true;
    rebuildWhenFree();
}

void LivePreview::rebuildWhenFree() {
    if (!pending_ || !enabled_ || stopped_) {
        return;
    }
    // Never under a build or a dialog that edits what the build reads (a
    // dialog runs the event loop): try again once they are over. A project
    // file is read and written without the event loop, so no save is seen
    // during it.
    if (commands_.commands.building() || view_.modalWindowOpen()) {
        retry_.start();
        return;
    }
    pending_ = false;
    const ProjectModel& project = workspace_.project;
    const bool projectOpen = project.isOpen();
    if (!projectOpen && TrimSpaces(workspace_.document.SourceFilePath).isEmpty()) {
        return;
    }
    const QString document = DocumentName(projectOpen ? project.ProjectPath : workspace_.document.SourceFilePath);
    // A book is first built by the user's command; from then on it follows.
    if (projectOpen && !FileExists(commands_.bookIndexPath())) {
        view_.setStatusPanel(kStatusPanel, QStringLiteral("Live preview: ") + document +
                                               QStringLiteral(" follows your saves once its book is built"));
        return;
    }
    view_.beginQuietBuild();
    // The quiet ends when the build does, or at once when none started; a
    // critical error's report has then ended the program.
    auto end = [this, document] {
        const QStringList problems = view_.endQuietBuild();
        if (stopped_) {
            return;
        }
        // A project build may have sorted its chapters.
        follow();
        view_.setStatusPanel(kStatusPanel,
                             StatusText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), document, problems));
        Q_EMIT rebuilt();
    };
    bool started = false;
    // Called from the event loop: nothing may escape.
    const bool handled = RunEventHandler([&] {
        // A file of the user's at the page's name is kept, and the status bar says so.
        started = projectOpen ? commands_.buildProject(false, end)
                              : commands_.buildSingleFile(ForeignPage::Keep, [end](bool) { end(); });
    });
    if (started) {
        return;
    }
    if (handled) {
        end();
    } else {
        view_.endQuietBuild();
    }
}

QString LivePreview::StatusText(const QString& time, const QString& document, const QStringList& problems) {
    if (problems.isEmpty()) {
        return QStringLiteral("Live preview: ") + document + QStringLiteral(" rebuilt at ") + time;
    }
    QString text = QStringLiteral("Live preview: ") + document + QStringLiteral(" at ") + time + QStringLiteral(": ") +
                   problems.first();
    if (problems.size() > 1) {
        text += QStringLiteral(" (and ") + QString::number(problems.size() - 1) + QStringLiteral(" more)");
    }
    return text;
}

}  // namespace tessarel

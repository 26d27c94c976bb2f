#include "cli/watch_command.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSet>
#include <QTime>
#include <QTimer>

#include "book/source_watcher.h"
#include "cli/build_target.h"
#include "cli/console_user_interface.h"
#include "cli/interrupt.h"
#include "support/paths.h"

namespace tessarel::cli {

namespace {

/// How often the event loop looks whether Ctrl+C has arrived: a signal handler
/// may only set a flag.
constexpr int kInterruptPollMs = 100;
/// Names shown per kind of change; a checkout of many files stays one line.
constexpr qsizetype kNamesShown = 3;

QString NameList(const QStringList& names) {
    QStringList shown;
    for (qsizetype i = 0; i < names.size() && i < kNamesShown; ++i) {
        shown << OneLine(names.at(i));
    }
    QString list = shown.join(QStringLiteral(", "));
    if (names.size() > kNamesShown) {
        list += QStringLiteral(" and ") + QString::number(names.size() - kNamesShown) + QStringLiteral(" more");
    }
    return list;
}

/// The line that tells of a rebuild: the time, what was rebuilt, the files
/// that changed (or were removed) and the outcome.
QString RebuildLine(const QString& time, const QString& target, const QStringList& changed, const QStringList& removed,
                    const QString& outcome) {
    QStringList what;
    if (!changed.isEmpty()) {
        what << QStringLiteral("changed: ") + NameList(changed);
    }
    if (!removed.isEmpty()) {
        what << QStringLiteral("removed: ") + NameList(removed);
    }
    return time + QStringLiteral("  rebuilt ") + OneLine(target) + QStringLiteral(" (") +
           what.join(QStringLiteral("; ")) + QStringLiteral("): ") + outcome;
}

}  // namespace

ExitStatus WatchCommand::run(const QStringList& files) {
    for (const QString& file : files) {
        targets_.push_back({file, {}});
        watchInputsOf(targets_.back());
    }
    for (const Target& target : targets_) {
        if (Interrupted() || ui_.quitRequested()) {
            break;
        }
        BuildTarget(env_, ui_, target.file, false, options_);
    }
    if (!Interrupted() && !ui_.quitRequested()) {
        QEventLoop loop;
        QObject::connect(&watcher_, &SourceWatcher::changed, &loop,
                         [this](const QStringList& changed) { rebuild(changed); });
        QTimer poll;
        poll.setInterval(kInterruptPollMs);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (Interrupted() || ui_.quitRequested()) {
                loop.quit();
            }
        });
        poll.start();
        const qsizetype watched = watcher_.files().size();
        ui_.console().err(
            QStringLiteral("Watching ") + QString::number(watched) +
            (watched == 1 ? QStringLiteral(" file; Ctrl+C stops.") : QStringLiteral(" files; Ctrl+C stops.")));
        loop.exec();
    }
    watcher_.stop();
    if (Interrupted()) {
        return InterruptedStatus();
    }
    // Only a critical error, which asked the program to end, leaves the loop otherwise.
    return ExitStatus::BuildFailed;
}

void WatchCommand::watchInputsOf(Target& target) {
    target.inputs = TargetInputs(target.file);
    watcher_.watch(allInputs());
}

void WatchCommand::rebuild(const QStringList& changed) {
    QSet<QString> changedPaths;
    for (const QString& file : changed) {
        changedPaths.insert(QFileInfo(file).absoluteFilePath());
    }
    for (Target& target : targets_) {
        if (Interrupted() || ui_.quitRequested()) {
            return;
        }
        QStringList changedNames;
        QStringList removedNames;
        for (const QString& input : std::as_const(target.inputs)) {
            if (changedPaths.contains(input)) {
                (FileExists(input) ? changedNames : removedNames) << FileNameOf(input);
            }
        }
        if (changedNames.isEmpty() && removedNames.isEmpty()) {
            continue;
        }
        // A project read again may list other chapters now.
        watchInputsOf(target);
        ui_.setFailedRowsOnly(true);
        const TargetBuild build =
            BuildTarget(env_, ui_, target.file, true, ProjectOptions{.workers = options_.workers, .rebuild = false});
        ui_.setFailedRowsOnly(false);
        const QString outcome = Interrupted() ? QStringLiteral("interrupted") : build.outcome;
        ui_.console().out(RebuildLine(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")),
                                      FileNameOf(target.file), changedNames, removedNames, outcome));
    }
}

QStringList WatchCommand::allInputs() const {
    QStringList inputs;
    for (const Target& target : targets_) {
        inputs << target.inputs;
    }
    return inputs;
}

}  // namespace tessarel::cli

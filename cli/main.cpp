#include <QCommandLineParser>
#include <QCoreApplication>

#include "book/chapter_pool.h"
#include "book/project_build.h"
#include "cli/build_target.h"
#include "cli/console.h"
#include "cli/console_user_interface.h"
#include "cli/exit_status.h"
#include "cli/interrupt.h"
#include "cli/watch_command.h"
#include "support/environment.h"
#include "support/memory_setup.h"
#include "support/paths.h"
#include "support/preferences.h"

using namespace tessarel;
using namespace tessarel::cli;

namespace {

ExitStatus Run(const QStringList& files, bool watch, Console& console, const ProjectOptions& options) {
    ConsoleUserInterface ui(console);
    Preferences preferences;
    Environment env{ui, preferences, AppPaths::forRunningProgram()};
    if (watch) {
        return WatchCommand(env, ui, options).run(files);
    }

    ExitStatus status = ExitStatus::Success;
    for (const QString& file : files) {
        if (Interrupted() || ui.quitRequested()) {
            break;
        }
        status = Worse(status, BuildTarget(env, ui, file, false, options).status);
    }
    if (ui.quitRequested()) {
        status = Worse(status, ExitStatus::BuildFailed);
    }
    return Interrupted() ? InterruptedStatus() : status;
}

/// The help of -j, with the default a build without it takes here and now.
QString JobsDescription(int preferredWorkers) {
    const QString now = preferredWorkers > 0
                            ? QString::number(preferredWorkers)
                            : QStringLiteral("Automatic, one per processor core (") +
                                  QString::number(ChapterPool::DefaultWorkers()) + QStringLiteral(" here)");
    return QStringLiteral("Build up to N chapters of a project at once, from 1 to ") +
           QString::number(kMaxBuildWorkers) +
           QStringLiteral(". Default: Build Workers in the Settings of the window, the user's preference, now ") + now +
           QLatin1Char('.');
}

}  // namespace

int main(int argc, char* argv[]) {
    PrepareHeapForLargeTexts();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessarel-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSAREL_VERSION));
    InstallInterruptHandler();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds documentation from the comments of source files.\n"
                       "A source file gets its chapter page next to it; a project file (.qdx)\n"
                       "gets its whole book in the project's destination folder.\n"
                       "Exit status: 0 all built, 1 a file failed, 2 usage or unreadable project,\n"
                       "130 interrupted (SIGINT), 143 stopped by SIGTERM, 129 by SIGHUP."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption jobsOption({QStringLiteral("j"), QStringLiteral("jobs")},
                                        JobsDescription(ReadBuildWorkers(Preferences())), QStringLiteral("N"));
    parser.addOption(jobsOption);
    const QCommandLineOption rebuildOption(
        QStringLiteral("rebuild"),
        QStringLiteral("Build every chapter of a project, even those the last build left unchanged."));
    parser.addOption(rebuildOption);
    const QCommandLineOption watchOption(
        QStringLiteral("watch"),
        QStringLiteral("Build once, then rebuild whenever a source or project file changes, until Ctrl+C."));
    parser.addOption(watchOption);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A source file or a project file (.qdx)."),
                                 QStringLiteral("FILE..."));

    Console console;
    if (!parser.parse(QCoreApplication::arguments())) {
        console.err(QStringLiteral("tessarel-cli: ") + parser.errorText());
        console.err(QStringLiteral("Try 'tessarel-cli --help'."));
        return static_cast<int>(ExitStatus::Usage);
    }
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"))) {
        console.out(parser.helpText().trimmed());
        return static_cast<int>(ExitStatus::Success);
    }
    if (parser.isSet(versionOption)) {
        console.out(QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion());
        return static_cast<int>(ExitStatus::Success);
    }
    int workers = 0;
    if (parser.isSet(jobsOption)) {
        bool ok = false;
        workers = parser.value(jobsOption).toInt(&ok);
        if (!ok || workers < 1 || workers > kMaxBuildWorkers) {
            console.err(QStringLiteral("tessarel-cli: --jobs wants a number from 1 to ") +
                        QString::number(kMaxBuildWorkers));
            console.err(QStringLiteral("Try 'tessarel-cli --help'."));
            return static_cast<int>(ExitStatus::Usage);
        }
    }
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        console.err(QStringLiteral("tessarel-cli: no file given"));
        console.err(QStringLiteral("Usage: tessarel-cli FILE...   (see --help)"));
        return static_cast<int>(ExitStatus::Usage);
    }

    const ProjectOptions options{.workers = workers, .rebuild = parser.isSet(rebuildOption)};
    return static_cast<int>(Run(files, parser.isSet(watchOption), console, options));
}

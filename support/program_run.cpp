#include "support/program_run.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include "support/user_interface.h"

#ifdef Q_OS_UNIX
#include <sys/types.h>
#include <unistd.h>

#include <csignal>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace tessarel {

namespace {

/// How often the wait looks at the clock and the cancel flag.
constexpr int kPollMs = 50;

void KeepOutput(QProcess& process, QByteArray& output) {
    const QByteArray more = process.readAll();
    const qsizetype room = ProgramRun::kMaxOutput - output.size();
    if (room > 0) {
        output.append(more.left(room));
    }
}

#ifdef Q_OS_UNIX
/// Waits up to `msecs` for the program itself, or sleeps when it is already over.
void WaitALittle(QProcess& process, int msecs) {
    if (process.state() != QProcess::NotRunning) {
        process.waitForFinished(msecs);
    } else {
        QThread::msleep(static_cast<unsigned long>(msecs));
    }
}

bool GroupAlive(pid_t group) { return ::kill(-group, 0) == 0; }
#endif

/// Ends the program and, on POSIX, every process of its group: SIGTERM, then
/// SIGKILL to whatever is left after `grace`.
void EndProgram(QProcess& process, qint64 pid, std::chrono::milliseconds grace, QByteArray& output) {
#ifdef Q_OS_UNIX
    const auto group = static_cast<pid_t>(pid);
    // The program is not reaped before this, so its pid still names its group.
    ::kill(-group, SIGTERM);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < grace.count()) {
        WaitALittle(process, kPollMs);
        KeepOutput(process, output);
        if (process.state() == QProcess::NotRunning && !GroupAlive(group)) {
            return;
        }
    }
    ::kill(-group, SIGKILL);
#else
    (void)pid;
    process.kill();
#endif
    if (process.state() != QProcess::NotRunning) {
        process.waitForFinished(static_cast<int>(grace.count()) + 1000);
    }
    KeepOutput(process, output);
}

}  // namespace

ProgramRun RunProgram(UserInterface& ui, const QString& program, const QStringList& arguments,
                      const QString& workingFolder, std::chrono::milliseconds timeLimit,
                      std::chrono::milliseconds grace) {
    ProgramRun run;
    run.timeLimit = timeLimit;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingFolder);
    process.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_UNIX
    // A group of its own, so that whatever it starts can be ended with it; a
    // terminal's Ctrl+C then reaches only this program, which ends the group.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::setpgid(0, 0);
        // The console program ignores SIGPIPE; the compiler gets the usual one.
        ::signal(SIGPIPE, SIG_DFL);
#ifdef Q_OS_LINUX
        // Should this program be killed outright, the compiler goes with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(127);
        }
#endif
    });
#endif
    QElapsedTimer clock;
    clock.start();
    process.start();
    if (!process.waitForStarted()) {
        run.startError = process.errorString();
        return run;
    }
    process.closeWriteChannel();
    const qint64 pid = process.processId();

    while (!process.waitForFinished(kPollMs) && process.state() != QProcess::NotRunning) {
        KeepOutput(process, run.output);
        if (ui.cancelRequested()) {
            run.end = ProgramEnd::Cancelled;
            break;
        }
        if (clock.elapsed() >= timeLimit.count()) {
            run.end = ProgramEnd::TimedOut;
            break;
        }
    }
    KeepOutput(process, run.output);
    if (run.end != ProgramEnd::NotStarted) {
        EndProgram(process, pid, grace, run.output);
        return run;
    }
    run.end = process.exitStatus() == QProcess::NormalExit ? ProgramEnd::Finished : ProgramEnd::Crashed;
    run.exitCode = process.exitCode();
#ifdef Q_OS_UNIX
    // Helpers it left running must not outlive the build.
    if (GroupAlive(static_cast<pid_t>(pid))) {
        EndProgram(process, pid, grace, run.output);
    }
#endif
    return run;
}

}  // namespace tessarel

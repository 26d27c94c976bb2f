#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>

namespace tessarel {

class UserInterface;

/// How a run of an outside program ended.
enum class ProgramEnd {
    NotStarted,  ///< it could not be started (see ProgramRun::startError)
    Finished,    ///< it ended by itself (see ProgramRun::exitCode)
    Crashed,     ///< it was ended by a signal it did not send itself
    TimedOut,    ///< it was still running at its time limit and was ended
    Cancelled,   ///< the user asked the build to stop and it was ended
};

/// One run of an outside program and what it said.
struct ProgramRun {
    ProgramEnd end = ProgramEnd::NotStarted;
    int exitCode = -1;
    /// Its standard output and error, interleaved as they came; only the first
    /// kMaxOutput bytes are kept.
    QByteArray output;
    QString startError;
    std::chrono::milliseconds timeLimit{0};

    static constexpr qsizetype kMaxOutput = 1 << 20;
    bool succeeded() const { return end == ProgramEnd::Finished && exitCode == 0; }
};

/// Runs `program` in `workingFolder` and waits for it, looking at the user's
/// Cancel as it waits. It runs in a process group of its own: when it is still
/// running after `timeLimit`, or the user cancels, the whole group gets SIGTERM
/// and, `grace` later, SIGKILL; helpers it leaves behind after ending by itself
/// are ended too. Its standard input is closed.
ProgramRun RunProgram(UserInterface& ui, const QString& program, const QStringList& arguments,
                      const QString& workingFolder, std::chrono::milliseconds timeLimit,
                      std::chrono::milliseconds grace = std::chrono::seconds(2));

}  // namespace tessarel

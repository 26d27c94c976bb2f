#include "support/program_run.h"

#include <gtest/gtest.h>

#include <QFile>

#include "testing.h"

namespace tessarel::testing {
namespace {

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

class RunProgramTest : public ::testing::Test {
protected:
    ProgramRun run(const QString& script, std::chrono::milliseconds limit = 20s) {
        WriteScript(folder + u"/program"_s, u"#!/bin/sh\n"_s + script);
        return RunProgram(ui, folder + u"/program"_s, {u"one"_s, u"two words"_s}, folder, limit, 300ms);
    }
    std::vector<qint64> pids() const { return ReadPids(folder + u"/pids"_s); }

    RecordingUserInterface ui;
    QTemporaryDir dir;
    QString folder = dir.path();
};

TEST_F(RunProgramTest, returnsExitCodeAndEverythingItSaid) {
    const ProgramRun failed = run(u"echo \"$1|$2|$(pwd)\"\necho trouble >&2\nexit 4\n"_s);
    EXPECT_EQ(failed.end, ProgramEnd::Finished);
    EXPECT_EQ(failed.exitCode, 4);
    EXPECT_FALSE(failed.succeeded());
    EXPECT_EQ(failed.output, (u"one|two words|"_s + folder + u"\ntrouble\n"_s).toUtf8());

    EXPECT_TRUE(run(u"exit 0\n"_s).succeeded());
    // Its input is closed: a program that reads it ends instead of waiting.
    EXPECT_TRUE(run(u"cat\n"_s).succeeded());
    // A flood of output is cut, and the program is not held up by it.
    const ProgramRun flood = run(u"head -c 3000000 /dev/zero\n"_s);
    EXPECT_TRUE(flood.succeeded());
    EXPECT_EQ(flood.output.size(), ProgramRun::kMaxOutput);

    const ProgramRun missing = RunProgram(ui, folder + u"/none"_s, {}, folder, 20s);
    EXPECT_EQ(missing.end, ProgramEnd::NotStarted);
    EXPECT_FALSE(missing.startError.isEmpty());
}

TEST_F(RunProgramTest, overTheLimit_theWholeGroupIsEnded) {
    // The clock is looked at only after Cancel, and Cancel is not answered
    // until the helper runs, however slowly the program starts: the limit
    // always falls on a running group.
    ui.onCancelCheck = [this] { PidsWritten(folder + u"/pids"_s, 2); };
    // It ignores SIGTERM, and so does the helper it starts: only SIGKILL ends them.
    const ProgramRun hung =
        run(u"trap '' TERM\necho started\necho $$ > pids\nsleep 600 &\necho $! >> pids\nwait\n"_s, 300ms);
    EXPECT_EQ(hung.end, ProgramEnd::TimedOut);
    EXPECT_EQ(hung.output, "started\n");
    ASSERT_EQ(pids().size(), 2u);
    EXPECT_TRUE(ProcessesEnded(pids()));
}

TEST_F(RunProgramTest, cancel_endsTheWholeGroup) {
    ui.onCancelCheck = [this] {
        if (pids().size() == 2) {
            ui.cancel = true;
        }
    };
    const ProgramRun cancelled = run(u"sleep 600 &\necho $! > pids\necho $$ >> pids\nwait\n"_s);
    EXPECT_EQ(cancelled.end, ProgramEnd::Cancelled);
    ASSERT_EQ(pids().size(), 2u);
    EXPECT_TRUE(ProcessesEnded(pids()));
}

TEST_F(RunProgramTest, helpersLeftBehind_areEndedWithIt) {
    // The helper keeps the output open; the run is over when the program is.
    const ProgramRun done = run(u"sleep 600 &\necho $! > pids\nexit 0\n"_s);
    EXPECT_TRUE(done.succeeded());
    ASSERT_EQ(pids().size(), 1u);
    EXPECT_TRUE(ProcessesEnded(pids()));
}

}  // namespace
}  // namespace tessarel::testing

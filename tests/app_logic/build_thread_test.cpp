// The window's builds on their own thread: reports reach the window's thread
// in order while its event loop runs, the build's copy of the project comes
// back, a message holds the build until it is answered, and a second build is
// refused. Holds are gates the build waits on, never a time; they are made of
// the standard library's mutex, which the thread sanitizer sees (Qt's own is
// not built with it).
#include "app/build_thread.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTimer>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "book/project_build.h"
#include "book/workspace.h"
#include "support/paths.h"
#include "support/testing.h"

using namespace Qt::Literals::StringLiterals;

namespace tessarel {
namespace {

constexpr int kCeilingMs = 120000;

/// Opened once; wait() returns once it is open.
class Gate {
public:
    void open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }
    /// False when it did not open within the ceiling.
    bool wait() {
        std::unique_lock lock(mutex_);
        return opened_.wait_for(lock, std::chrono::milliseconds(kCeilingMs), [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

/// Every report in one list, in the order the window's thread saw them.
class OrderedUserInterface : public testing::RecordingUserInterface {
public:
    MessageAnswer message(const QString& title, const QString& text, MessageIcon icon,
                          MessageButtons buttons) override {
        seen << u"message "_s + title;
        return RecordingUserInterface::message(title, text, icon, buttons);
    }
    QStringList seen;
    std::thread::id thread;

protected:
    void showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                    const QString& output) override {
        seen << u"row "_s + item;
        // Every report is shown on one thread, the window's.
        if (thread != std::this_thread::get_id()) {
            seen << u"on another thread"_s;
        }
        RecordingUserInterface::showLogRow(reason, item, status, title, output);
    }
};

class BuildThreadTest : public ::testing::Test {
protected:
    BuildThreadTest() {
        ui.thread = std::this_thread::get_id();
        builds.runOnThread(&cancel);
        ProjectModel& project = ws.project;
        project.ProjectPath = te.path(u"proj/p.qdx"_s);
        project.ProjectFolder = FolderOf(project.ProjectPath);
        project.ProjectFileName = FileNameOf(project.ProjectPath);
        project.settings.RelDestPath = u"out/"_s;
        for (int i = 0; i < 3; ++i) {
            const QString name = u"f%1.c"_s.arg(i);
            testing::WriteBytes(
                project.ProjectFolder + u"src/"_s + name,
                (u"// function: "_s + name + u"\r\n// What it does.\r\nint f() { return 0; }\r\n"_s).toUtf8());
            project.Chapters.push_back({name, u"src/"_s});
        }
    }

    /// Starts a project build whose thread waits at chapter `holdAt`'s
    /// caption until resume() is called; returns once it waits there.
    void startHeld(const QString& holdAt) {
        builds.beforeStart = [this, holdAt](QueuedUserInterface& queued) {
            queuedUi = &queued;
            queued.onCaptionQueued = [this, holdAt](const QString& caption) {
                if (caption.startsWith(holdAt)) {
                    buildThread = std::this_thread::get_id();
                    held.open();
                    ASSERT_TRUE(resumed.wait());
                }
            };
        };
        ASSERT_TRUE(builds.start([this](Workspace& copy) { result = BuildProject(copy); },
                                 [this](const std::exception_ptr& error) { doneWith = error ? 1 : 0; }));
        ASSERT_TRUE(held.wait());
    }
    void resume() { resumed.open(); }
    void waitForEnd() {
        if (builds.running()) {
            QSignalSpy finished(&builds, &BuildThread::finished);
            ASSERT_TRUE(finished.wait(kCeilingMs));
        }
    }

    testing::TestEnvironment te;
    OrderedUserInterface ui;
    Environment env{ui, *te.preferences, te.env->paths};
    Workspace ws{env};
    std::atomic<bool> cancel = false;
    BuildThread builds{ws};
    Gate held, resumed;
    std::thread::id buildThread;
    QueuedUserInterface* queuedUi = nullptr;
    ProjectBuildResult result;
    int doneWith = -1;  ///< 0: done without an error, 1: with one
};

TEST_F(BuildThreadTest, aProjectBuildRunsBesideTheEventLoopAndItsResultsComeBack) {
    ws.buildWorkers = 2;
    startHeld(u"f1.c"_s);
    // The build waits on its own thread; this one still runs its events.
    EXPECT_NE(buildThread, std::this_thread::get_id());
    EXPECT_TRUE(builds.running());
    bool ticked = false;
    QTimer::singleShot(0, [&] { ticked = true; });
    QCoreApplication::processEvents();
    EXPECT_TRUE(ticked);
    // The window's thread shows the reports as its timer finds them; here at once.
    queuedUi->deliverAll();
    EXPECT_EQ(ui.seen, QStringList{u"row f0.c"_s});
    EXPECT_EQ(ui.captions.last(), u"f1.c ( 2 / 3 )"_s);
    EXPECT_EQ(doneWith, -1);

    // A second build is refused while this one runs, and nothing of it is done.
    bool secondRan = false;
    EXPECT_FALSE(builds.start([&](Workspace&) { secondRan = true; }, [&](const std::exception_ptr&) {}));
    EXPECT_FALSE(secondRan);

    resume();
    waitForEnd();
    EXPECT_EQ(doneWith, 0);
    EXPECT_FALSE(builds.running());
    EXPECT_EQ(result.chaptersProcessed, 3);
    // In the build's order, the chapters before the book's own pages.
    ASSERT_GE(ui.seen.size(), 4);
    EXPECT_EQ(ui.seen.mid(0, 3), (QStringList{u"row f0.c"_s, u"row f1.c"_s, u"row f2.c"_s}));
    EXPECT_FALSE(ui.seen.contains(u"on another thread"_s));
    EXPECT_EQ(ui.buildsStarted, 1);
    EXPECT_EQ(ui.buildsFinished, 1);
    EXPECT_EQ(ui.captions.last(), u"3 files processed."_s);
    // The window's workspace has what the build made.
    ASSERT_EQ(result.found.size(), 3u);
    EXPECT_FALSE(result.found[2].title.isEmpty());
    EXPECT_TRUE(result.found[2].documented);
    EXPECT_FALSE(ws.IndexEntries.empty());
    EXPECT_TRUE(FileExists(result.indexPage));
}

TEST_F(BuildThreadTest, cancelIsReadFromTheWindowsFlagAndAThrowReachesDone) {
    ws.buildWorkers = 1;
    startHeld(u"f1.c"_s);
    cancel = true;
    resume();
    waitForEnd();
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.chaptersProcessed, 1);
    EXPECT_EQ(ui.captions.last(), u"Cancelled after 1 of 3 files"_s);
    // The build cleared the request through the window's own interface.
    EXPECT_FALSE(ui.cancel);

    // What the build throws is handed to its Done on this thread.
    std::exception_ptr thrown;
    ASSERT_TRUE(builds.start([](Workspace&) { throw std::runtime_error("disk on fire"); },
                             [&](const std::exception_ptr& error) { thrown = error; }));
    waitForEnd();
    ASSERT_TRUE(thrown);
    EXPECT_THROW(std::rethrow_exception(thrown), std::runtime_error);
}

TEST_F(BuildThreadTest, aMessageHoldsTheBuildUntilShownAndAbandonFreesIt) {
    ui.answers = {MessageAnswer::Cancel};
    std::optional<MessageAnswer> answer;
    const auto row = [](UserInterface& to, const QString& item) {
        to.addLogRow(u"Built OK"_s, item, RowStatus::Ok, QString(), QString());
    };
    ASSERT_TRUE(builds.start(
        [&](Workspace& copy) {
            row(copy.env.ui, u"before"_s);
            answer =
                copy.env.ui.message(u"Files kept"_s, u"text"_s, MessageIcon::Exclamation, MessageButtons::OkCancel);
            row(copy.env.ui, u"after"_s);
        },
        [](const std::exception_ptr&) {}));
    waitForEnd();
    // The row after the message was given only once the message was answered.
    EXPECT_EQ(ui.seen, (QStringList{u"row before"_s, u"message Files kept"_s, u"row after"_s}));
    EXPECT_EQ(answer, MessageAnswer::Cancel);

    // The window going away: a build waiting on a message goes on, answered as
    // a console would, and nothing more is shown.
    ui.seen.clear();
    answer.reset();
    Gate asking;
    {
        BuildThread leaving(ws);
        leaving.runOnThread(&cancel);
        ASSERT_TRUE(leaving.start(
            [&](Workspace& copy) {
                asking.open();
                answer =
                    copy.env.ui.message(u"Write failed"_s, u"text"_s, MessageIcon::Exclamation, MessageButtons::Ok);
            },
            [](const std::exception_ptr&) {}));
        ASSERT_TRUE(asking.wait());
    }
    EXPECT_EQ(answer, MessageAnswer::Ok);
    QCoreApplication::processEvents();
    EXPECT_TRUE(ui.seen.isEmpty());
}

}  // namespace
}  // namespace tessarel

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

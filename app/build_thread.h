#pragma once

#include "support/user_interface.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace tessarel {

struct Workspace;

/// The user interface of a build running on its own thread: every report is
/// queued, and the window's thread shows them in order (deliver()); Cancel is
/// read from the window's atomic flag. The build's thread touches nothing of
/// Qt's to hand a report over, only this object's mutex, so the thread
/// sanitizer sees every hand-over.
///
/// A message blocks the build until the window has shown it. A build asks no
/// question whose answer changes what it does (those come before it starts),
/// but it tells of failed writes, kept files and critical errors in the order
/// of its log; going on while the box is still up would bury the row that
/// caused it. abandon() frees a build blocked on a message when the window
/// is going away.
class QueuedUserInterface : public UserInterface {
public:
    QueuedUserInterface(UserInterface& window, const std::atomic<bool>& cancel);
    ~QueuedUserInterface() override;

    MessageAnswer message(const QString& title, const QString& text, MessageIcon icon, MessageButtons buttons) override;
    void addLogText(const QString& text) override;
    void setProgressMaximum(int max) override;
    void resetProgress() override;
    void advanceProgress() override;
    void setProgressCaption(const QString& caption) override;
    void setPartsDone(int done, int total) override;
    void buildStarted(bool projectBuild) override;
    void buildFinished(bool projectBuild) override;
    bool cancelRequested() const override { return cancel_.load(std::memory_order_relaxed); }
    void setCancelRequested(bool requested) override;

    /// Shows the reports queued so far, for at most `sliceMs` (on the
    /// window's thread); false when some are left.
    bool deliver(qint64 sliceMs);
    /// Shows every report queued so far (on the window's thread).
    void deliverAll();
    /// No more messages are waited for: each is answered as a console would.
    void abandon();

    /// Tests: called on the build's thread after a caption has been queued,
    /// so a test can hold the build at a chosen chapter.
    std::function<void(const QString& caption)> onCaptionQueued;

protected:
    void showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                    const QString& output) override;

private:
    void post(std::function<void(UserInterface&)> report);
    /// The next report to show; an empty one when there is none.
    std::function<void(UserInterface&)> next();

    UserInterface& window_;
    const std::atomic<bool>& cancel_;
    std::mutex mutex_;
    std::condition_variable answered_;
    std::deque<std::function<void(UserInterface&)>> reports_;
    bool abandoned_ = false;
    bool delivering_ = false;
};

/// Runs the window's builds. With a cancel flag (runOnThread) a build runs on
/// a thread of its own over its own copy of the project, document and page,
/// reporting through a QueuedUserInterface, so the window's event loop never
/// waits for it. A timer of the window's thread shows the reports as they
/// come and takes back what the build made once the thread has ended. Without a flag
/// (the logic's tests) a build runs in place, as the console's does.
class BuildThread : public QObject {
    Q_OBJECT
public:
    /// What a build does, over the workspace it is given (the copy, on its thread).
    using Work = std::function<void(Workspace& workspace)>;
    /// What follows it on the window's thread, once the workspace holds its
    /// results; `error` is what the work threw, if anything.
    using Done = std::function<void(const std::exception_ptr& error)>;

    explicit BuildThread(Workspace& workspace, QObject* parent = nullptr);
    /// Waits for a running build, its messages no longer shown.
    ~BuildThread() override;

    /// Builds from now on run on a thread of their own; `cancel` is the
    /// window's Cancel flag, which the build reads.
    void runOnThread(const std::atomic<bool>* cancel) { cancel_ = cancel; }
    bool threaded() const { return cancel_ != nullptr; }
    bool running() const { return running_; }
    /// Starts `work`; false, and nothing done, while another build runs.
    bool start(Work work, Done done);

    /// Tests: called with a threaded build's user interface before its thread
    /// starts, so a test can hold the build at a chosen point.
    std::function<void(QueuedUserInterface& ui)> beforeStart;

Q_SIGNALS:
    /// A build is over and its Done has run.
    void finished();

private:
    struct Run;
    void poll();
    void takeBack();

    Workspace& workspace_;
    QTimer* poll_;
    const std::atomic<bool>* cancel_ = nullptr;
    bool running_ = false;
    std::unique_ptr<Run> run_;
};

}  // namespace tessarel

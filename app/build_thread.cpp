#include "app/build_thread.h"

#include "book/workspace.h"
#include "support/environment.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <optional>
#include <thread>
#include <utility>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace tessarel {

namespace {
/// How often the window's thread looks for reports while a build runs, and
/// the longest it shows them at a time before it paints and reacts again.
constexpr int kPollMs = 10;
constexpr qint64 kDeliverySliceMs = 8;

/// The build yields the processor to the window's thread: with as many
/// chapter workers as cores, the window would otherwise wait for a slice of
/// its own. On Linux the nice value is the calling thread's, and the chapter
/// workers it starts inherit it.
void LowerThisThreadsPriority() {
#ifdef Q_OS_LINUX
    constexpr int kNicer = 5;
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, thread);
    if (errno == 0) {
        ::setpriority(PRIO_PROCESS, thread, std::min(nice + kNicer, 19));
    }
#endif
}
}  // namespace

QueuedUserInterface::QueuedUserInterface(UserInterface& window, const std::atomic<bool>& cancel)
    : window_(window), cancel_(cancel) {}

QueuedUserInterface::~QueuedUserInterface() = default;

void QueuedUserInterface::post(std::function<void(UserInterface&)> report) {
    const std::lock_guard lock(mutex_);
    reports_.push_back(std::move(report));
}

std::function<void(UserInterface&)> QueuedUserInterface::next() {
    const std::lock_guard lock(mutex_);
    if (reports_.empty() || abandoned_) {
        return {};
    }
    std::function<void(UserInterface&)> report = std::move(reports_.front());
    reports_.pop_front();
    return report;
}

bool QueuedUserInterface::deliver(qint64 sliceMs) {
    // A message box shown by a report runs the event loop, whose timer would
    // come back here: the reports after it wait for it.
    if (delivering_) {
        return true;
    }
    delivering_ = true;
    QElapsedTimer clock;
    clock.start();
    bool left = false;
    while (auto report = next()) {
        report(window_);
        if (clock.elapsed() >= sliceMs) {
            left = true;
            break;
        }
    }
    delivering_ = false;
    return left;
}

void QueuedUserInterface::deliverAll() {
    if (!delivering_) {
        deliver(std::numeric_limits<qint64>::max());
    }
}

void QueuedUserInterface::abandon() {
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    answered_.notify_all();
}

MessageAnswer QueuedUserInterface::message(const QString& title, const QString& text, MessageIcon icon,
                                           MessageButtons buttons) {
    auto answer = std::make_shared<std::optional<MessageAnswer>>();
    post([this, answer, title, text, icon, buttons](UserInterface& ui) {
        const MessageAnswer given = ui.message(title, text, icon, buttons);
        {
            const std::lock_guard lock(mutex_);
            *answer = given;
        }
        answered_.notify_all();
    });
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [&] { return answer->has_value() || abandoned_; });
    if (answer->has_value()) {
        return **answer;
    }
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageAnswer::Yes
                                                                                      : MessageAnswer::Ok;
}

void QueuedUserInterface::showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                                     const QString& output) {
    // The cells are cut already; cutting them again changes nothing.
    post([=](UserInterface& ui) { ui.addLogRow(reason, item, status, title, output); });
}

void QueuedUserInterface::addLogText(const QString& text) {
    post([text](UserInterface& ui) { ui.addLogText(text); });
}

void QueuedUserInterface::setProgressMaximum(int max) {
    post([max](UserInterface& ui) { ui.setProgressMaximum(max); });
}

void QueuedUserInterface::resetProgress() {
    post([](UserInterface& ui) { ui.resetProgress(); });
}

void QueuedUserInterface::advanceProgress() {
    post([](UserInterface& ui) { ui.advanceProgress(); });
}

void QueuedUserInterface::setProgressCaption(const QString& caption) {
    post([caption](UserInterface& ui) { ui.setProgressCaption(caption); });
    if (onCaptionQueued) {
        onCaptionQueued(caption);
    }
}

void QueuedUserInterface::setPartsDone(int done, int total) {
    post([done, total](UserInterface& ui) { ui.setPartsDone(done, total); });
}

void QueuedUserInterface::buildStarted(bool projectBuild) {
    post([projectBuild](UserInterface& ui) { ui.buildStarted(projectBuild); });
}

void QueuedUserInterface::buildFinished(bool projectBuild) {
    post([projectBuild](UserInterface& ui) { ui.buildFinished(projectBuild); });
}

void QueuedUserInterface::setCancelRequested(bool requested) {
    post([requested](UserInterface& ui) { ui.setCancelRequested(requested); });
}

/// A build on its own thread: its own preference store over the same file
/// (one store is not to be read on two threads), its own user interface and
/// its own copy of what it reads and writes.
struct BuildThread::Run {
    Run(Workspace& from, const std::atomic<bool>& cancel)
        : preferences(from.env.preferences.fileName()),
          ui(from.env.ui, cancel),
          env{ui, preferences, from.env.paths},
          workspace(env) {
        workspace.project = from.project;
        workspace.document.SourceFilePath = from.document.SourceFilePath;
        workspace.singleFilePage = from.singleFilePage;
        workspace.compilerTimeLimit = from.compilerTimeLimit;
        workspace.largestHelpFile = from.largestHelpFile;
        workspace.buildWorkers = from.buildWorkers;
    }

    Preferences preferences;
    QueuedUserInterface ui;
    Environment env;
    Workspace workspace;
    Done done;
    std::exception_ptr error;
    std::atomic<bool> ended = false;
    std::thread thread;
};

BuildThread::BuildThread(Workspace& workspace, QObject* parent)
    : QObject(parent), workspace_(workspace), poll_(new QTimer(this)) {
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &BuildThread::poll);
}

BuildThread::~BuildThread() {
    if (run_) {
        run_->ui.abandon();
        run_->thread.join();
    }
}

bool BuildThread::start(Work work, Done done) {
    if (running_) {
        return false;
    }
    running_ = true;
    if (!threaded()) {
        std::exception_ptr error;
        try {
            work(workspace_);
        } catch (...) {
            error = std::current_exception();
        }
        running_ = false;
        done(error);
        Q_EMIT finished();
        return true;
    }
    run_ = std::make_unique<Run>(workspace_, *cancel_);
    run_->done = std::move(done);
    if (beforeStart) {
        beforeStart(run_->ui);
    }
    Run* run = run_.get();
    run->thread = std::thread([run, work = std::move(work)] {
        LowerThisThreadsPriority();
        try {
            work(run->workspace);
        } catch (...) {
            run->error = std::current_exception();
        }
        run->ended = true;
    });
    poll_->start();
    return true;
}

void BuildThread::poll() {
    if (!run_) {
        poll_->stop();
        return;
    }
    const bool ended = run_->ended;
    if (run_->ui.deliver(kDeliverySliceMs) || !ended) {
        return;
    }
    takeBack();
}

void BuildThread::takeBack() {
    poll_->stop();
    std::unique_ptr<Run> run = std::move(run_);
    run->thread.join();
    run->ui.deliverAll();
    // The project is not taken back: a build leaves it as it was, and the
    // window applies the build's findings itself (ApplyBuildToProject).
    Workspace& built = run->workspace;
    workspace_.document = std::move(built.document);
    workspace_.page = std::move(built.page);
    workspace_.IndexEntries = std::move(built.IndexEntries);
    running_ = false;
    run->done(run->error);
    Q_EMIT finished();
}

}  // namespace tessarel

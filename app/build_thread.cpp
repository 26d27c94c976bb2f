#include "app/build_thread.h"

#include "book/workspace.h"
#include "support/environment.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace tessarel {

namespace {
/// The longest the window's thread shows reports at a time before it paints
/// and reacts again; the rest follow at once.
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
    : window_(window), cancel_(cancel), receiver_(std::make_unique<QObject>()) {}

QueuedUserInterface::~QueuedUserInterface() = default;

void QueuedUserInterface::post(std::function<void(UserInterface&)> report) {
    bool first = false;
    {
        const std::lock_guard lock(mutex_);
        reports_.push_back(std::move(report));
        first = !std::exchange(deliveryPosted_, true);
    }
    if (first) {
        QMetaObject::invokeMethod(
            receiver_.get(), [this] { deliver(); }, Qt::QueuedConnection);
    }
}

void QueuedUserInterface::deliver() {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        std::function<void(UserInterface&)> report;
        {
            const std::lock_guard lock(mutex_);
            if (reports_.empty() || abandoned_) {
                deliveryPosted_ = false;
                return;
            }
            report = std::move(reports_.front());
            reports_.pop_front();
        }
        report(window_);
        if (clock.elapsed() >= kDeliverySliceMs) {
            QMetaObject::invokeMethod(
                receiver_.get(), [this] { deliver(); }, Qt::QueuedConnection);
            return;
        }
    }
}

void QueuedUserInterface::deliverAll() {
    for (;;) {
        std::function<void(UserInterface&)> report;
        {
            const std::lock_guard lock(mutex_);
            if (reports_.empty() || abandoned_) {
                return;
            }
            report = std::move(reports_.front());
            reports_.pop_front();
        }
        report(window_);
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

void QueuedUserInterface::showBusy(const QString& title, const QString& current, int maximum) {
    post([=](UserInterface& ui) { ui.showBusy(title, current, maximum); });
}

void QueuedUserInterface::setBusyValue(int value) {
    post([value](UserInterface& ui) { ui.setBusyValue(value); });
}

void QueuedUserInterface::hideBusy() {
    post([](UserInterface& ui) { ui.hideBusy(); });
}

void QueuedUserInterface::requestQuit() {
    post([](UserInterface& ui) { ui.requestQuit(); });
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
    std::unique_ptr<QThread> thread;
};

BuildThread::BuildThread(Workspace& workspace, QObject* parent) : QObject(parent), workspace_(workspace) {}

BuildThread::~BuildThread() {
    if (run_) {
        run_->ui.abandon();
        run_->thread->wait();
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
    Run* run = run_.get();
    run->thread.reset(QThread::create([run, work = std::move(work)] {
        LowerThisThreadsPriority();
        try {
            work(run->workspace);
        } catch (...) {
            run->error = std::current_exception();
        }
    }));
    connect(run->thread.get(), &QThread::finished, this, &BuildThread::takeBack, Qt::QueuedConnection);
    if (beforeStart) {
        beforeStart(run->ui);
    }
    run->thread->start();
    return true;
}

void BuildThread::takeBack() {
    std::unique_ptr<Run> run = std::move(run_);
    run->thread->wait();
    run->ui.deliverAll();
    Workspace& built = run->workspace;
    workspace_.project = std::move(built.project);
    workspace_.document = std::move(built.document);
    workspace_.page = std::move(built.page);
    workspace_.IndexEntries = std::move(built.IndexEntries);
    running_ = false;
    run->done(run->error);
    Q_EMIT finished();
}

}  // namespace tessarel

#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace tessarel::cli {

namespace {

// The one value a signal handler may set: the signal that asked to stop, 0
// while none has; lock-free so the handler may touch it.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnStopSignal(int signal) {
    int none = 0;
    stopSignal.compare_exchange_strong(none, signal);
}

}  // namespace

void InstallInterruptHandler() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // The handler falls back to the default after one call, so a second Ctrl+C
    // (or a second SIGTERM) still ends a program that is stuck in a long file.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    // A write to a closed pipe then fails with EPIPE, which the console takes
    // as the end of that stream.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

bool Interrupted() { return stopSignal.load() != 0; }

ExitStatus InterruptedStatus() {
    switch (stopSignal.load()) {
    case SIGTERM:
        return ExitStatus::Terminated;
    case SIGHUP:
        return ExitStatus::HungUp;
    default:
        return ExitStatus::Interrupted;
    }
}

}  // namespace tessarel::cli

#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace tessarel::cli {

namespace {

// The one flag a signal handler may set; lock-free so the handler may touch it.
std::atomic<bool> interruptRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) { interruptRequested.store(true); }

}  // namespace

void InstallInterruptHandler() {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // The handler falls back to the default after one call, so a second Ctrl+C
    // still ends a program that is stuck in a long file.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

bool Interrupted() { return interruptRequested.load(); }

}  // namespace tessarel::cli

#pragma once

#include "book/chapter_pass.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tessarel {

/// Builds the chapters of a project build on worker threads. Each worker owns
/// a document model and page buffer and builds whole chapters, taking the next
/// one in chapter order; it never calls the real UserInterface, only records
/// into its ChapterResult. The pass is only read while the pool runs; the
/// thread that owns the pool takes the results in chapter order and applies
/// them. The hand-out runs at most two chapters per worker ahead of the
/// results taken. The workers end when every chapter is handed out or the pool is
/// stopped, and the destructor waits for them.
class ChapterPool {
public:
    /// Starts `workers` threads (at least one) over chapters 0..count-1.
    ChapterPool(const ChapterPass& pass, int count, int workers);
    ~ChapterPool();
    ChapterPool(const ChapterPool&) = delete;
    ChapterPool& operator=(const ChapterPool&) = delete;

    /// Chapter `i`'s result once it is built, waiting at most `wait` for it;
    /// nothing when it is not there yet. Each result is taken once.
    std::optional<ChapterResult> take(int i, std::chrono::milliseconds wait);
    /// Chapter `i`'s result once it is built, asking `cancelled` while it
    /// waits and stopping the pool when it says yes; nothing when the pool
    /// stopped before chapter `i` was handed out, as it never will be.
    template <typename Cancelled>
    std::optional<ChapterResult> await(int i, Cancelled cancelled) {
        for (;;) {
            if (std::optional<ChapterResult> built = take(i, std::chrono::milliseconds(4))) {
                return built;
            }
            if (cancelled()) {
                stop();
            }
            if (stoppedBefore(i)) {
                return std::nullopt;
            }
        }
    }
    /// Hands out no more chapters; those being built are finished.
    void stop();
    /// Whether chapter `i` was handed out, and so will have a result.
    bool handedOut(int i);

    /// The number of workers that suits this machine: one per core.
    static int DefaultWorkers();

private:
    void work();
    /// Whether the pool stopped with chapter `i` not handed out.
    bool stoppedBefore(int i);

    const ChapterPass& pass_;
    const int count_;
    std::mutex mutex_;
    std::condition_variable built_;
    /// Wakes the workers when a result is taken or the pool stops.
    std::condition_variable room_;
    int next_ = 0;   ///< the next chapter to hand out
    int taken_ = 0;  ///< results taken so far
    /// How far the hand-out may run ahead of the results taken, so Cancel
    /// stops soon and few results wait.
    int ahead_ = 2;
    bool stopped_ = false;
    std::vector<std::optional<ChapterResult>> results_;
    /// What the workers' Cancel reads: set by stop().
    std::atomic<bool> cancel_{false};
    std::vector<std::thread> threads_;
};

}  // namespace tessarel

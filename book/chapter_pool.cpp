#include "book/chapter_pool.h"

#include "book/book_output.h"
#include "book/build_record.h"
#include "book/chapter_lists.h"
#include "book/workspace.h"
#include "extract/document_model.h"
#include "pages/page_frame.h"

#include <QThread>

#include <algorithm>
#include <new>

namespace tessarel {

ChapterPool::ChapterPool(const ChapterPass& pass, int count, int workers)
    : pass_(pass), count_(std::max(count, 0)), results_(static_cast<size_t>(std::max(count, 0))) {
    const int threads = std::clamp(workers, 1, std::max(count_, 1));
    ahead_ = 2 * threads;
    threads_.reserve(static_cast<size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        threads_.emplace_back([this] { work(); });
    }
}

ChapterPool::~ChapterPool() {
    stop();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

int ChapterPool::DefaultWorkers() { return std::max(QThread::idealThreadCount(), 1); }

void ChapterPool::work() {
    DocumentModel doc;
    PageBuffer page;
    for (;;) {
        int i = 0;
        {
            std::unique_lock lock(mutex_);
            room_.wait(lock, [this] { return stopped_ || next_ >= count_ || next_ < taken_ + ahead_; });
            if (stopped_ || next_ >= count_) {
                return;
            }
            i = next_++;
        }
        ChapterResult result;
        try {
            result = BuildBookChapter(pass_, {doc, page}, i, nullptr, &cancel_);
            if (result.written && result.sections > 0 && (pass_.listReplayed || !result.reused)) {
                // Its lines in the lists are made here too: the build's thread only appends them.
                const Chapter& chapter = pass_.out.project.Chapters[static_cast<size_t>(i)];
                ReadRecordedLists(result);
                result.listing = std::make_shared<const ChapterListing>(
                    MakeChapterListing(chapter, BookPageName(chapter.Name), result, pass_.out.project.settings));
            }
        } catch (const std::bad_alloc&) {
            // The parse catches its own; what escapes it ends this chapter only.
            doc = DocumentModel();
            page = PageBuffer();
            result = OutOfMemoryChapter(pass_, i);
        }
        {
            const std::lock_guard lock(mutex_);
            results_[static_cast<size_t>(i)] = std::move(result);
        }
        built_.notify_all();
    }
}

std::optional<ChapterResult> ChapterPool::take(int i, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    std::optional<ChapterResult>& slot = results_[static_cast<size_t>(i)];
    built_.wait_for(lock, wait, [&slot] { return slot.has_value(); });
    std::optional<ChapterResult> taken;
    taken.swap(slot);
    if (taken) {
        taken_ = std::max(taken_, i + 1);
        lock.unlock();
        room_.notify_all();
    }
    return taken;
}

void ChapterPool::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        cancel_.store(true, std::memory_order_relaxed);
    }
    room_.notify_all();
}

bool ChapterPool::stoppedBefore(int i) {
    const std::lock_guard lock(mutex_);
    return stopped_ && i >= next_;
}

bool ChapterPool::handedOut(int i) {
    const std::lock_guard lock(mutex_);
    return i < next_;
}

}  // namespace tessarel

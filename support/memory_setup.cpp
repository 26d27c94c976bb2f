#include "support/memory_setup.h"

#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TESSAREL_SANITIZED_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define TESSAREL_SANITIZED_HEAP 1
#endif
#endif

#if defined(__GLIBC__) && !defined(TESSAREL_SANITIZED_HEAP)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#endif

namespace tessarel {

#if defined(__GLIBC__) && !defined(TESSAREL_SANITIZED_HEAP)

namespace {

// Address room set aside for the heap at start. Untouched room costs no memory;
// it only has to exist before it is advised, since room the heap grows by later
// would not carry the advice.
constexpr std::size_t kHeapRoom = std::size_t{1} << 30;

}  // namespace

bool PrepareHeapForLargeTexts() {
    // glibc maps every block above a threshold (at most 32 MB) on its own and
    // unmaps it on free, so each large text is faulted in afresh, page by page.
    // From the heap instead, and with the heap never trimmed, a freed text's
    // memory serves the next one. A heap grows by 16 MB of address room at a
    // time, untouched until used: a second thread's heap, grown by a few
    // pages at a time, could never be backed by huge pages.
    if (mallopt(M_MMAP_MAX, 0) == 0 || mallopt(M_TRIM_THRESHOLD, INT_MAX) == 0 || mallopt(M_TOP_PAD, 16 << 20) == 0) {
        return false;
    }
    const auto heapEnd = [] { return reinterpret_cast<std::uintptr_t>(sbrk(0)); };
    const std::uintptr_t before = heapEnd();
    void* const room = std::malloc(kHeapRoom);
    if (room == nullptr) {
        return true;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(room);
    std::free(room);
    const std::uintptr_t after = heapEnd();
    // Only room the heap grew by is advised; the block may start in the free
    // end of the heap as it was.
    if (before == static_cast<std::uintptr_t>(-1) || after <= before || address >= after ||
        address + kHeapRoom > after || address + kHeapRoom <= before) {
        return true;
    }
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = address & ~(pageSize - 1);
    madvise(reinterpret_cast<void*>(start), static_cast<std::size_t>(after - start), MADV_HUGEPAGE);
    return true;
}

void PrepareThreadHeapForLargeTexts() {
    // A thread's own heap is a mapping aligned to its largest size (glibc's
    // HEAP_MAX_SIZE on 64-bit systems); the first heap lies below the break.
    constexpr std::uintptr_t kThreadHeapSize = std::uintptr_t{64} << 20;
    if (sizeof(void*) != 8) {
        return;
    }
    void* const probe = std::malloc(1);
    if (probe == nullptr) {
        return;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(probe);
    std::free(probe);
    if (address < reinterpret_cast<std::uintptr_t>(sbrk(0))) {
        return;
    }
    madvise(reinterpret_cast<void*>(address & ~(kThreadHeapSize - 1)), kThreadHeapSize, MADV_HUGEPAGE);
}

void ReleasePages(const void* from, std::size_t bytes) {
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto address = reinterpret_cast<std::uintptr_t>(from);
    // Inward to whole pages: the heap's own records before and after the
    // block share its first and last pages.
    const std::uintptr_t start = (address + pageSize - 1) & ~(pageSize - 1);
    const std::uintptr_t end = (address + bytes) & ~(pageSize - 1);
    if (end > start) {
        madvise(reinterpret_cast<void*>(start), static_cast<std::size_t>(end - start), MADV_DONTNEED);
    }
}

#else

bool PrepareHeapForLargeTexts() { return false; }
void PrepareThreadHeapForLargeTexts() {}

void ReleasePages(const void* /*from*/, std::size_t /*bytes*/) {}

#endif

}  // namespace tessarel

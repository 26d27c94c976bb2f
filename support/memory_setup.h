#pragma once

#include <cstddef>

namespace tessarel {

/// Tunes the heap for the few very large texts of a build (a source, its parse
/// buffers, its page): freed blocks stay in the process for the next file, and
/// where the system backs memory with huge pages on request, the heap asks for
/// them, so a large text costs one page fault per 2 MB instead of per 4 KB.
/// Called once, first thing in main(). True when the heap was tuned; false
/// where it does not apply (not glibc, or a sanitizer's heap).
bool PrepareHeapForLargeTexts();

/// The same huge-page advice for the heap glibc gives a second thread of its
/// own, called first thing on that thread: the texts it makes then fault in
/// by 2 MB as the first thread's do. Does nothing on the first heap, or where
/// PrepareHeapForLargeTexts does nothing.
void PrepareThreadHeapForLargeTexts();

/// Gives the whole pages within [from, from + bytes) back to the system while
/// the block they lie in stays allocated: a text its owner no longer reads
/// then stops counting toward the process's memory. Those pages read as zeros
/// afterwards. Does nothing where PrepareHeapForLargeTexts does nothing.
void ReleasePages(const void* from, std::size_t bytes);

/// The size from which a text's memory is worth giving back when done with:
/// below it the memory counts for little, and faulting it in again for the
/// next text costs more than keeping it.
inline constexpr std::size_t kReleasedTextBytes = std::size_t{8} << 20;

}  // namespace tessarel

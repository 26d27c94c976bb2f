#pragma once

namespace tessarel {

/// Tunes the heap for the few very large texts of a build (a source, its parse
/// buffers, its page): freed blocks stay in the process for the next file, and
/// where the system backs memory with huge pages on request, the heap asks for
/// them, so a large text costs one page fault per 2 MB instead of per 4 KB.
/// Called once, first thing in main(). True when the heap was tuned; false
/// where it does not apply (not glibc, or a sanitizer's heap).
bool PrepareHeapForLargeTexts();

}  // namespace tessarel

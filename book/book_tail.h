#pragma once

#include <functional>
#include <vector>

namespace tessarel {

struct BookOutput;
class UserInterface;

/// One writer of the book's files around the chapters.
struct TailWriter {
    /// Writes its files as the book `out` says, through a workspace of its
    /// own; false as soon as one cannot be written.
    std::function<bool(const BookOutput& out)> write;
    /// It reads what the writers before it made: it starts once they all succeeded.
    bool afterEarlier = false;
};

/// Where a test may hold the writers, to make their order on the threads its own.
struct TailSeams {
    /// On the writer's thread, before writer `i` starts.
    std::function<void(int i)> starting;
    /// On the writer's thread, when a whole file of writer `i` waits for the writers before it.
    std::function<void(int i)> waiting;
};

/// Runs `writers` on up to `threads` threads (the calling one among them;
/// one runs them in order here) and tells `ui` what each told, in the
/// writers' order, up to and with the first that failed. A file is put in
/// its place only once every writer before it succeeded, so the files and
/// the log are those of the writers run one after the other. Each writer has
/// a copy of `out` with a workspace of its own; `out.ws` is only read. False
/// when a writer failed.
bool RunTailWriters(const BookOutput& out, const std::vector<TailWriter>& writers, int threads, UserInterface& ui,
                    const TailSeams& seams = {});

}  // namespace tessarel

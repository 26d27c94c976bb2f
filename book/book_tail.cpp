#include "book/book_tail.h"

#include "book/book_output.h"
#include "book/chapter_pass.h"
#include "book/workspace.h"
#include "support/environment.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace tessarel {

namespace {

/// What one writer told its user interface, to be told again in order.
struct TailEvent {
    enum class Kind { Note, Caption, Maximum, Reset, Advance };
    Kind kind = Kind::Note;
    ChapterNote note = {};
    QString caption = {};
    int number = 0;  ///< the maximum, or how many advances in a row
};

enum class WriterState { Pending, Succeeded, Failed };

/// What the threads share: how far each writer got, guarded by `mutex`.
struct TailRun {
    const BookOutput& out;
    const std::vector<TailWriter>& writers;
    const TailSeams& seams;
    std::mutex mutex;
    std::condition_variable done;
    size_t next = 0;
    std::vector<WriterState> states;
    std::vector<std::vector<TailEvent>> events;
    std::vector<std::exception_ptr> errors;

    TailRun(const BookOutput& o, const std::vector<TailWriter>& w, const TailSeams& s)
        : out(o), writers(w), seams(s), states(w.size()), events(w.size()), errors(w.size()) {}

    /// Waits until every writer before `i` is done: true when they all succeeded.
    bool earlierSucceeded(size_t i) {
        std::unique_lock lock(mutex);
        done.wait(lock, [this, i] {
            for (size_t j = 0; j < i; ++j) {
                if (states[j] == WriterState::Pending) {
                    return false;
                }
            }
            return true;
        });
        for (size_t j = 0; j < i; ++j) {
            if (states[j] != WriterState::Succeeded) {
                return false;
            }
        }
        return true;
    }

    bool anyFailedBefore(size_t i) {
        const std::lock_guard lock(mutex);
        for (size_t j = 0; j < i; ++j) {
            if (states[j] == WriterState::Failed) {
                return true;
            }
        }
        return false;
    }

    void runWriter(size_t i);
    void lane();
};

/// A writer's user interface: it notes everything for the run to tell later,
/// and holds each whole file until the writers before it succeeded.
class WriterRecorder : public UserInterface {
public:
    WriterRecorder(TailRun& run, size_t i) : run_(run), i_(i), events_(run.events[i]) {}

    MessageAnswer message(const QString& title, const QString& text, MessageIcon icon,
                          MessageButtons buttons) override {
        events_.push_back({TailEvent::Kind::Note, ChapterNote::message(title, text, icon, buttons)});
        return MessageAnswer::Ok;
    }
    void addLogText(const QString& text) override {
        events_.push_back({TailEvent::Kind::Note, ChapterNote::logText(text)});
    }
    void setProgressMaximum(int max) override { events_.push_back({TailEvent::Kind::Maximum, {}, {}, max}); }
    void resetProgress() override { events_.push_back({TailEvent::Kind::Reset}); }
    void advanceProgress() override {
        if (!events_.empty() && events_.back().kind == TailEvent::Kind::Advance) {
            ++events_.back().number;
        } else {
            events_.push_back({TailEvent::Kind::Advance, {}, {}, 1});
        }
    }
    void setProgressCaption(const QString& caption) override {
        events_.push_back({TailEvent::Kind::Caption, {}, caption});
    }
    // The writers never stop half-way: a Cancel counts once the book is written.
    bool cancelRequested() const override { return false; }
    void setCancelRequested(bool) override {}
    bool mayReplaceFile(const QString&) override {
        if (run_.seams.waiting) {
            run_.seams.waiting(static_cast<int>(i_));
        }
        return run_.earlierSucceeded(i_);
    }

protected:
    void showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                    const QString& output) override {
        events_.push_back({TailEvent::Kind::Note, ChapterNote::row(reason, item, status, title, output)});
    }

private:
    TailRun& run_;
    const size_t i_;
    std::vector<TailEvent>& events_;
};

void TailRun::runWriter(size_t i) {
    if (seams.starting) {
        seams.starting(static_cast<int>(i));
    }
    const TailWriter& writer = writers[i];
    // After a failure the writers one after the other would have stopped.
    bool ok = !(writer.afterEarlier ? !earlierSucceeded(i) : anyFailedBefore(i));
    if (ok) {
        try {
            WriterRecorder recorder(*this, i);
            Environment env{recorder, out.ws.env.preferences, out.ws.env.paths};
            Workspace ws(env);
            ws.compilerTimeLimit = out.ws.compilerTimeLimit;
            ws.largestHelpFile = out.ws.largestHelpFile;
            const BookOutput own{ws,         out.project,       out.style,
                                 out.folder, out.chaptersBuilt, out.withoutPage,
                                 out.kept,   out.found,         &out.indexEntries()};
            ok = writer.write(own);
        } catch (...) {
            errors[i] = std::current_exception();
            ok = false;
        }
    }
    {
        const std::lock_guard lock(mutex);
        states[i] = ok ? WriterState::Succeeded : WriterState::Failed;
    }
    done.notify_all();
}

void TailRun::lane() {
    for (;;) {
        size_t i = 0;
        {
            const std::lock_guard lock(mutex);
            if (next >= writers.size()) {
                return;
            }
            i = next++;
        }
        runWriter(i);
    }
}

void Tell(UserInterface& ui, const std::vector<TailEvent>& events) {
    for (const TailEvent& event : events) {
        switch (event.kind) {
        case TailEvent::Kind::Note:
            ReplayNotes(ui, {event.note});
            break;
        case TailEvent::Kind::Caption:
            ui.setProgressCaption(event.caption);
            break;
        case TailEvent::Kind::Maximum:
            ui.setProgressMaximum(event.number);
            break;
        case TailEvent::Kind::Reset:
            ui.resetProgress();
            break;
        case TailEvent::Kind::Advance:
            for (int n = 0; n < event.number; ++n) {
                ui.advanceProgress();
            }
            break;
        }
    }
}

}  // namespace

bool RunTailWriters(const BookOutput& out, const std::vector<TailWriter>& writers, int threads, UserInterface& ui,
                    const TailSeams& seams) {
    TailRun run(out, writers, seams);
    std::vector<std::thread> others;
    const size_t lanes = std::min(static_cast<size_t>(std::max(threads, 1)), writers.size());
    for (size_t t = 1; t < lanes; ++t) {
        try {
            others.emplace_back([&run] { run.lane(); });
        } catch (const std::system_error&) {
            break;  // the threads there are do the work
        }
    }
    run.lane();
    for (std::thread& thread : others) {
        thread.join();
    }
    for (size_t i = 0; i < writers.size(); ++i) {
        Tell(ui, run.events[i]);
        if (run.errors[i]) {
            std::rethrow_exception(run.errors[i]);
        }
        if (run.states[i] != WriterState::Succeeded) {
            return false;
        }
    }
    return true;
}

}  // namespace tessarel

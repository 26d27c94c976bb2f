#include "book/chapter_pass.h"

#include "book/book_output.h"
#include "book/build_record.h"
#include "book/page_names.h"
#include "book/project_sources.h"
#include "book/workspace.h"
#include "pages/outcome_table.h"
#include "support/environment.h"
#include "support/file_read.h"
#include "support/file_stamp.h"
#include "support/html_text.h"
#include "support/paths.h"

namespace tessarel {

MessageAnswer ChapterRecorder::message(const QString& title, const QString& text, MessageIcon icon,
                                       MessageButtons buttons) {
    result_.notes.push_back(ChapterNote::message(title, text, icon, buttons));
    // A chapter's build only informs; no answer changes what it does.
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageAnswer::Yes
                                                                                      : MessageAnswer::Ok;
}

void ChapterRecorder::showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                                 const QString& output) {
    result_.notes.push_back(ChapterNote::row(reason, item, status, title, output));
}

void ChapterRecorder::addLogText(const QString& text) { result_.notes.push_back(ChapterNote::logText(text)); }

void ChapterRecorder::setProgressMaximum(int max) {
    if (live_ != nullptr) {
        live_->setProgressMaximum(max);
    }
}

void ChapterRecorder::resetProgress() {
    if (live_ != nullptr) {
        live_->resetProgress();
    }
}

void ChapterRecorder::advanceProgress() {
    if (live_ != nullptr) {
        live_->advanceProgress();
    }
}

void ChapterRecorder::setProgressCaption(const QString& caption) {
    if (live_ != nullptr) {
        live_->setProgressCaption(caption);
    }
}

bool ChapterRecorder::cancelRequested() const {
    if (live_ != nullptr) {
        return live_->cancelRequested();
    }
    return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed);
}

// A chapter never clears the user's request.
void ChapterRecorder::setCancelRequested(bool requested) { (void)requested; }

void ReplayChapterNotes(UserInterface& ui, const ChapterResult& result) { ReplayNotes(ui, result.notes); }

void ReplayNotes(UserInterface& ui, const std::vector<ChapterNote>& notes) {
    for (const ChapterNote& note : notes) {
        switch (note.kind) {
        case ChapterNote::Kind::LogRow:
            ui.addLogRow(note.reason, note.item, note.status, note.title, note.output);
            break;
        case ChapterNote::Kind::Message:
            ui.message(note.title, note.text, note.icon, note.buttons);
            break;
        case ChapterNote::Kind::LogText:
            ui.addLogText(note.text);
            break;
        }
    }
}

namespace {

using Kind = ChapterOutcome::Kind;

/// One chapter's build: what it reads, where it works and what it gives back.
struct ChapterBuild {
    const ChapterPass& pass;
    ChapterWorkspace work;
    int i;
    const Chapter& chapter;
    ChapterResult& result;
    UserInterface& ui;
};

/// A chapter whose page is not built: a failed row, and listed under its
/// file name, as text, if at all.
void FailChapter(ChapterResult& result, const QString& name) {
    result.failed = true;
    result.documented = false;
    result.title = EscapeHtml(name);
}

/// A chapter that cannot have its page: a failed row, and nothing written.
void RefuseChapter(ChapterBuild& b) {
    FailChapter(b.result, b.chapter.Name);
    LogRefusedChapter(b.ui, b.pass.out.project, b.pass.pages, b.i);
}

qint64 NowNs() { return QDateTime::currentMSecsSinceEpoch() * 1000000; }

/// The last build's result of the chapter read from `source`, when it recorded its files.
const ChapterResult* RecordedChapter(const ChapterPass& pass, const QString& source) {
    if (pass.previous == nullptr) {
        return nullptr;
    }
    const auto found = pass.previous->chapters.constFind(source);
    return found == pass.previous->chapters.cend() || !found->files ? nullptr : &*found;
}

/// Every chapter of a book is parsed and written with the project's settings.
ChapterSetup BookSetup(const ChapterPass& pass) {
    const Settings& settings = pass.out.project.settings;
    ParseOptions parse;
    parse.comments = settings.comments;
    parse.hyperlinks = settings.Links;
    return ChapterSetup{settings, pass.out.style, pass.generatedAt, parse, settings.SortSections};
}

/// Whether the chapter's page (or error page, or copy) was made from the source it read.
bool MadeFromItsSource(Kind kind) {
    return kind == Kind::Built || kind == Kind::BuiltMissingFigures || kind == Kind::NoSections ||
           kind == Kind::HtmlAsIs;
}

/// The chapter's row, title and what the book lists of it, from its job's outcome.
void TakeOutcome(const ChapterPass& pass, UserInterface& ui, ChapterResult& result, const ChapterJob& job,
                 ChapterOutcome outcome) {
    result.critical = outcome.critical;
    if (!outcome.written) {
        // A file that could not be written has been told about; the book must
        // not list it as built, and the build stops.
        result.written = false;
        return;
    }
    const OutcomeRow row = RowOfOutcome(outcome, job);
    ui.addLogRow(row.reason, row.item, row.status, row.title, row.output);
    switch (outcome.kind) {
    case Kind::Built:
    case Kind::BuiltMissingFigures:
        ReportMissingFigures(ui, outcome.missingFigures);
        result.documented = true;
        result.title = ListedChapterTitle(outcome, job);
        result.sections = outcome.sections;
        result.sectionNames = std::move(outcome.sectionNames);
        break;
    case Kind::HtmlAsIs:
        // The page is taken into the book as it is, listed under its base name.
        result.documented = true;
        result.title = EscapeHtml(BaseNameOf(job.item));
        result.sections = 1;
        break;
    case Kind::NoSections:
    case Kind::Missing:
    case Kind::NotRead:
    case Kind::PageIsSource:
    case Kind::ForeignPageKept:
    case Kind::PageNotWritten:
    case Kind::Reused:
        FailChapter(result, job.item);
        break;
    }
    result.snippets = std::move(outcome.snippets);
    if (!pass.recording || !MadeFromItsSource(outcome.kind)) {
        return;
    }
    const FileStamp pageStamp = StampOf(job.page);
    // A page with figures also depends on the images beside it: it is always built again.
    if (!outcome.hasFigures && outcome.read.stamp.known() && pageStamp.known()) {
        result.files = ChapterFiles{.source = job.source,
                                    .sourceStamp = outcome.read.stamp,
                                    .stampTrusted = StampSettled(outcome.read.stamp, NowNs()),
                                    .sourceDigest = outcome.sourceDigest,
                                    .page = job.pageName,
                                    .pageStamp = pageStamp};
    }
}

void BuildInto(ChapterBuild& b, Environment& env) {
    if (!b.pass.out.hasPage(b.i)) {
        RefuseChapter(b);
        return;
    }
    ChapterJob job = PlanChapterJob(b.pass.out, b.pass.sources, b.pass.pages, b.i);
    job.digestSource = b.pass.recording;
    job.keepSnippets = b.pass.keepSnippets;
    // An HTML source that lies in the destination is not read, so nothing of it is recorded.
    const ChapterResult* recorded = job.htmlAsItIs() ? nullptr : RecordedChapter(b.pass, job.source);
    if (recorded != nullptr) {
        job.lastBuild = &*recorded->files;
    }
    ChapterOutcome outcome = BuildChapterJob(env, BookSetup(b.pass), job, b.work);
    if (outcome.kind != Kind::Reused) {
        TakeOutcome(b.pass, b.ui, b.result, job, std::move(outcome));
        return;
    }
    // The last build's result stands for the chapter, rows and all.
    b.result = *recorded;
    if (outcome.sourceReread) {
        b.result.files->sourceStamp = outcome.read.stamp;
        b.result.files->stampTrusted = StampSettled(outcome.read.stamp, NowNs());
    }
    b.result.chapter = b.i;
    b.result.reused = true;
}

}  // namespace

ChapterResult BuildBookChapter(const ChapterPass& pass, ChapterWorkspace work, int i, UserInterface* live,
                               const std::atomic<bool>* cancel) {
    ChapterResult result;
    result.chapter = i;
    ChapterRecorder recorder(result, live, cancel);
    Environment env{recorder, pass.ws.env.preferences, pass.ws.env.paths};
    ChapterBuild build{pass, work, i, pass.out.project.Chapters[static_cast<size_t>(i)], result, recorder};
    BuildInto(build, env);
    return result;
}

ChapterResult OutOfMemoryChapter(const ChapterPass& pass, int i) {
    ChapterResult result;
    result.chapter = i;
    const Chapter& chapter = pass.out.project.Chapters[static_cast<size_t>(i)];
    ChapterRecorder recorder(result, nullptr);
    ChapterJob job;
    job.mode = ChapterJob::Mode::Book;
    job.item = chapter.Name;
    job.pageName = BookPageName(chapter.Name);
    ChapterOutcome outcome;
    outcome.kind = Kind::NotRead;
    outcome.read = {ReadOutcome::OutOfMemory, QString()};
    TakeOutcome(pass, recorder, result, job, std::move(outcome));
    return result;
}

}  // namespace tessarel

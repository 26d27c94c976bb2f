#include "book/chapter_pass.h"

#include "book/book_output.h"
#include "book/build_record.h"
#include "book/page_names.h"
#include "book/project_sources.h"
#include "book/workspace.h"
#include "pages/error_page.h"
#include "pages/page_paths.h"
#include "pages/single_file_build.h"
#include "support/environment.h"
#include "support/file_read.h"
#include "support/file_stamp.h"
#include "support/html_text.h"
#include "support/paths.h"
#include "support/text_file.h"

#include <QFileInfo>

#include <algorithm>

namespace tessarel {

MessageAnswer ChapterRecorder::message(const QString& title, const QString& text, MessageIcon icon,
                                       MessageButtons buttons) {
    ChapterNote note;
    note.kind = ChapterNote::Kind::Message;
    note.title = title;
    note.text = text;
    note.icon = icon;
    note.buttons = buttons;
    result_.notes.push_back(std::move(note));
    // A chapter's build only informs; no answer changes what it does.
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageAnswer::Yes
                                                                                      : MessageAnswer::Ok;
}

void ChapterRecorder::showLogRow(const QString& reason, const QString& item, RowStatus status, const QString& title,
                                 const QString& output) {
    ChapterNote note;
    note.reason = reason;
    note.item = item;
    note.status = status;
    note.title = title;
    note.output = output;
    result_.notes.push_back(std::move(note));
}

void ChapterRecorder::addLogText(const QString& text) {
    ChapterNote note;
    note.kind = ChapterNote::Kind::LogText;
    note.text = text;
    result_.notes.push_back(std::move(note));
}

void ChapterRecorder::requestQuit() {
    ChapterNote note;
    note.kind = ChapterNote::Kind::QuitRequest;
    result_.notes.push_back(std::move(note));
}

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

// A chapter never clears the user's request, and the busy display, the browser
// and help belong to the whole program, never to one chapter of a build.
void ChapterRecorder::setCancelRequested(bool requested) { (void)requested; }
void ChapterRecorder::showBusy(const QString& title, const QString& current, int maximum) {
    (void)title;
    (void)current;
    (void)maximum;
}
void ChapterRecorder::setBusyValue(int value) { (void)value; }
void ChapterRecorder::hideBusy() {}
void ChapterRecorder::navigate(const QString& path) { (void)path; }
void ChapterRecorder::shellOpen(const QString& target) { (void)target; }
void ChapterRecorder::showHelpTopic(const QString& helpPath) { (void)helpPath; }

void ChapterRecorder::processEvents() {
    if (live_ != nullptr) {
        live_->yield();
    }
}

void ReplayChapterNotes(UserInterface& ui, const ChapterResult& result) {
    for (const ChapterNote& note : result.notes) {
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
        case ChapterNote::Kind::QuitRequest:
            ui.requestQuit();
            break;
        }
    }
}

namespace {

/// One chapter's build: what it reads, where it works and what it gives back.
struct ChapterBuild {
    const ChapterPass& pass;
    ChapterWorkspace work;
    int i;
    const Chapter& chapter;
    ChapterResult& result;
    UserInterface& ui;
};

/// A chapter whose page is not built: a failed row, and listed nowhere.
void FailChapter(ChapterBuild& b) {
    b.result.failed = true;
    b.result.documented = false;
    b.result.title = b.chapter.Name;
}

/// A chapter that cannot have its page: a failed row, and nothing written.
void RefuseChapter(ChapterBuild& b) {
    FailChapter(b);
    LogRefusedChapter(b.ui, b.pass.ws.project, b.pass.pages, b.i);
}

/// The chapter's page would replace one of the project's sources: the source
/// stays, and the chapter is a failed one.
void KeepSourceInPlaceOfPage(ChapterBuild& b, const QString& page) {
    FailChapter(b);
    b.ui.addLogRow(QStringLiteral("Not Built: Page Is A Source"), b.chapter.Name, RowStatus::Failed,
                   QStringLiteral("---"), page);
}

/// A source that was not read keeps the page it had; where it has none, an
/// error page keeps the contents' link to it whole.
void ReportSourceNotRead(ChapterBuild& b, const ReadResult& read, const QString& page) {
    FailChapter(b);
    const QFileInfo old(b.pass.out.path(page));
    if (!old.exists() && !old.isSymLink()) {
        const QString body = QStringLiteral("<h1> >> File not read</h1><h2>") + b.chapter.Name.toHtmlEscaped() +
                             QStringLiteral("</h2><ul><li>") + ReadFailureText(read).toHtmlEscaped() +
                             QStringLiteral("</li></ul>");
        if (!WriteErrorPage(b.ui, b.work.page, b.pass.out.style, b.pass.out.folder, body, page)) {
            b.result.written = false;
            return;
        }
    }
    b.ui.addLogRow(ReadFailureReason(read.outcome), b.chapter.Name, RowStatus::Failed, QStringLiteral("---"), page);
}

/// The row, title and listing of a chapter whose page (or error page) is written.
void RecordChapter(ChapterBuild& b, const QString& page, bool html, bool exists, const QStringList& missingFigures) {
    const DocumentModel& doc = b.work.doc;
    const QString& name = b.chapter.Name;
    ChapterResult& result = b.result;

    int sections = exists ? std::min(doc.count(), static_cast<int>(doc.Sections.size()) - 1) : 0;
    sections = std::max(sections, 0);
    result.documented = sections > 0;
    // The title is listed as HTML: a section name is the author's, a file name is escaped.
    result.title = (sections > 0 && !doc.section(1).Name.isEmpty()) ? doc.section(1).Name : EscapeHtml(name);

    if (sections > 0) {
        if (missingFigures.isEmpty()) {
            b.ui.addLogRow(QStringLiteral("Built OK"), name, RowStatus::Ok, result.title, page);
        } else {
            b.ui.addLogRow(QStringLiteral("Missing Figure"), name, RowStatus::Warning, result.title, page);
            ReportMissingFigures(b.ui, missingFigures);
        }
        result.sections = sections;
        result.sectionNames.reserve(sections - 1);
        for (int j = 2; j <= sections; ++j) {
            result.sectionNames.append(doc.section(j).Name);
        }
        return;
    }
    if (html && exists) {
        // Taken as it is, not built: worth a look, not a failure.
        b.ui.addLogRow(QStringLiteral("Not Built: HTML File"), name, RowStatus::Warning, name, page);
        // The page is taken into the book as it is, listed under its base name.
        result.documented = true;
        result.title = EscapeHtml(BaseNameOf(name));
        result.sections = 1;
        return;
    }
    result.failed = true;
    if (html) {
        b.ui.addLogRow(QStringLiteral("Missing HTML File"), name, RowStatus::Failed, QStringLiteral("---"),
                       QStringLiteral("---"));
    } else if (exists) {
        b.ui.addLogRow(QStringLiteral("No Sections"), name, RowStatus::Failed, name, page);
    } else {
        b.ui.addLogRow(QStringLiteral("Missing File"), name, RowStatus::Failed, QStringLiteral("---"),
                       QStringLiteral("---"));
    }
}

qint64 NowNs() { return QDateTime::currentMSecsSinceEpoch() * 1000000; }

/// The last build's result for chapter `i` when it recorded it from the same
/// source bytes and its page is still the one that build wrote. A source whose
/// stamp changed (or was too fresh to trust) is hashed: touched is not changed.
std::optional<ChapterResult> ReuseChapter(const ChapterPass& pass, int i, const QString& source, const QString& page) {
    const auto found = pass.previous->chapters.constFind(source);
    if (found == pass.previous->chapters.cend() || !found->files) {
        return std::nullopt;
    }
    const ChapterFiles& old = *found->files;
    if (old.page != page || !old.pageStamp.known() || StampOf(pass.out.path(page)) != old.pageStamp) {
        return std::nullopt;
    }
    ChapterResult result = *found;
    if (!old.stampTrusted || StampOf(source) != old.sourceStamp) {
        QByteArray bytes;
        const ReadResult read = ReadRegularFile(source, bytes);
        if (!read.ok() || ContentDigest(bytes) != old.sourceDigest) {
            return std::nullopt;
        }
        result.files->sourceStamp = read.stamp;
        result.files->stampTrusted = StampSettled(read.stamp, NowNs());
    }
    result.chapter = i;
    result.reused = true;
    return result;
}

void BuildInto(ChapterBuild& b, Environment& env) {
    if (!b.pass.out.hasPage(b.i)) {
        RefuseChapter(b);
        return;
    }
    const Workspace& ws = b.pass.ws;
    const BookOutput& out = b.pass.out;
    DocumentModel& doc = b.work.doc;
    doc.SourceFilePath = ChapterSourcePath(ws.project, b.chapter);
    doc.SectionCount = 0;
    const QString page = BookPageName(b.chapter.Name);
    const bool html = IsHtmlFileName(b.chapter.Name);
    const bool exists = FileExists(doc.SourceFilePath);
    // An HTML source that already lies in the destination is its own copy.
    const bool ownCopy = html && exists && IsSameFile(doc.SourceFilePath, out.path(page));
    if (!ownCopy && b.pass.sources.contains(out.path(page))) {
        KeepSourceInPlaceOfPage(b, page);
        return;
    }
    if (exists && !ownCopy && b.pass.previous != nullptr) {
        if (std::optional<ChapterResult> reused = ReuseChapter(b.pass, b.i, doc.SourceFilePath, page)) {
            b.result = std::move(*reused);
            return;
        }
    }

    QStringList missingFigures;
    if (!exists) {
        const QString body =
            QStringLiteral("<h1> >> File not found</h1><h2>") + EscapeHtml(b.chapter.Name) +
            QStringLiteral("</h2><ul><li>The input file is missing. Restore the file or check drive access</li></ul>");
        if (!WriteErrorPage(b.ui, b.work.page, out.style, out.folder, body, page)) {
            b.result.written = false;
            return;
        }
    } else if (!ownCopy) {
        SingleFileContext context{.env = env,
                                  .doc = doc,
                                  .page = b.work.page,
                                  .settings = ws.project.settings,
                                  .style = out.style,
                                  .projectOpen = true,
                                  .projectFolder = ws.project.ProjectFolder,
                                  .destinationFolder = out.folder,
                                  .generatedAt = b.pass.generatedAt};
        context.digestSource = b.pass.recording;
        std::vector<QString> snippets;
        if (b.pass.keepSnippets) {
            context.snippets = &snippets;
        }
        BuildChapter(context);
        // A page that could not be written has been told about; the book must
        // not list it as built.
        if (!context.pageWritten) {
            b.result.written = false;
            return;
        }
        if (!context.source.ok()) {
            ReportSourceNotRead(b, context.source, page);
            return;
        }
        const FileStamp pageStamp = StampOf(out.path(page));
        // A page with figures also depends on the images beside it: it is always built again.
        if (b.pass.recording && !context.hasFigures && context.source.stamp.known() && pageStamp.known()) {
            b.result.files = ChapterFiles{.source = doc.SourceFilePath,
                                          .sourceStamp = context.source.stamp,
                                          .stampTrusted = StampSettled(context.source.stamp, NowNs()),
                                          .sourceDigest = context.sourceDigest,
                                          .page = page,
                                          .pageStamp = pageStamp};
        }
        missingFigures = std::move(context.missingFigures);
        b.result.snippets = std::move(snippets);
    }
    RecordChapter(b, page, html, exists, missingFigures);
}

}  // namespace

ChapterResult BuildBookChapter(const ChapterPass& pass, ChapterWorkspace work, int i, UserInterface* live,
                               const std::atomic<bool>* cancel) {
    ChapterResult result;
    result.chapter = i;
    ChapterRecorder recorder(result, live, cancel);
    Environment env{recorder, pass.ws.env.preferences, pass.ws.env.paths};
    ChapterBuild build{pass, work, i, pass.ws.project.Chapters[static_cast<size_t>(i)], result, recorder};
    BuildInto(build, env);
    return result;
}

ChapterResult OutOfMemoryChapter(const ChapterPass& pass, int i) {
    ChapterResult result;
    result.chapter = i;
    const Chapter& chapter = pass.ws.project.Chapters[static_cast<size_t>(i)];
    result.failed = true;
    result.title = chapter.Name;
    ChapterRecorder recorder(result, nullptr);
    recorder.addLogRow(ReadFailureReason(ReadOutcome::OutOfMemory), chapter.Name, RowStatus::Failed,
                       QStringLiteral("---"), BookPageName(chapter.Name));
    return result;
}

}  // namespace tessarel

#include "book/chapter_pass.h"

#include "book/book_output.h"
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
#include "support/user_interface.h"

#include <QFileInfo>

#include <algorithm>

namespace tessarel {

namespace {

/// A chapter that cannot have its page: a failed row, and nothing written.
ChapterOutcome RefuseChapter(const ChapterPass& pass, int i) {
    ProjectModel& project = pass.ws.project;
    Chapter& chapter = project.Chapters[static_cast<size_t>(i)];
    project.CurrentChapterIndex = i;
    chapter.Documented = false;
    chapter.ChapterTitle = chapter.Name;
    LogRefusedChapter(pass.ws.env.ui, project, pass.pages, i);
    return {.failed = true};
}

/// The chapter's page would replace one of the project's sources: the source
/// stays, and the chapter is a failed one.
ChapterOutcome KeepSourceInPlaceOfPage(const ChapterPass& pass, int i, const QString& page) {
    Chapter& chapter = pass.ws.project.Chapters[static_cast<size_t>(i)];
    chapter.Documented = false;
    chapter.ChapterTitle = chapter.Name;
    pass.ws.env.ui.addLogRow(QStringLiteral("Not Built: Page Is A Source"), chapter.Name, false, QStringLiteral("---"),
                             page);
    pass.ws.project.CurrentChapterIndex = i;
    return {.failed = true};
}

/// A source that was not read keeps the page it had; where it has none, an
/// error page keeps the contents' link to it whole.
ChapterOutcome ReportSourceNotRead(const ChapterPass& pass, int i, const ReadResult& read, const QString& page) {
    Workspace& ws = pass.ws;
    Chapter& chapter = ws.project.Chapters[static_cast<size_t>(i)];
    ws.project.CurrentChapterIndex = i;
    chapter.Documented = false;
    chapter.ChapterTitle = chapter.Name;
    const QFileInfo old(pass.out.path(page));
    if (!old.exists() && !old.isSymLink()) {
        const QString body = QStringLiteral("<h1> >> File not read</h1><h2>") + chapter.Name.toHtmlEscaped() +
                             QStringLiteral("</h2><ul><li>") + ReadFailureText(read).toHtmlEscaped() +
                             QStringLiteral("</li></ul>");
        if (!WriteErrorPage(ws.env.ui, ws.page, pass.out.style, pass.out.folder, body, page)) {
            return {.written = false};
        }
    }
    ws.env.ui.addLogRow(ReadFailureReason(read.outcome), chapter.Name, false, QStringLiteral("---"), page);
    return {.failed = true};
}

/// The row, title and listing of a chapter whose page (or error page) is written.
ChapterReplay ReplayOf(DocumentModel& doc, const Chapter& chapter, const QString& page, bool html, bool exists) {
    int sections = exists ? std::min(doc.count(), static_cast<int>(doc.Sections.size()) - 1) : 0;
    sections = std::max(sections, 0);
    ChapterReplay replay;
    replay.documented = sections > 0;
    // The title is listed as HTML: a section name is the author's, a file name is escaped.
    replay.chapterTitle =
        (sections > 0 && !doc.section(1).Name.isEmpty()) ? doc.section(1).Name : EscapeHtml(chapter.Name);
    if (sections > 0) {
        replay.reason = QStringLiteral("Built OK");
        replay.success = true;
        replay.logTitle = replay.chapterTitle;
        replay.output = page;
        replay.sections = sections;
        replay.sectionNames.reserve(sections - 1);
        for (int j = 2; j <= sections; ++j) {
            replay.sectionNames.append(doc.section(j).Name);
        }
        return replay;
    }
    replay.failed = true;
    replay.logTitle = QStringLiteral("---");
    replay.output = QStringLiteral("---");
    if (html && exists) {
        // The page is taken into the book as it is, listed under its base name.
        replay.reason = QStringLiteral("Not Built: HTML File");
        replay.success = true;
        replay.failed = false;
        replay.logTitle = chapter.Name;
        replay.output = page;
        replay.documented = true;
        replay.sections = 1;
        doc.SectionCount = 1;
        replay.chapterTitle = EscapeHtml(BaseNameOf(chapter.Name));
    } else if (html) {
        replay.reason = QStringLiteral("Missing HTML File");
    } else if (exists) {
        replay.reason = QStringLiteral("No Sections");
        replay.logTitle = chapter.Name;
        replay.output = page;
    } else {
        replay.reason = QStringLiteral("Missing File");
    }
    return replay;
}

/// What the book learns of a chapter, built or reused: its row, title and listing.
ChapterOutcome ApplyReplay(const ChapterPass& pass, int i, const ChapterReplay& replay) {
    Chapter& chapter = pass.ws.project.Chapters[static_cast<size_t>(i)];
    pass.ws.project.CurrentChapterIndex = i;
    chapter.Documented = replay.documented;
    chapter.ChapterTitle = replay.chapterTitle;
    pass.ws.env.ui.addLogRow(replay.reason, chapter.Name, replay.success, replay.logTitle, replay.output);
    return {.failed = replay.failed, .sections = replay.sections, .sectionNames = replay.sectionNames};
}

qint64 NowNs() { return QDateTime::currentMSecsSinceEpoch() * 1000000; }

/// Replays chapter `i` when the previous build recorded it from the same
/// source bytes and its page is still the one that build wrote. A source whose
/// stamp changed (or was too fresh to trust) is hashed: touched is not changed.
std::optional<ChapterOutcome> ReuseChapter(const ChapterPass& pass, int i, const QString& source, const QString& page) {
    const auto found = pass.previous->chapters.constFind(source);
    if (found == pass.previous->chapters.cend()) {
        return std::nullopt;
    }
    const ChapterRecord& old = *found;
    if (old.page != page || !old.pageStamp.known() || StampOf(pass.out.path(page)) != old.pageStamp) {
        return std::nullopt;
    }
    ChapterRecord now = old;
    if (!old.stampTrusted || StampOf(source) != old.sourceStamp) {
        QByteArray bytes;
        const ReadResult read = ReadRegularFile(source, bytes);
        if (!read.ok() || ContentDigest(bytes) != old.sourceDigest) {
            return std::nullopt;
        }
        now.sourceStamp = read.stamp;
        now.stampTrusted = StampSettled(read.stamp, NowNs());
    }
    ChapterOutcome outcome = ApplyReplay(pass, i, old.replay);
    outcome.record = std::move(now);
    outcome.reused = true;
    return outcome;
}

}  // namespace

ChapterOutcome BuildBookChapter(const ChapterPass& pass, int i) {
    if (!pass.out.hasPage(i)) {
        return RefuseChapter(pass, i);
    }
    Workspace& ws = pass.ws;
    const BookOutput& out = pass.out;
    Chapter& chapter = ws.project.Chapters[static_cast<size_t>(i)];
    DocumentModel& doc = ws.document;
    doc.SourceFilePath = ChapterSourcePath(ws.project, chapter);
    doc.SectionCount = 0;
    ws.destinationFolder = out.folder;
    const QString page = BookPageName(chapter.Name);
    const bool html = IsHtmlFileName(chapter.Name);
    const bool exists = FileExists(doc.SourceFilePath);
    // An HTML source that already lies in the destination is its own copy.
    const bool ownCopy = html && exists && IsSameFile(doc.SourceFilePath, out.path(page));
    if (!ownCopy && pass.sources.contains(out.path(page))) {
        return KeepSourceInPlaceOfPage(pass, i, page);
    }
    if (exists && !ownCopy && pass.previous != nullptr) {
        if (std::optional<ChapterOutcome> reused = ReuseChapter(pass, i, doc.SourceFilePath, page)) {
            return std::move(*reused);
        }
    }

    std::optional<ChapterRecord> record;
    if (!exists) {
        const QString body =
            QStringLiteral("<h1> >> File not found</h1><h2>") + EscapeHtml(chapter.Name) +
            QStringLiteral("</h2><ul><li>The input file is missing. Restore the file or check drive access</li></ul>");
        if (!WriteErrorPage(ws.env.ui, ws.page, out.style, out.folder, body, page)) {
            return {.written = false};
        }
    } else if (!ownCopy) {
        SingleFileContext context{.env = ws.env,
                                  .doc = doc,
                                  .page = ws.page,
                                  .settings = ws.project.settings,
                                  .style = out.style,
                                  .projectOpen = true,
                                  .projectFolder = ws.project.ProjectFolder,
                                  .destinationFolder = out.folder,
                                  .generatedAt = pass.generatedAt};
        context.digestSource = pass.recording;
        BuildChapter(context);
        // A page that could not be written has been told about; the book must
        // not list it as built.
        if (!context.pageWritten) {
            return {.written = false};
        }
        if (!context.source.ok()) {
            return ReportSourceNotRead(pass, i, context.source, page);
        }
        const FileStamp pageStamp = StampOf(out.path(page));
        if (pass.recording && context.source.stamp.known() && pageStamp.known()) {
            record = ChapterRecord{.source = doc.SourceFilePath,
                                   .sourceStamp = context.source.stamp,
                                   .stampTrusted = StampSettled(context.source.stamp, NowNs()),
                                   .sourceDigest = context.sourceDigest,
                                   .page = page,
                                   .pageStamp = pageStamp};
        }
    }
    const ChapterReplay replay = ReplayOf(doc, chapter, page, html, exists);
    ChapterOutcome outcome = ApplyReplay(pass, i, replay);
    if (record) {
        record->replay = replay;
        outcome.record = std::move(record);
    }
    return outcome;
}

}  // namespace tessarel

#include "book/chapter_pass.h"

#include "book/book_output.h"
#include "book/page_names.h"
#include "book/project_sources.h"
#include "book/workspace.h"
#include "pages/error_page.h"
#include "pages/page_paths.h"
#include "pages/single_file_build.h"
#include "support/environment.h"
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
ChapterOutcome RecordChapter(const ChapterPass& pass, int i, const QString& page, bool html, bool exists) {
    Workspace& ws = pass.ws;
    UserInterface& ui = ws.env.ui;
    DocumentModel& doc = ws.document;
    Chapter& chapter = ws.project.Chapters[static_cast<size_t>(i)];
    ws.project.CurrentChapterIndex = i;

    int sections = exists ? std::min(doc.count(), static_cast<int>(doc.Sections.size()) - 1) : 0;
    sections = std::max(sections, 0);
    chapter.Documented = sections > 0;
    // The title is listed as HTML: a section name is the author's, a file name is escaped.
    chapter.ChapterTitle =
        (sections > 0 && !doc.section(1).Name.isEmpty()) ? doc.section(1).Name : EscapeHtml(chapter.Name);

    if (sections > 0) {
        ui.addLogRow(QStringLiteral("Built OK"), chapter.Name, true, chapter.ChapterTitle, page);
        return {.sections = sections};
    }
    if (html && exists) {
        ui.addLogRow(QStringLiteral("Not Built: HTML File"), chapter.Name, true, chapter.Name, page);
        // The page is taken into the book as it is, listed under its base name.
        chapter.Documented = true;
        doc.SectionCount = 1;
        chapter.ChapterTitle = EscapeHtml(BaseNameOf(chapter.Name));
        return {.sections = 1};
    }
    if (html) {
        ui.addLogRow(QStringLiteral("Missing HTML File"), chapter.Name, false, QStringLiteral("---"),
                     QStringLiteral("---"));
    } else if (exists) {
        ui.addLogRow(QStringLiteral("No Sections"), chapter.Name, false, chapter.Name, page);
    } else {
        ui.addLogRow(QStringLiteral("Missing File"), chapter.Name, false, QStringLiteral("---"), QStringLiteral("---"));
    }
    return {.failed = true};
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
    if (pass.snippets != nullptr) {
        pass.snippets->clear();
    }
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
                                  .generatedAt = pass.generatedAt,
                                  .snippets = pass.snippets};
        BuildChapter(context);
        // A page that could not be written has been told about; the book must
        // not list it as built.
        if (!context.pageWritten) {
            return {.written = false};
        }
        if (!context.source.ok()) {
            return ReportSourceNotRead(pass, i, context.source, page);
        }
    }
    return RecordChapter(pass, i, page, html, exists);
}

}  // namespace tessarel

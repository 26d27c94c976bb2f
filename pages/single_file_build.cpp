#include "pages/single_file_build.h"

#include "extract/document_model.h"
#include "extract/section_sort.h"
#include "extract/source_parser.h"
#include "pages/chapter_page.h"
#include "pages/error_page.h"
#include "pages/page_frame.h"
#include "pages/page_paths.h"
#include "support/environment.h"
#include "support/error_report.h"
#include "support/error_sites.h"
#include "support/file_stamp.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/replacing_file.h"
#include "support/settings.h"
#include "support/string_functions.h"
#include "support/text_file.h"

#include <QFileInfo>

#include <exception>
#include <new>
#include <vector>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

/// Writes the bytes unchanged: an HTML source is the user's page, not ours to
/// re-encode. False with the system's reason in `failure` ("" for a read-only
/// target).
bool CopyFileReplacing(const QByteArray& bytes, const QString& target, QString& failure) {
    ReplacingFile out(target);
    if (out.open() && out.write(bytes) && out.commit()) {
        return true;
    }
    failure = out.failure();
    return false;
}

QString ProjectDestinationFolder(const SingleFileContext& context) {
    if (!context.destinationFolder.isEmpty()) {
        return context.destinationFolder;
    }
    return ResolveProjectPath(context.projectFolder, context.settings.RelDestPath);
}

/// Shows an HTML source when no project is open; copies it into the project's
/// destination folder when one is.
void PublishHtmlSource(SingleFileContext& context) {
    const QString& source = context.doc.SourceFilePath;
    if (!context.projectOpen) {
        // The browser would wait on a pipe as a read does.
        const ReadOutcome probed = ProbeRegularFile(source);
        if (probed != ReadOutcome::Read) {
            context.source = {probed, QString()};
            return;
        }
        context.env.ui.navigate(source);
        context.shownPage = source;
        return;
    }
    if (!FileExists(source)) {
        return;
    }
    const QString folder = ProjectDestinationFolder(context);
    if (folder.isEmpty()) {
        return;
    }
    const QString target = JoinFolderAndFile(folder, FileNameOf(source));
    if (target.isEmpty() || IsSameFile(source, target)) {
        return;
    }
    QByteArray bytes;
    context.source = ReadRegularFile(source, bytes);
    if (!context.source.ok()) {
        return;
    }
    if (context.digestSource) {
        context.sourceDigest = ContentDigest(bytes);
    }
    QString failure;
    if (!CopyFileReplacing(bytes, target, failure)) {
        ShowWriteFailure(context.env.ui, target, failure);
        context.pageWritten = false;
    }
}

bool SortSectionsWanted(const SingleFileContext& context) {
    if (context.projectOpen) {
        return context.settings.SortSections;
    }
    return ReadSingleFileSortSections(context.env.preferences);
}

ParseOptions ParseOptionsFor(const SingleFileContext& context) {
    ParseOptions options;
    options.comments =
        context.projectOpen ? context.settings.comments : ReadSingleFileCommentStyles(context.env.preferences);
    options.hyperlinks = context.settings.Links;
    return options;
}

/// True, and the user told, when the page would take the place of the source
/// it is made from (a link to it standing at the page's name): the source stays.
bool PageWouldReplaceSource(SingleFileContext& context) {
    const DocumentModel& doc = context.doc;
    const QString target = context.destinationFolder.isEmpty()
                               ? doc.ChapterPagePath
                               : MakeChapterOutputPath(context.destinationFolder, doc.ChapterPagePath);
    if (!IsSameFile(doc.SourceFilePath, target)) {
        return false;
    }
    context.env.ui.message(u"Source file kept"_s,
                           u"Not written: "_s + kCrLf + target + kCrLf +
                               u"It is the source file itself; a build never replaces a source."_s,
                           MessageIcon::Exclamation, MessageButtons::Ok);
    return true;
}

/// Drops what was read or made of the source, so no part of it is taken for
/// this file's result, and its memory is free for the next file.
void ForgetSource(DocumentModel& doc) {
    doc.SourceText = QString();
    doc.SourceTextLength = 0;
    doc.ChapterPagePath.clear();
    doc.Sections = std::vector<SectionRecord>(1);
    doc.SectionCount = 0;
}

/// Parses the source's bytes and writes its page or its error page. Running out
/// of memory ends this file only: the build reports it and goes on.
void ParseAndWritePage(SingleFileContext& context, QByteArray bytes) {
    DocumentModel& doc = context.doc;
    UserInterface& ui = context.env.ui;
    try {
        const bool parsed = ParseSourceFile(ui, doc, doc.SourceFilePath, std::move(bytes), ParseOptionsFor(context));
        if (parsed && doc.count() > 1 && SortSectionsWanted(context)) {
            SortSectionsByName(doc);
        }
        if (!doc.ChapterPagePath.isEmpty() && PageWouldReplaceSource(context)) {
            context.pageIsSource = true;
            context.pageWritten = false;
        } else if (parsed) {
            // The page writer replaces an old page only once the new one is
            // whole, so a failed write keeps it rather than deleting it first.
            ChapterPageContext chapterContext{
                ui, context.page, context.style, context.settings, context.destinationFolder, context.generatedAt};
            chapterContext.releaseTexts = true;
            chapterContext.snippets = context.snippets;
            context.pageWritten = WriteChapterPage(chapterContext, doc);
            context.hasFigures = chapterContext.hasFigures;
            context.missingFigures = std::move(chapterContext.missingFigures);
        } else if (!doc.ChapterPagePath.isEmpty()) {
            context.pageWritten =
                WriteErrorPage(ui, context.page, context.style, context.destinationFolder,
                               NoSectionsErrorBody(FileNameOf(doc.SourceFileName)), doc.ChapterPagePath);
        }
    } catch (const std::bad_alloc&) {
        ForgetSource(doc);
        context.page.PageText = QString();
        context.source = {ReadOutcome::OutOfMemory, QString()};
    }
}

/// The page a build of the source alone writes beside it: where the parser
/// puts doc.ChapterPagePath.
QString SingleFilePagePath(const QString& sourcePath) {
    return FolderOf(sourcePath) + FileNameOf(sourcePath) + u".htm"_s;
}

bool ReadParseAndWrite(SingleFileContext& context) {
    DocumentModel& doc = context.doc;
    UserInterface& ui = context.env.ui;
    doc.SectionCount = 0;
    context.pageWritten = true;
    context.pageIsSource = false;
    context.pageKept = false;
    context.shownPage.clear();
    context.source = ReadResult();
    if (IsHtmlFileName(doc.SourceFilePath)) {
        PublishHtmlSource(context);
        return context.source.ok();
    }
    if (!doc.SourceFilePath.isEmpty()) {
        // A source that cannot be read keeps its old page: an empty read must
        // not pass for a file without sections.
        QByteArray bytes;
        context.source = ReadRegularFile(doc.SourceFilePath, bytes);
        if (!context.source.ok()) {
            ForgetSource(doc);
            return false;
        }
        // A project build has judged its destination's files before; a page
        // beside its source is judged here, and the user's file there stays.
        if (context.destinationFolder.isEmpty() && !context.replaceForeignPage &&
            !PageABuildWouldReplace(doc.SourceFilePath).isEmpty()) {
            // Nothing of the source is kept: the file at the page's name is not its page.
            ForgetSource(doc);
            context.pageKept = true;
            context.pageWritten = false;
            return true;
        }
        if (context.digestSource) {
            context.sourceDigest = ContentDigest(bytes);
        }
        ParseAndWritePage(context, std::move(bytes));
        if (!context.source.ok()) {
            return false;
        }
    }
    if (!context.projectOpen && !context.pageIsSource && FileExists(doc.ChapterPagePath)) {
        ui.navigate(doc.ChapterPagePath);
        context.shownPage = doc.ChapterPagePath;
    }
    return true;
}

}  // namespace

QString PageABuildWouldReplace(const QString& sourcePath) {
    if (TrimSpaces(sourcePath).isEmpty() || IsHtmlFileName(sourcePath)) {
        return QString();
    }
    const QString page = SingleFilePagePath(sourcePath);
    const QFileInfo info(page);
    if ((!info.exists() || info.isDir()) && !info.isSymLink()) {
        return QString();
    }
    return IsSameFile(sourcePath, page) || IsTessarelPage(page) ? QString() : page;
}

QString ForeignFileReason() { return u"Kept: Not Written By Tessarel"_s; }

bool BuildChapter(SingleFileContext& context) {
    try {
        return ReadParseAndWrite(context);
    } catch (const std::exception& error) {
        ReportError(context.env, error_sites::kBuildChapterProcedure, error_sites::kBuildModule,
                    error_sites::kNoErrorNumber, QString::fromLocal8Bit(error.what()));
        return false;
    }
}

void ReportMissingFigures(UserInterface& ui, const QStringList& sources) {
    for (const QString& source : sources) {
        ui.addLogText(u"Figure not found: "_s + source);
    }
}

SingleFileResult BuildSingleFile(SingleFileContext& context) {
    UserInterface& ui = context.env.ui;
    ui.resetProgress();
    ui.buildStarted(false);
    const bool readable = BuildChapter(context);

    const DocumentModel& doc = context.doc;
    SingleFileResult result;
    result.readable = readable;
    result.inputFile = FileNameOf(doc.SourceFilePath);
    result.outputFile = PageFileName(result.inputFile);
    if (!readable) {
        // A critical error, already reported, counts as a file not read.
        result.reason = ReadFailureReason(context.source.ok() ? ReadOutcome::Unreadable : context.source.outcome);
        result.chapterTitle = u"---"_s;
    } else if (context.pageIsSource) {
        result.reason = u"Not Built: Page Is A Source"_s;
        result.chapterTitle = u"---"_s;
    } else if (context.pageKept) {
        // Named as the project build names the files it keeps.
        result.reason = ForeignFileReason();
        result.chapterTitle = u"---"_s;
    } else if (doc.count() > 0 && !context.pageWritten) {
        // Sections were found, but the page the log would point to is not there.
        result.reason = u"Page Not Written"_s;
        result.chapterTitle = doc.section(1).Name;
    } else if (doc.count() > 0 && !context.missingFigures.isEmpty()) {
        // The page is there, but shows a broken image.
        result.reason = u"Missing Figure"_s;
        result.status = RowStatus::Warning;
        result.chapterTitle = doc.section(1).Name;
    } else if (doc.count() > 0) {
        result.reason = u"Sections OK"_s;
        result.status = RowStatus::Ok;
        result.chapterTitle = doc.section(1).Name;
    } else if (IsHtmlFileName(doc.SourceFilePath)) {
        result.reason = u"Not Built: HTML File"_s;
        result.status = RowStatus::Warning;
        result.chapterTitle = result.inputFile;
    } else {
        result.reason = u"No Sections Declared"_s;
        result.chapterTitle = u"No Sections Defined"_s;
    }
    if (!readable || context.pageIsSource || (!context.pageWritten && !context.pageKept)) {
        // No page was written: the row names none, even where an old one
        // stays. A file kept is named: it is why the row fails.
        result.outputFile.clear();
    }
    ui.addLogRow(result.reason, result.inputFile, result.status, result.chapterTitle, result.outputFile);
    ReportMissingFigures(ui, context.missingFigures);
    if (!context.source.ok()) {
        ui.message(result.reason, doc.SourceFilePath + kCrLf + ReadFailureText(context.source),
                   MessageIcon::Exclamation, MessageButtons::Ok);
    }
    ui.yield();
    ui.buildFinished(false);
    return result;
}

}  // namespace tessarel

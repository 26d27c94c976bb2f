#include "pages/chapter_job.h"

#include "extract/document_model.h"
#include "extract/section_sort.h"
#include "pages/chapter_page.h"
#include "pages/error_page.h"
#include "pages/outcome_table.h"
#include "pages/page_frame.h"
#include "pages/page_paths.h"
#include "support/environment.h"
#include "support/error_report.h"
#include "support/error_sites.h"
#include "support/paths.h"
#include "support/replacing_file.h"
#include "support/text_file.h"

#include <QFileInfo>

#include <exception>
#include <new>

namespace tessarel {

namespace {

using Kind = ChapterOutcome::Kind;

/// One job's build: what it reads, where it works and what it gives back.
struct JobBuild {
    Environment& env;
    const ChapterSetup& setup;
    const ChapterJob& job;
    ChapterWorkspace work;
    ChapterOutcome outcome = {};

    UserInterface& ui() { return env.ui; }

    /// Ends the job as `kind`, with the error page the table gives it.
    ChapterOutcome& end(Kind kind) {
        outcome.kind = kind;
        const OutcomePage errorPage = ErrorPageOfOutcome(kind, job.mode);
        if (errorPage == OutcomePage::None) {
            return outcome;
        }
        if (errorPage == OutcomePage::FileNotReadWhereNoPage) {
            // An old page stays: a source that was not read keeps what it had.
            const QFileInfo old(job.page);
            if (old.exists() || old.isSymLink()) {
                return outcome;
            }
        }
        outcome.written = WriteErrorPage(ui(), work.page, setup.style, OutcomePageBody(errorPage, job, outcome.read),
                                         job.page, job.modern ? &*job.modern : nullptr);
        return outcome;
    }

    /// Not read: nothing of the source is kept, and its memory is free for the next file.
    ChapterOutcome& notRead(const ReadResult& read) {
        forgetSource();
        outcome.read = read;
        return end(Kind::NotRead);
    }

    void forgetSource() {
        DocumentModel& doc = work.doc;
        doc.SourceText = QString();
        doc.SourceTextLength = 0;
        doc.Sections = std::vector<SectionRecord>();
    }
};

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

/// True when the last build's page still stands for this source: its page is
/// the one that build wrote, and its source has the bytes it read. A source
/// whose stamp changed (or was too fresh to trust) is hashed: touched is not changed.
bool LastBuildStands(JobBuild& b) {
    const ChapterFiles& old = *b.job.lastBuild;
    if (old.page != b.job.pageName || !old.pageStamp.known() || StampOf(b.job.page) != old.pageStamp) {
        return false;
    }
    if (old.stampTrusted && StampOf(b.job.source) == old.sourceStamp) {
        return true;
    }
    QByteArray bytes;
    const ReadResult read = ReadRegularFile(b.job.source, bytes);
    if (!read.ok() || ContentDigest(bytes) != old.sourceDigest) {
        return false;
    }
    b.outcome.read = read;
    b.outcome.sourceReread = true;
    return true;
}

/// An HTML source is not parsed: alone it is shown as it is, in a book it is
/// copied into the destination unless it lies there already.
ChapterOutcome& TakeHtmlSource(JobBuild& b) {
    const ChapterJob& job = b.job;
    if (job.mode == ChapterJob::Mode::SingleFile) {
        // The browser would wait on a pipe as a read does.
        const ReadOutcome probed = ProbeRegularFile(job.source);
        if (probed != ReadOutcome::Read) {
            return b.notRead({probed, QString()});
        }
        return b.end(Kind::HtmlAsIs);
    }
    if (job.htmlCopy.isEmpty()) {
        return b.end(Kind::HtmlAsIs);
    }
    QByteArray bytes;
    const ReadResult read = ReadRegularFile(job.source, bytes);
    if (!read.ok()) {
        return b.notRead(read);
    }
    b.outcome.read = read;
    if (job.digestSource) {
        b.outcome.sourceDigest = ContentDigest(bytes);
    }
    QString failure;
    if (!CopyFileReplacing(bytes, job.htmlCopy, failure)) {
        ShowWriteFailure(b.ui(), job.htmlCopy, failure);
        b.outcome.written = false;
    }
    return b.end(Kind::HtmlAsIs);
}

/// Parses the source's bytes and writes its page or its error page. Running
/// out of memory ends this chapter only: it counts as not read.
ChapterOutcome& ParseAndWrite(JobBuild& b, QByteArray bytes) {
    DocumentModel& doc = b.work.doc;
    const ChapterSetup& setup = b.setup;
    try {
        const bool parsed = ParseSourceFile(b.ui(), doc, b.job.source, std::move(bytes), setup.parse);
        if (parsed && doc.count() > 1 && setup.sortSections) {
            SortSectionsByName(doc);
        }
        // A link to the source standing at the page's name: the source stays.
        if (IsSameFile(b.job.source, b.job.page)) {
            return b.end(Kind::PageIsSource);
        }
        if (!parsed) {
            return b.end(Kind::NoSections);
        }
        // The page writer replaces an old page only once the new one is whole,
        // so a failed write keeps it rather than deleting it first.
        ChapterPageContext context{b.ui(), b.work.page, setup.style, setup.settings, b.job.page, setup.generatedAt};
        context.releaseTexts = true;
        context.secondThread = setup.parse.secondThread;
        if (b.job.keepSnippets) {
            context.snippets = &b.outcome.snippets;
        }
        if (b.job.modern) {
            context.modern = &*b.job.modern;
        }
        b.outcome.written = WriteChapterPage(context, doc);
        b.outcome.hasFigures = context.hasFigures;
        b.outcome.missingFigures = std::move(context.missingFigures);
        // The writer has cleaned the names: they are what the page shows.
        b.outcome.title = doc.section(0).Name;
        b.outcome.sections = doc.count();
        b.outcome.sectionNames.reserve(doc.count() - 1);
        for (int j = 1; j < doc.count(); ++j) {
            b.outcome.sectionNames.append(doc.section(j).Name);
        }
        if (!b.outcome.written) {
            return b.end(Kind::PageNotWritten);
        }
        return b.end(b.outcome.missingFigures.isEmpty() ? Kind::Built : Kind::BuiltMissingFigures);
    } catch (const std::bad_alloc&) {
        b.work.page.PageText = QString();
        b.outcome = ChapterOutcome();
        return b.notRead({ReadOutcome::OutOfMemory, QString()});
    }
}

ChapterOutcome& Build(JobBuild& b) {
    const ChapterJob& job = b.job;
    DocumentModel& doc = b.work.doc;
    doc.SourceFilePath = job.source;
    doc.Sections.clear();
    if (job.pageIsSource) {
        return b.end(Kind::PageIsSource);
    }
    // A source that stands as the last build read it exists: no need to ask first.
    if (job.lastBuild != nullptr && LastBuildStands(b)) {
        return b.end(Kind::Reused);
    }
    if (job.mode == ChapterJob::Mode::Book && !FileExists(job.source)) {
        return b.end(Kind::Missing);
    }
    if (job.html) {
        return TakeHtmlSource(b);
    }
    // A source that cannot be read keeps its old page: an empty read must not
    // pass for a file without sections.
    QByteArray bytes;
    const ReadResult read = ReadRegularFile(job.source, bytes);
    if (!read.ok()) {
        return b.notRead(read);
    }
    b.outcome.read = read;
    // Nothing of the source is kept when the file at the page's name is not its page.
    if (!job.replaceForeignPage && IsForeignPage(job.page, job.source)) {
        b.forgetSource();
        return b.end(Kind::ForeignPageKept);
    }
    if (job.digestSource) {
        b.outcome.sourceDigest = ContentDigest(bytes);
    }
    return ParseAndWrite(b, std::move(bytes));
}

}  // namespace

bool IsForeignPage(const QString& page, const QString& source) {
    const QFileInfo info(page);
    if ((!info.exists() || info.isDir()) && !info.isSymLink()) {
        return false;
    }
    return !IsSameFile(source, page) && !IsTessarelPage(page);
}

ChapterOutcome BuildChapterJob(Environment& env, const ChapterSetup& setup, const ChapterJob& job,
                               ChapterWorkspace work) {
    JobBuild build{env, setup, job, work};
    try {
        return std::move(Build(build));
    } catch (const std::exception& error) {
        ReportError(env, error_sites::kBuildChapterProcedure, error_sites::kBuildModule, error_sites::kNoErrorNumber,
                    QString::fromLocal8Bit(error.what()));
        // Counted as a file not read, whose message the report has given.
        ChapterOutcome outcome;
        outcome.kind = Kind::NotRead;
        outcome.critical = true;
        outcome.read = {ReadOutcome::Unreadable, QString()};
        return outcome;
    }
}

}  // namespace tessarel

#include "pages/single_file_build.h"

#include "pages/modern_page.h"
#include "pages/page_frame.h"
#include "pages/page_paths.h"
#include "support/environment.h"
#include "support/paths.h"
#include "support/preferences.h"
#include "support/settings.h"
#include "support/string_functions.h"
#include "support/text_file.h"
#include "support/user_interface.h"

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

using Kind = ChapterOutcome::Kind;

/// Whether the build came to the page's place: the source was read and parsed.
bool ReachedThePage(Kind kind) {
    return kind == Kind::Built || kind == Kind::BuiltMissingFigures || kind == Kind::NoSections ||
           kind == Kind::PageNotWritten || kind == Kind::PageIsSource;
}

}  // namespace

QString SingleFilePagePath(const QString& sourcePath) {
    return FolderOf(sourcePath) + FileNameOf(sourcePath) + u".htm"_s;
}

ChapterJob SingleFileJob(const QString& source, bool replaceForeignPage) {
    ChapterJob job;
    job.mode = ChapterJob::Mode::SingleFile;
    job.source = source;
    job.item = FileNameOf(source);
    job.pageName = PageFileName(job.item);
    job.html = IsHtmlFileName(source);
    if (!job.html) {
        job.page = SingleFilePagePath(source);
    }
    job.replaceForeignPage = replaceForeignPage;
    return job;
}

ChapterSetup SingleFileSetup(const Preferences& preferences, const Settings& settings, const PageStyle& style,
                             const QDateTime& generatedAt) {
    ParseOptions parse;
    parse.comments = ReadSingleFileCommentStyles(preferences);
    parse.hyperlinks = settings.Links;
    parse.secondThread = true;
    return ChapterSetup{settings, style, generatedAt, parse, ReadSingleFileSortSections(preferences)};
}

QString PageABuildWouldReplace(const QString& sourcePath) {
    if (TrimSpaces(sourcePath).isEmpty() || IsHtmlFileName(sourcePath)) {
        return QString();
    }
    const QString page = SingleFilePagePath(sourcePath);
    return IsForeignPage(page, sourcePath) ? page : QString();
}

SingleFileResult BuildSingleFile(Environment& env, ChapterWorkspace work, const SingleFileBuild& build) {
    UserInterface& ui = env.ui;
    ui.resetProgress();
    ui.buildStarted(false);
    ChapterJob job = SingleFileJob(build.source, build.replaceForeignPage);
    if (build.settings.ModernLayout && !job.html) {
        // Alone, the page carries its sheet and script: nothing else is written beside the source.
        ModernPlace place;
        place.kind = u"single"_s;
        place.page = FileNameOf(job.page);
        place.inlineStyle = build.style.text;
        place.inlineScript = ModernScriptText();
        job.modern = std::move(place);
    }
    const ChapterOutcome outcome = BuildChapterJob(
        env, SingleFileSetup(env.preferences, build.settings, build.style, build.generatedAt), job, work);

    SingleFileResult result;
    result.kind = outcome.kind;
    result.critical = outcome.critical;
    result.row = RowOfOutcome(outcome, job);
    if (outcome.kind == Kind::PageIsSource) {
        ui.message(u"Source file kept"_s,
                   u"Not written: "_s + kCrLf + job.page + kCrLf +
                       u"It is the source file itself; a build never replaces a source."_s,
                   MessageIcon::Exclamation, MessageButtons::Ok);
    }
    const OutcomeRow& row = result.row;
    ui.addLogRow(row.reason, row.item, row.status, row.title, row.output);
    ReportMissingFigures(ui, outcome.missingFigures);
    // A critical error has had its own message.
    if (outcome.kind == Kind::NotRead && !outcome.critical) {
        ui.message(row.reason, job.source + kCrLf + ReadFailureText(outcome.read), MessageIcon::Exclamation,
                   MessageButtons::Ok);
    }
    ui.buildFinished(false);

    if (ReachedThePage(outcome.kind)) {
        result.page = job.page;
        // A link to the source at the page's name is not shown as its page.
        if (outcome.kind != Kind::PageIsSource && FileExists(job.page)) {
            result.pageToShow = job.page;
        }
    } else if (outcome.kind == Kind::HtmlAsIs) {
        result.pageToShow = job.source;
    }
    return result;
}

}  // namespace tessarel

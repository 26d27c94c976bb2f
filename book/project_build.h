#pragma once

#include "book/book_output.h"
#include "book/build_record.h"
#include "book/help_compiler_run.h"
#include "project/project_model.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tessarel {

struct Workspace;

/// What a project build did, for the console program's summary and exit status.
struct ProjectBuildResult {
    bool started = false;  ///< false for an empty project ("Nothing to build.")
    int chaptersTotal = 0;
    int chaptersProcessed = 0;  ///< the last chapter reached + 1
    int chaptersReused = 0;     ///< taken from the last build's record
    int chaptersFailed = 0;     ///< missing, without sections (HTML sources excepted), or
                                ///< their page would have replaced a source
    /// The book around the chapters was left as the last build wrote it: every
    /// chapter was replayed and nothing the book is made of changed.
    bool bookReused = false;
    bool cancelled = false;
    /// A chapter's build met a critical error (reported): the build stopped as
    /// if cancelled, and the front end ends the program.
    bool critical = false;
    bool destinationUnwritable = false;  ///< the build stopped because it could not write
    bool destinationBusy = false;        ///< another build held the destination: nothing was written
    bool sourceKept = false;             ///< a book file would have replaced a source: nothing was written
    bool helpFailed = false;             ///< the help compile's row is a failed one
    int filesKept = 0;  ///< book files besides chapter pages not written, as Tessarel did not write the files there
    QString indexPage;  ///< destination + "index.htm" when written: the front end shows it
    CompileOutcome compile;  ///< the HTML Help compile, when HTML Help is on
    // The project as the book was made from it (BookProjectOf), when started.
    // The build never changes the workspace's project; ApplyBuildToProject does.
    std::vector<Chapter> chapters;      ///< in the book's order: by file name when Sort File Names is on
    std::vector<ChapterFinding> found;  ///< what the build found in each of `chapters`
    QString copyright;                  ///< the pages' copyright line, in its HTML form
    QString indexText;                  ///< the contents page's text, in its HTML form
    QString homePage;                   ///< the page the book opens on
};

/// How a project build may take its chapters.
struct ProjectBuildOptions {
    /// Build every chapter, whatever the record of the last build says.
    bool rebuild = false;
    /// The largest record of the build kept for the next one (tests lower it).
    qint64 recordLimit = kMaxBuildRecordBytes;
    /// Files of the destination Tessarel did not write that the user agreed
    /// to have replaced (FilesABuildWouldReplace); any other one is kept.
    QStringList replace = {};
};

/// Builds the open project: every chapter page, then the book around them and,
/// when enabled, the HTML Help project, which it then compiles. A chapter the
/// last build into the same destination recorded, whose source, page and page
/// inputs are unchanged, is taken from that record instead of being built.
/// A file in the destination that Tessarel did not write is never replaced
/// (unless `options` allows it): a chapter whose page it is fails, and the book
/// goes without a book file it is. The files earlier builds wrote that the new
/// book no longer uses are removed.
ProjectBuildResult BuildProject(Workspace& workspace, const ProjectBuildOptions& options = {});

/// The project as its book is made from it: the copyright line and the
/// contents text in their HTML form, and the chapters sorted by file name
/// when Sort File Names is on (and chapter titles are not the links).
ProjectModel BookProjectOf(const ProjectModel& project);

/// What a started build leaves in the project as the window shows and saves
/// it: the chapters in the book's order and the two texts in their HTML form
/// (a save writes them back in their plain form).
void ApplyBuildToProject(const ProjectBuildResult& result, ProjectModel& project);

}  // namespace tessarel

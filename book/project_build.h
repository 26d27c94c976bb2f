#pragma once

#include <QString>

namespace tessarel {

struct Workspace;

/// What a project build did, for the console program's summary and exit status.
struct ProjectBuildResult {
    bool started = false;          ///< false for an empty project ("Nothing to build.")
    int chaptersTotal = 0;
    int chaptersProcessed = 0;     ///< CurrentChapterIndex + 1 when started
    int chaptersFailed = 0;        ///< missing, without sections (HTML sources excepted), or
                                   ///< their page would have replaced a source
    bool cancelled = false;
    bool destinationUnwritable = false;  ///< the build stopped because it could not write
    bool destinationBusy = false;        ///< another build held the destination: nothing was written
    bool compilerStarted = false;  ///< the HTML Help compiler was started
    bool compilerMissing = false;
    QString indexPage;             ///< destination + "index.htm" when written
    QString compiledHelpFile;      ///< destination + "HTML Help/<base>.chm" (may not exist yet)
};

/// Builds the open project: every chapter page, then the book around them and,
/// when enabled, the HTML Help project, whose compiler is started at the end.
ProjectBuildResult BuildTheProject(Workspace& workspace);

}  // namespace tessarel

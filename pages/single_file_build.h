#pragma once

#include "pages/chapter_job.h"
#include "pages/outcome_table.h"

#include <QDateTime>
#include <QString>

namespace tessarel {

class Preferences;

/// The page a build of the source alone writes beside it.
QString SingleFilePagePath(const QString& sourcePath);

/// The job of a source built alone: its page beside it; an HTML source is
/// shown as it is.
ChapterJob SingleFileJob(const QString& source, bool replaceForeignPage);

/// What a source alone is parsed and written with: single-file mode's comment
/// styles and section sorting come from the preferences.
ChapterSetup SingleFileSetup(const Preferences& preferences, const Settings& settings, const PageStyle& style,
                             const QDateTime& generatedAt);

/// The page beside the source that its build would write over a file Tessarel
/// did not write (IsForeignPage); "" when there is none. An HTML source is
/// shown, never written.
QString PageABuildWouldReplace(const QString& sourcePath);

/// A build of one source alone, as opening it does (no project open).
struct SingleFileBuild {
    QString source;
    const Settings& settings;  ///< single-file mode's (LoadSingleFileSettings)
    const PageStyle& style;
    QDateTime generatedAt;
    /// The page may take the place of a file Tessarel did not write: the user
    /// said so (PageABuildWouldReplace).
    bool replaceForeignPage = false;
};

/// What a build of one source alone did.
struct SingleFileResult {
    ChapterOutcome::Kind kind = ChapterOutcome::Kind::Built;
    OutcomeRow row;  ///< as the build log shows it
    /// The page beside the source once the build came to write it (an old one
    /// may stand there); "" when it did not: Latest HTML and Home open it.
    QString page;
    /// What the preview shows now: the page, its error page or the HTML source
    /// itself; "" for nothing. The front end shows it.
    QString pageToShow;

    /// A critical error was reported: the front end ends the program.
    bool critical = false;

    bool readable() const { return kind != ChapterOutcome::Kind::NotRead; }
    bool success() const { return row.status != RowStatus::Failed; }
};

/// Builds one source alone with the progress, log row and messages of a build
/// of one file: the one entry point of the front ends.
SingleFileResult BuildSingleFile(Environment& env, ChapterWorkspace work, const SingleFileBuild& build);

}  // namespace tessarel

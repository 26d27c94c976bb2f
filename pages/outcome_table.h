#pragma once

#include "pages/chapter_job.h"
#include "support/user_interface.h"

#include <QString>
#include <QStringList>

namespace tessarel {

/// A chapter's row in the build log.
struct OutcomeRow {
    QString reason;
    QString item;
    RowStatus status = RowStatus::Failed;
    QString title;
    QString output;

    bool operator==(const OutcomeRow&) const = default;
};

/// The error page an outcome leaves in its page's place.
enum class OutcomePage {
    None,
    NoSections,             ///< "There are no Sections defined in this file"
    FileNotFound,           ///< "File not found"
    FileNotReadWhereNoPage  ///< "File not read", only where no page stands: an old one stays
};

/// The title a book lists a built chapter under, as HTML: the name of its
/// section 1, else its escaped file name.
QString ListedChapterTitle(const ChapterOutcome& outcome, const ChapterJob& job);
/// The row of `outcome` for `job`, as the log shows it.
OutcomeRow RowOfOutcome(const ChapterOutcome& outcome, const ChapterJob& job);
/// The error page `kind` writes in `mode`.
OutcomePage ErrorPageOfOutcome(ChapterOutcome::Kind kind, ChapterJob::Mode mode);
/// The body of that page for `job` (HTML); "" for none.
QString OutcomePageBody(OutcomePage page, const ChapterJob& job, const ReadResult& read);

/// The reason of the failed row of a file a build kept, as Tessarel did not write it.
QString ForeignFileReason();

/// Tells the build log which "@figure" images a page lacks, one line each.
void ReportMissingFigures(UserInterface& ui, const QStringList& sources);

}  // namespace tessarel

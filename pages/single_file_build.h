#pragma once

#include "support/file_read.h"
#include "support/user_interface.h"

#include <QDateTime>

#include <QString>
#include <QStringList>
#include <vector>

namespace tessarel {

struct DocumentModel;
struct Environment;
struct PageBuffer;
struct PageStyle;
struct Settings;

/// Everything the single-file build reads and writes. A project build fills it
/// for every chapter; opening a source file fills it with no project open.
struct SingleFileContext {
    Environment& env;
    DocumentModel& doc;
    PageBuffer& page;
    const Settings& settings;  ///< the project's settings, or single-file mode's
    const PageStyle& style;
    bool projectOpen = false;
    QString projectFolder;      ///< resolves settings.RelDestPath
    QString destinationFolder;  ///< set by a project build before each chapter; "" otherwise
    QDateTime generatedAt;
    /// A page written beside its source (no destination folder) takes the
    /// place of a file Tessarel did not write only when this is set: the user
    /// said so. Otherwise that file stays and the page is not written.
    bool replaceForeignPage = false;
    /// Set by the build: false when its page (or the copy of an HTML source)
    /// could not be written, which the writer has already told the user.
    bool pageWritten = true;
    /// Set by the build: the page was not written because its place holds the
    /// source itself (a link to it), which a build never replaces.
    bool pageIsSource = false;
    /// Set by the build: the page was not written because a file Tessarel did
    /// not write stands at its name (PageABuildWouldReplace).
    bool pageKept = false;
    /// Set by the build: how reading the source went. A source that was not
    /// read (or ran out of memory) leaves its old page as it was.
    ReadResult source = {};
    /// Set by the build: the file it pointed the preview at ("" for none).
    QString shownPage = {};
    /// Set by the build: whether the page shows any "@figure", and the sources
    /// of those whose image is not there.
    bool hasFigures = false;
    QStringList missingFigures = {};
    /// Asked by a project build that records its chapters: sourceDigest is
    /// then set to ContentDigest of the bytes read.
    bool digestSource = false;
    QByteArray sourceDigest = {};
    /// Given to the page writer (ChapterPageContext::snippets); null for none.
    std::vector<QString>* snippets = nullptr;
};

/// Parses doc.SourceFilePath and writes its chapter page (or its error page); an
/// HTML source is not parsed but shown, and copied into a project's destination.
/// False when the source file could not be read or built (context.source says
/// why); its old page is then left as it was.
bool BuildChapter(SingleFileContext& context);

/// The page beside the source that its build would write over a file Tessarel
/// did not write (a link, a pipe or a device there included); "" when there is
/// none. A folder is not replaced (writing there fails, and says so), nor the
/// source itself, and an HTML source is shown, never written.
QString PageABuildWouldReplace(const QString& sourcePath);

/// The reason of the failed row of a file a build kept, as Tessarel did not write it.
QString ForeignFileReason();

/// The result of one single-file build, as the build log shows it.
struct SingleFileResult {
    QString reason;  ///< "Sections OK", "Missing Figure", "Not Built: HTML File", "No Sections Declared",
                     ///< "Page Not Written", "Not Built: Page Is A Source", ForeignFileReason() or a
                     ///< ReadFailureReason
    RowStatus status = RowStatus::Failed;
    bool success() const { return status != RowStatus::Failed; }
    QString chapterTitle;
    QString inputFile;     ///< source file name
    QString outputFile;    ///< page file name; "" when no page was written, unless a file of that name was kept
    bool readable = true;  ///< false when the source could not be read or built (see reason)
};

/// Tells the build log which "@figure" images a page lacks, one line each.
void ReportMissingFigures(UserInterface& ui, const QStringList& sources);

/// BuildChapter with the progress and log of a build of one file.
SingleFileResult BuildSingleFile(SingleFileContext& context);

}  // namespace tessarel

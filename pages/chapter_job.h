#pragma once

#include "extract/source_parser.h"
#include "pages/modern_page.h"
#include "support/file_read.h"
#include "support/file_stamp.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tessarel {

struct DocumentModel;
struct Environment;
struct PageBuffer;
struct PageStyle;
struct Settings;

/// A chapter's source and page as its build left them: what the next build
/// checks before it reuses the chapter.
struct ChapterFiles {
    QString source;  ///< the path the source was read from
    FileStamp sourceStamp;
    /// False when the source was read too soon after its last change for its
    /// stamp to tell a later change of the same size apart: it is hashed again.
    bool stampTrusted = false;
    QByteArray sourceDigest;  ///< ContentDigest of the bytes read
    QString page;             ///< the page's file name in the destination
    FileStamp pageStamp;      ///< the page as the build wrote it

    bool operator==(const ChapterFiles&) const = default;
};

/// One chapter to build, every path resolved before anything is read: by the
/// book's page plan (PlanChapterJob) or for a source built alone (SingleFileJob).
struct ChapterJob {
    /// Whose rows and error pages: a book keeps its links whole, so a source
    /// that is missing or not read gets an error page where it has no page; a
    /// source built alone is read whatever it is, and a message says why it was not.
    enum class Mode { SingleFile, Book };
    Mode mode = Mode::SingleFile;
    QString source;     ///< the path the source is read from
    QString item;       ///< the source as its row names it
    QString page;       ///< the path its page (or error page) is written to
    QString pageName;   ///< the page as its row names it
    bool html = false;  ///< an HTML source: shown or copied, never parsed
    /// Where an HTML source is copied; "" when it is taken as it is (shown
    /// alone, or already in the destination under its page name).
    QString htmlCopy;
    /// The page's place holds a source of the book: nothing is written there.
    bool pageIsSource = false;
    /// Whether the page may take the place of a file Tessarel did not write:
    /// a book's plan has judged its destination before, and a source alone
    /// replaces one only when the user said so.
    bool replaceForeignPage = false;
    /// The last build's files of this chapter; null when there are none to reuse.
    const ChapterFiles* lastBuild = nullptr;
    bool digestSource = false;  ///< ChapterOutcome::sourceDigest is wanted
    bool keepSnippets = false;  ///< ChapterOutcome::snippets is wanted
    /// Set when the page is a modern one: its place in its book (or alone).
    std::optional<ModernPlace> modern = {};

    bool htmlAsItIs() const { return html && htmlCopy.isEmpty(); }
};

/// What every chapter of one build is parsed and written with.
struct ChapterSetup {
    const Settings& settings;
    const PageStyle& style;
    QDateTime generatedAt;
    ParseOptions parse;
    bool sortSections = false;  ///< sections 2.. are sorted by name
};

/// What one chapter's build works in: a document model and a page buffer of
/// its own.
struct ChapterWorkspace {
    DocumentModel& doc;
    PageBuffer& page;
};

/// What came of one chapter's job, as a plain value.
struct ChapterOutcome {
    enum class Kind {
        Built,                ///< its page was written
        BuiltMissingFigures,  ///< written, but some "@figure" image is not there
        Reused,               ///< the last build's page stands: source and page are unchanged
        HtmlAsIs,             ///< an HTML source, shown or copied as it is
        NoSections,           ///< no section: the error page takes the page's place
        Missing,              ///< the source is not there (a book's error page says so)
        NotRead,              ///< the source was not read (`read` says why); its old page stays
        PageIsSource,         ///< the page's place holds a source: nothing was written
        ForeignPageKept,      ///< a file Tessarel did not write holds the page's place: it stays
        PageNotWritten,       ///< sections were found, but the page could not be written
    };
    Kind kind = Kind::Built;
    /// False when a file this outcome writes (page, error page, copy) could not
    /// be written; the user has been told.
    bool written = true;
    /// NotRead after a critical error: it has been reported (error.log and its
    /// message), and the program must end once the build has stopped.
    bool critical = false;
    /// How reading the source went, with its stamp when it was read.
    ReadResult read;
    /// Reused: the source was read again to be recognised (`read` has its new stamp).
    bool sourceReread = false;
    QByteArray sourceDigest;
    QString title;  ///< the name of section 1 as the page shows it
    int sections = 0;
    QStringList sectionNames;  ///< the names of sections 2..sections
    /// The first words of each section's text, by section number (1..).
    std::vector<QString> snippets;
    bool hasFigures = false;  ///< the page shows an "@figure"
    QStringList missingFigures;
};

/// True when a file Tessarel did not write stands at `page` (a link, a pipe or
/// a device there included): not a folder (writing there fails, and says so),
/// nor the source itself.
bool IsForeignPage(const QString& page, const QString& source);

/// Builds `job`: reads the source, parses it and writes its page, its error
/// page or the copy of an HTML source; never in place of a source, nor of a
/// file Tessarel did not write unless the job allows it. Running out of memory
/// or a critical error (reported here, `critical` set) ends this chapter only, as not read.
ChapterOutcome BuildChapterJob(Environment& env, const ChapterSetup& setup, const ChapterJob& job,
                               ChapterWorkspace work);

}  // namespace tessarel

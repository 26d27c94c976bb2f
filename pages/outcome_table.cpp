#include "pages/outcome_table.h"

#include "pages/error_page.h"
#include "support/html_text.h"
#include "support/paths.h"

#include <iterator>

namespace tessarel {

namespace {

using Kind = ChapterOutcome::Kind;
using Mode = ChapterJob::Mode;

/// What a cell of the row shows.
enum class Cell {
    Empty,              ///< ""
    Dashes,             ///< "---"
    Item,               ///< the source as the job names it
    PageName,           ///< the page as the job names it
    SectionTitle,       ///< the name of section 1
    ListedTitle,        ///< the title the book lists: section 1's name, else the escaped item
    NoSectionsDefined,  ///< "No Sections Defined"
};

/// One mode's row of an outcome. A null reason is the read's reason.
struct RowTexts {
    const char16_t* reason;
    RowStatus status;
    Cell title;
    Cell output;
    OutcomePage page;
};

struct OutcomeTexts {
    Kind kind;
    RowTexts single;
    RowTexts book;
};

constexpr RowStatus kOk = RowStatus::Ok;
constexpr RowStatus kWarning = RowStatus::Warning;
constexpr RowStatus kFailed = RowStatus::Failed;

// A source built alone is read whatever it is, so it is never Missing; a book
// stops at a page it could not write, so it has no "Page Not Written" row; a
// reused chapter tells again what its last build told. The texts differ
// between the modes where they always have.
constexpr OutcomeTexts kOutcomes[] = {
    {Kind::Built,
     {u"Sections OK", kOk, Cell::SectionTitle, Cell::PageName, OutcomePage::None},
     {u"Built OK", kOk, Cell::ListedTitle, Cell::PageName, OutcomePage::None}},
    {Kind::BuiltMissingFigures,
     {u"Missing Figure", kWarning, Cell::SectionTitle, Cell::PageName, OutcomePage::None},
     {u"Missing Figure", kWarning, Cell::ListedTitle, Cell::PageName, OutcomePage::None}},
    {Kind::Reused,
     {u"", kOk, Cell::Empty, Cell::Empty, OutcomePage::None},
     {u"", kOk, Cell::Empty, Cell::Empty, OutcomePage::None}},
    {Kind::HtmlAsIs,
     {u"Not Built: HTML File", kWarning, Cell::Item, Cell::PageName, OutcomePage::None},
     {u"Not Built: HTML File", kWarning, Cell::Item, Cell::PageName, OutcomePage::None}},
    {Kind::NoSections,
     {u"No Sections Declared", kFailed, Cell::NoSectionsDefined, Cell::PageName, OutcomePage::NoSections},
     {u"No Sections", kFailed, Cell::Item, Cell::PageName, OutcomePage::NoSections}},
    {Kind::Missing,
     {u"Missing File", kFailed, Cell::Dashes, Cell::Dashes, OutcomePage::FileNotFound},
     {u"Missing File", kFailed, Cell::Dashes, Cell::Dashes, OutcomePage::FileNotFound}},
    {Kind::NotRead,
     {nullptr, kFailed, Cell::Dashes, Cell::Empty, OutcomePage::None},
     {nullptr, kFailed, Cell::Dashes, Cell::PageName, OutcomePage::FileNotReadWhereNoPage}},
    {Kind::PageIsSource,
     {u"Not Built: Page Is A Source", kFailed, Cell::Dashes, Cell::Empty, OutcomePage::None},
     {u"Not Built: Page Is A Source", kFailed, Cell::Dashes, Cell::PageName, OutcomePage::None}},
    {Kind::ForeignPageKept,
     {u"Kept: Not Written By Tessarel", kFailed, Cell::Dashes, Cell::PageName, OutcomePage::None},
     {u"Kept: Not Written By Tessarel", kFailed, Cell::Dashes, Cell::PageName, OutcomePage::None}},
    {Kind::PageNotWritten,
     {u"Page Not Written", kFailed, Cell::SectionTitle, Cell::Empty, OutcomePage::None},
     {u"", kFailed, Cell::Empty, Cell::Empty, OutcomePage::None}},
};

const RowTexts& TextsOf(Kind kind, Mode mode) {
    const OutcomeTexts* found = std::begin(kOutcomes);
    while (found->kind != kind) {
        ++found;
    }
    return mode == Mode::Book ? found->book : found->single;
}

QString CellText(Cell cell, const ChapterOutcome& outcome, const ChapterJob& job) {
    switch (cell) {
    case Cell::Empty:
        break;
    case Cell::Dashes:
        return QStringLiteral("---");
    case Cell::Item:
        return job.item;
    case Cell::PageName:
        return job.pageName;
    case Cell::SectionTitle:
        return outcome.title;
    case Cell::ListedTitle:
        return ListedChapterTitle(outcome, job);
    case Cell::NoSectionsDefined:
        return QStringLiteral("No Sections Defined");
    }
    return QString();
}

}  // namespace

QString ListedChapterTitle(const ChapterOutcome& outcome, const ChapterJob& job) {
    // Listed as HTML: a section name is the author's, a file name is escaped.
    return outcome.title.isEmpty() ? EscapeHtml(job.item) : outcome.title;
}

OutcomeRow RowOfOutcome(const ChapterOutcome& outcome, const ChapterJob& job) {
    const RowTexts& texts = TextsOf(outcome.kind, job.mode);
    OutcomeRow row;
    if (texts.reason == nullptr) {
        row.reason = ReadFailureReason(outcome.read.outcome);
    } else if (outcome.kind == Kind::Missing && job.html) {
        // A missing HTML source would have been taken as it is.
        row.reason = QStringLiteral("Missing HTML File");
    } else {
        row.reason = QString::fromUtf16(texts.reason);
    }
    row.item = job.item;
    row.status = texts.status;
    row.title = CellText(texts.title, outcome, job);
    // A source alone names no page where none was written, even where an old one stays.
    if (job.mode == Mode::Book || outcome.written) {
        row.output = CellText(texts.output, outcome, job);
    }
    return row;
}

OutcomePage ErrorPageOfOutcome(ChapterOutcome::Kind kind, ChapterJob::Mode mode) { return TextsOf(kind, mode).page; }

QString OutcomePageBody(OutcomePage page, const ChapterJob& job, const ReadResult& read) {
    switch (page) {
    case OutcomePage::None:
        break;
    case OutcomePage::NoSections:
        return NoSectionsErrorBody(FileNameOf(job.source));
    case OutcomePage::FileNotFound:
        return FileNotFoundErrorBody(job.item);
    case OutcomePage::FileNotReadWhereNoPage:
        return FileNotReadErrorBody(job.item, read);
    }
    return QString();
}

QString ForeignFileReason() { return QString::fromUtf16(TextsOf(Kind::ForeignPageKept, Mode::Book).reason); }

void ReportMissingFigures(UserInterface& ui, const QStringList& sources) {
    for (const QString& source : sources) {
        ui.addLogText(QStringLiteral("Figure not found: ") + source);
    }
}

}  // namespace tessarel

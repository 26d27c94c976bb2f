#pragma once

#include <QString>

namespace tessarel {

struct BookOutput;
struct PageStyle;
struct Settings;

/// The head of the side pages in the page buffer, up to their links table:
/// the title blocks and the Contents / Detailed Contents / Index (/ Search) links.
void WriteSidePageHead(const BookOutput& out);
/// "_bookcol.htm" (when Collapsible) and "_book.htm"; sets `homePage` to the
/// page of the first chapter listed ("" when none is). False when a page could
/// not be written.
bool WriteBookPages(const BookOutput& out, QString& homePage);
/// "_sorted_index.htm" from the (sorted) index entries.
bool WriteSortedIndexPage(const BookOutput& out);
/// "_index_active.htm": the collapsible index side page.
bool WriteActiveIndexPage(const BookOutput& out);

// The pieces of "_dindex.htm", which the build writes chapter by chapter.
// `page` is the page's file name, `entry` HTML (ChapterEntryText).
QString DetailedContentsHead(const Settings& settings, const PageStyle& style);
void AddDetailedChapterRow(QString& rows, const QString& page, const QString& entry, bool bold);
void AddDetailedSectionRow(QString& rows, const QString& page, const QString& sectionName);
/// The same row from the page's link (PageHref), made once for all its sections.
void AddDetailedSectionRowTo(QString& rows, QStringView pageHref, const QString& sectionName);
QString DetailedContentsClosing();

}  // namespace tessarel

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace tessarel {

struct BookOutput;
class SearchIndex;

/// The modern book's own files beside its pages.
inline const QString kModernSheet = QStringLiteral("_book.css");
inline const QString kModernScript = QStringLiteral("_book.js");
inline const QString kModernData = QStringLiteral("_book_data.js");
/// How "_book_data.js" opens, which tells it as Tessarel's.
inline const QByteArray kModernDataOpening = QByteArrayLiteral("var tessarelBook = {");

/// A chapter the modern book lists, as its build found it.
struct ModernChapter {
    int chapter = -1;      ///< its index in the project
    QString page;          ///< its page's file name
    QString title;         ///< ChapterResult::title, as HTML
    QStringList sections;  ///< the names of sections 2.., as the page shows them
};

/// The tree script "_book_data.js": the book's title, its home page and every
/// listed chapter with its sections' names and anchors; ASCII only.
QString ModernBookData(const QString& title, const QString& home, const std::vector<ModernChapter>& chapters);

/// Whether the file at `path` holds the interface script as a build writes it.
bool IsModernScript(const QString& path);

/// Writes the modern book's lists: "_book.htm", "_dindex.htm" and
/// "_sorted_index.htm" (from the sorted index entries); a file the book keeps
/// as the user's is left alone. False when a file could not be written.
bool WriteModernLists(const BookOutput& out, const std::vector<ModernChapter>& chapters);
/// Writes the rest of the modern book's own files: "_search.htm" and
/// "_search_index.js" (with a search index), "index.htm", "_book_data.js",
/// "_book.css" and "_book.js". Sets `homePage` to the page "index.htm" leads
/// to. False when a file could not be written.
bool WriteModernEntry(const BookOutput& out, const std::vector<ModernChapter>& chapters, const SearchIndex* search,
                      QString& homePage);

}  // namespace tessarel

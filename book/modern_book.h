#pragma once

#include "book/book_tail.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace tessarel {

struct BookOutput;
struct Settings;
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

/// The page "index.htm" leads to: the home chapter's, else the first listed chapter's.
QString ModernHomePage(const Settings& settings, const std::vector<ModernChapter>& chapters);

/// The writers of the modern book's own files, for RunTailWriters, in the
/// order of a book written on one thread: "_book.htm", "_dindex.htm",
/// "_sorted_index.htm" (from the sorted index entries), `helpIndex`,
/// "_search_index.js" and "_search.htm" (with a search index), "index.htm"
/// (to `homePage`), "_book_data.js", "_book.css" and "_book.js". A file the
/// book keeps as the user's is left alone. The arguments outlive the run.
std::vector<TailWriter> ModernTailWriters(const std::vector<ModernChapter>& chapters, const SearchIndex* search,
                                          const QString& homePage, std::vector<TailWriter> helpIndex);

}  // namespace tessarel

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace tessarel {

struct BookOutput;

/// A chapter's line in the search index made once and kept in the build
/// record, so a chapter replayed costs a copy: its page, title and section
/// names as script text (ASCII), with a NUL (which no script string holds)
/// where each snippet's number goes, as those numbers depend on the chapters before.
struct SearchChapter {
    QString page;  ///< the page it was made for; empty: none made
    QByteArray line;
    /// The section whose snippet takes each NUL, in order.
    std::vector<qint32> snippetSections;

    bool operator==(const SearchChapter&) const = default;
};

/// A chapter's line, from its title (HTML), page and the names of its sections 2..
SearchChapter MakeSearchChapter(const QString& title, const QString& page, const QStringList& sectionNames);

/// The first line of "_search_index.js".
inline const QString kSearchIndexFirstLine = QStringLiteral("var tessarelSearchIndex = {");

/// The data of a book's search page, gathered as the build lists each chapter
/// and written as a script ("_search_index.js") that the page loads from
/// file:// with no server: every chapter with its title and every section
/// with its name, anchor and the first words of its text.
class SearchIndex {
public:
    SearchIndex();

    /// Adds a listed chapter: its title (HTML) and page, the names of its
    /// sections 2.. (as the page writer left them), and the snippets the page
    /// writer kept (by section number; missing ones count as empty).
    void addChapter(const QString& title, const QString& page, const QStringList& sectionNames,
                    const std::vector<QString>& snippets);
    /// Adds a chapter from its line made beforehand.
    void addChapter(const SearchChapter& chapter, const std::vector<QString>& snippets);

    /// The whole script: ASCII only, every value a JavaScript string literal.
    /// When the snippets would make it larger than `mostBytes`, every snippet
    /// is cut to fewer words (down to none) until it fits.
    QString script(qsizetype mostBytes = kMostBytes) const;

    /// What a book of 4000 chapters must stay under, with room to spare.
    static constexpr qsizetype kMostBytes = 2'800'000;

private:
    /// The number of a snippet in the table of distinct ones ("" is 0).
    int snippetNumber(const QString& plain);

    QHash<QString, int> snippetNumbers_;
    std::vector<QString> distinctSnippets_;  ///< by number
    QString chapters_;                       ///< one line per chapter
};

/// A text as a double-quoted JavaScript string literal that is plain ASCII and
/// safe inside an HTML script element: quotes, backslashes, "<", ">", "&",
/// control characters and everything beyond ASCII are escapes.
QString JavaScriptString(QStringView text);

/// The anchor a section's link goes to, as the browser reads it from the
/// page: the name with blanks as "^", character references decoded.
QString SectionAnchorText(const QString& sectionName);

/// Writes "_search_index.js" and the search page "_search.htm".
bool WriteSearchPages(const BookOutput& out, const SearchIndex& index);

}  // namespace tessarel

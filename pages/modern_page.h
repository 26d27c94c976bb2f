#pragma once

#include <QString>
#include <QStringView>

namespace tessarel {

struct AppPaths;
struct PageBuffer;

/// The sheet a modern page uses: the style's modern form
/// (styles/NAME.modern.css), else styles/minimal.modern.css, else "".
QString ModernStyleText(const AppPaths& paths, const QString& styleName);
/// The interface script every modern page loads (or, alone, carries).
QString ModernScriptText();
/// One of the modern pages' resource texts (e.g. "search_main.htm"), with CR LF lines.
QString ModernResourceText(const QString& name);

/// A neighbour a chapter page links to; empty `page` for none.
struct PagerLink {
    QString page;   ///< its file name
    QString title;  ///< plain text
};

/// What places one modern page in its book. Texts are plain unless said otherwise.
struct ModernPlace {
    QString kind;       ///< chapter, contents, dindex, index, search or single
    QString page;       ///< this page's file name
    QString title;      ///< the page's own title
    QString bookTitle;  ///< the book's title; a single page's is its own
    bool search = false;
    /// A single page carries its sheet and script; a book's pages link them.
    QString inlineStyle;
    QString inlineScript;
    PagerLink previous;
    PagerLink next;

    bool single() const { return kind == QStringLiteral("single"); }
};

/// The page's head and top bar up to the start of its main content
/// (UTF-8 from here on: the page buffer's file is the caller's to open so).
void WriteModernPageTop(PageBuffer& page, const ModernPlace& place);
/// The pager (chapters with a neighbour only), the end of the main content
/// and the footer's opening: the caller writes the footer's content, then
/// CloseModernFooter, then WritePageFooter ends the page.
void WriteModernPageEnd(PageBuffer& page, const ModernPlace& place);
void CloseModernFooter(PageBuffer& page);
/// The page a book's "index.htm" is when it leads to a home chapter: a
/// refresh and a visible link, for readers that do not follow the refresh.
QString ModernRedirectPage(const QString& bookTitle, const QString& target);

/// A section's permalink inside its heading; `name` as the page shows it.
QString ModernPermalink(QStringView name);

/// Plain text (as PlainTextOfHtml gives it) escaped for HTML text and attributes.
QString PlainHtml(const QString& html);

}  // namespace tessarel

#include "pages/modern_page.h"

#include "pages/page_frame.h"
#include "support/html_text.h"
#include "support/paths.h"
#include "support/string_functions.h"
#include "support/text_file.h"

#include <QFile>

#include <initializer_list>
#include <utility>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

/// A resource's text with CR LF line ends and without its closing line end.
QString ResourceText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    QString text = QString::fromUtf8(file.readAll());
    text.replace(u"\r\n"_s, u"\n"_s);
    if (text.endsWith(u'\n')) {
        text.chop(1);
    }
    return text.replace(u'\n', kCrLf);
}

/// The template with each "{{name}}" replaced by its value, in one pass.
QString Filled(const QString& text, std::initializer_list<std::pair<QStringView, QStringView>> values) {
    QString out;
    out.reserve(text.size() + 512);
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf(u"{{"_s, at);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u"}}"_s, open + 2);
        if (close < 0) {
            out += QStringView(text).sliced(at);
            break;
        }
        out += QStringView(text).sliced(at, open - at);
        const QStringView name = QStringView(text).sliced(open + 2, close - open - 2);
        for (const auto& [key, value] : values) {
            if (key == name) {
                out += value;
            }
        }
        at = close + 2;
    }
    return out;
}

/// A text put inside a style or script element cannot end it early.
QString InsideElement(QString text, const QString& element) {
    const QString closing = u"</"_s + element;
    for (qsizetype at = text.indexOf(closing, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(closing, at + 2, Qt::CaseInsensitive)) {
        text.replace(at, 2, u"<\\/"_s);
    }
    return text;
}

QString StylePath(const AppPaths& paths, const QString& name) {
    return ProgramFolderFile(paths, u"styles"_s + PathSeparator() + name + u".modern.css"_s);
}

}  // namespace

QString ModernStyleText(const AppPaths& paths, const QString& styleName) {
    for (const QString& path : {StylePath(paths, styleName), StylePath(paths, u"minimal"_s)}) {
        if (FileExists(path)) {
            QString text = ReadTextFile(path);
            text.replace(u"\r\n"_s, u"\n"_s);
            return text.replace(u'\n', kCrLf);
        }
    }
    return QString();
}

QString ModernScriptText() { return ResourceText(u":/tessarel/modern/book.js"_s); }

QString ModernResourceText(const QString& name) { return ResourceText(u":/tessarel/modern/"_s + name); }

QString PlainHtml(const QString& html) { return EscapeHtml(PlainTextOfHtml(html)); }

void WriteModernPageTop(PageBuffer& page, const ModernPlace& place) {
    static const QString kTop = ModernResourceText(u"page_top.htm"_s);
    static const QString kBookHead = ModernResourceText(u"book_head.htm"_s);
    QString head;
    if (place.single()) {
        AddLineTo(head, u"<style>"_s);
        AddLineTo(head, InsideElement(place.inlineStyle, u"style"_s));
        AddLineTo(head, u"</style>"_s);
        AddLineTo(head, u"<script>"_s);
        AddLineTo(head, InsideElement(place.inlineScript, u"script"_s));
        head += u"</script>"_s;
    } else {
        head = kBookHead;
    }
    const QString title = EscapeHtml(place.title);
    const QString book = EscapeHtml(place.bookTitle);
    const QString fullTitle = place.single() || place.title == place.bookTitle ? title : title + u" - "_s + book;
    const QString pageName = EscapeHtmlAttribute(place.page);
    const QString home = place.single() ? EscapeHtmlAttribute(FileNameUrl(place.page)) : u"index.htm"_s;
    const QString tree = place.single() ? QString() : u"<a href=\"_book.htm\">Contents</a>"_s;
    const QString trail = place.single() ? QString() : u"<a href=\"index.htm\">"_s + book + u"</a> &rsaquo; "_s;
    page.PageText.clear();
    AddLine(page, Filled(kTop, {{u"title", fullTitle},
                                {u"head", head},
                                {u"page", pageName},
                                {u"kind", place.kind},
                                {u"search", place.search ? u" data-search=\"1\"" : u""},
                                {u"home", home},
                                {u"book", book},
                                {u"tree", tree},
                                {u"trail", trail},
                                {u"here", title}}));
}

void WriteModernPageEnd(PageBuffer& page, const ModernPlace& place) {
    static const QString kEnd = ModernResourceText(u"page_end.htm"_s);
    if (place.kind == u"chapter"_s && !(place.previous.page.isEmpty() && place.next.page.isEmpty())) {
        QString pager = u"<nav class=\"Pager\" aria-label=\"Previous and next chapter\">"_s;
        if (!place.previous.page.isEmpty()) {
            pager += u"<a rel=\"prev\" href=\""_s + EscapeHtmlAttribute(FileNameUrl(place.previous.page)) + u"\">"_s +
                     EscapeHtml(place.previous.title) + u"</a>"_s;
        }
        if (!place.next.page.isEmpty()) {
            if (!place.previous.page.isEmpty()) {
                pager += u' ';
            }
            pager += u"<a rel=\"next\" href=\""_s + EscapeHtmlAttribute(FileNameUrl(place.next.page)) + u"\">"_s +
                     EscapeHtml(place.next.title) + u"</a>"_s;
        }
        AddLine(page, pager + u"</nav>"_s);
    }
    AddLine(page, kEnd);
}

void CloseModernFooter(PageBuffer& page) { AddLine(page, u"</footer>"); }

QString ModernRedirectPage(const QString& bookTitle, const QString& target) {
    static const QString kRedirect = ModernResourceText(u"redirect.htm"_s);
    return Filled(kRedirect, {{u"book", EscapeHtml(bookTitle)}, {u"home", EscapeHtmlAttribute(FileNameUrl(target))}});
}

QString ModernPermalink(QStringView name) {
    QString anchor;
    AppendQuotedHtmlAttribute(anchor, name);
    anchor.replace(u' ', u'^');
    return u"<a class=\"Permalink\" href=\"#"_s + anchor + u"\" aria-label=\"Link to this section\">#</a>"_s;
}

}  // namespace tessarel

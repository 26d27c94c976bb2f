#include "book/contents_pages.h"

#include "book/book_output.h"
#include "book/workspace.h"
#include "pages/page_frame.h"
#include "support/environment.h"
#include "support/html_text.h"
#include "support/string_functions.h"

#include <iterator>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kRowStart = QStringLiteral("<tr class=SideLink><td class=SideLink nowrap><a class=SideLink href=\"");
const QString kTarget = QStringLiteral("\" target = \"chapter\">");

const char* const kSideDetailLines[] = {
    "<div class=SideDetail>",
    "<ul class=SideDetail>",
    " <li class=SideDetail><a class=SideDetail href=\"_book.htm\">Contents</a></li>",
    " <li class=SideDetail><a class=SideDetail href=\"_dindex.htm\">Detailed Contents</a></li>",
    " <li class=SideDetail><a class=SideDetail href=\"_sorted_index.htm\">Index</a></li>",
    "</ul>",
    "</div>",
};
/// Follows the Index link in a book with search.
const char* const kSearchDetailLine = " <li class=SideDetail><a class=SideDetail href=\"_search.htm\">Search</a></li>";

const QString kLinksTable =
    QStringLiteral("table class=LinksTable border=0 cellpadding=0 cellspacing=0 width=\"100%\"");

/// The project title and description blocks, each only when it holds more than spaces.
void AddTitleBlocks(QString& text, const Settings& settings) {
    if (!TrimSpaces(settings.IndexTitle).isEmpty()) {
        AddTagTo(text, QStringLiteral("div class=SideTitle"));
        AddLineTo(text, settings.IndexTitle);
        AddTagTo(text, QStringLiteral("/div"));
    }
    if (!TrimSpaces(settings.IndexText).isEmpty()) {
        AddTagTo(text, QStringLiteral("div class=SideText"));
        AddLineTo(text, settings.IndexText);
        AddTagTo(text, QStringLiteral("/div"));
    }
}

void AddSideDetail(QString& text, bool search) {
    // The Search link is the last item of the list, before "</ul>".
    constexpr size_t kListEnd = 5;
    for (size_t i = 0; i < std::size(kSideDetailLines); ++i) {
        if (search && i == kListEnd) {
            AddLineTo(text, QString::fromLatin1(kSearchDetailLine));
        }
        AddLineTo(text, QString::fromLatin1(kSideDetailLines[i]));
    }
}

/// Ends a side page and writes it, or drops it where the book keeps the user's file.
bool FinishSidePage(const BookOutput& out, const QString& fileName) {
    if (out.keeps(fileName)) {
        out.ws.page.PageText.clear();
        return true;
    }
    AddTag(out.ws.page, QStringLiteral("/table"));
    AddTag(out.ws.page, QStringLiteral("/div"));
    return WritePageFooter(out.ws.page, out.ws.env.ui, out.path(fileName));
}

/// "_bookcol.htm" and "_index_active.htm": the HTML Help control showing the
/// active contents or index, with a button to switch to the other.
bool WriteActiveSidePage(const BookOutput& out, bool index) {
    const QString fileName = index ? QStringLiteral("_index_active.htm") : QStringLiteral("_bookcol.htm");
    if (out.keeps(fileName)) {
        return true;
    }
    PageBuffer& page = out.ws.page;
    const Settings& settings = out.project.settings;
    WritePageHeader(page, out.style, settings.IndexTitle, QStringLiteral("class=Side"));
    AddTag(page, QStringLiteral("div class=Side"));
    QString& text = page.PageText;
    AddLineTo(text, QStringLiteral(
                        "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\" height=\"100%\">"));
    AddLineTo(text, QStringLiteral("<tr><td>"));
    AddTitleBlocks(text, settings);
    AddLineTo(text, QStringLiteral("</td></tr>"));
    AddLineTo(text, QStringLiteral("<tr><td width=\"100%\" valign=\"top\" nowrap>"));
    AddLineTo(text, QStringLiteral("<input"));
    AddLineTo(text,
              QStringLiteral("TYPE=\"button\" VALUE=\"Contents\" ONCLICK=\"javascript:location='_bookcol.htm';\""));
    AddLineTo(text,
              index ? QStringLiteral("NAME=\"Contents\"><input") : QStringLiteral("NAME=\"Contents\" DISABLED><input"));
    AddLineTo(text,
              QStringLiteral("TYPE=\"button\" VALUE=\"Index\" ONCLICK=\"javascript:location='_index_active.htm';\""));
    if (settings.IncludeSearch) {
        AddLineTo(text,
                  index ? QStringLiteral("NAME=\"Index\" DISABLED><input") : QStringLiteral("NAME=\"Index\"><input"));
        AddLineTo(text,
                  QStringLiteral("TYPE=\"button\" VALUE=\"Search\" ONCLICK=\"javascript:location='_search.htm';\""));
        AddLineTo(text, QStringLiteral("NAME=\"Search\">"));
    } else {
        AddLineTo(text, index ? QStringLiteral("NAME=\"Index\" DISABLED>") : QStringLiteral("NAME=\"Index\">"));
    }
    AddLineTo(text, QStringLiteral("</td></tr>"));
    AddLineTo(text, QStringLiteral("<tr><td width=\"100%\" height=\"99%\" valign=\"top\">"));
    AddLineTo(text, QStringLiteral("<OBJECT id=\"hhctrl\" type=\"application/x-oleobject\""));
    AddLineTo(text, QStringLiteral("        classid = \"clsid:adb880a6-d8ff-11cf-9377-00aa003b7a11\""));
    AddLineTo(text, QStringLiteral("        codeBase = \"hhctrl.ocx\""));
    AddLineTo(text, QStringLiteral("        width=\"100%\""));
    AddLineTo(text, QStringLiteral("        height=\"99%\""));
    AddLineTo(text, QStringLiteral("        align=\"center\""));
    AddLineTo(text, QStringLiteral("        vspace=\"4\""));
    AddLineTo(text, QStringLiteral(">"));
    AddLineTo(text, index ? QStringLiteral("<PARAM name=\"Command\" value=\"Index\">")
                          : QStringLiteral("<PARAM name=\"Command\" value=\"Contents\">"));
    AddLineTo(text, index ? QStringLiteral("<PARAM name=\"Item1\" value=\"index_active.hhk\">")
                          : QStringLiteral("<PARAM name=\"Item1\" value=\"contents_active.hhc\">"));
    AddLineTo(text, settings.HomeChapter.isEmpty() ? QStringLiteral("<PARAM name=\"Flags\" value=\"0x200,0x37\">")
                                                   : QStringLiteral("<PARAM name=\"Flags\" value=\"0x200,0x800017\">"));
    AddLineTo(text, QStringLiteral("</OBJECT>"));
    AddLineTo(text, QStringLiteral("</td></tr>"));
    AddLineTo(text, QStringLiteral("</table>"));
    AddLineTo(text, QStringLiteral("</div>"));
    return WritePageFooter(page, out.ws.env.ui, out.path(fileName));
}

}  // namespace

void WriteSidePageHead(const BookOutput& out) {
    PageBuffer& page = out.ws.page;
    const Settings& settings = out.project.settings;
    WritePageHeader(page, out.style, settings.IndexTitle, QStringLiteral("class=Side"));
    AddTag(page, QStringLiteral("div class=Side"));
    AddTitleBlocks(page.PageText, settings);
    AddSideDetail(page.PageText, settings.IncludeSearch);
}

bool WriteBookPages(const BookOutput& out, QString& homePage) {
    const ProjectModel& project = out.project;
    const Settings& settings = project.settings;
    UserInterface& ui = out.ws.env.ui;
    if (settings.Collapsible && !WriteActiveSidePage(out, false)) {
        return false;
    }
    homePage.clear();
    WriteSidePageHead(out);
    AddTag(out.ws.page, kLinksTable);
    ui.setProgressCaption(QStringLiteral("_book.htm"));
    ui.setProgressMaximum(out.chaptersBuilt);
    QString& text = out.ws.page.PageText;
    for (int i = 0; i < out.chaptersBuilt; ++i) {
        const Chapter& chapter = project.Chapters[static_cast<size_t>(i)];
        if (!out.hasPage(i)) {
            ui.advanceProgress();
            continue;
        }
        const ChapterFinding found =
            i < static_cast<int>(out.found.size()) ? out.found[static_cast<size_t>(i)] : ChapterFinding{};
        if (found.documented || !settings.IncludeOnlyDocumentedFiles) {
            QString entry = ChapterEntryText(chapter, found, settings);
            if (settings.BoldTitles) {
                entry = QStringLiteral("<b>") + entry + QStringLiteral("</b>");
            }
            const QString page = BookPageName(chapter.Name);
            const QString mark = found.documented ? QString() : QStringLiteral("[x] ");
            AddLineTo(text, kRowStart + PageHref(page) + kTarget + mark + entry + QStringLiteral("</a><td></tr>"));
            if (homePage.isEmpty()) {
                homePage = page;
            }
        }
        ui.advanceProgress();
    }
    if (!FinishSidePage(out, QStringLiteral("_book.htm"))) {
        return false;
    }
    if (!out.keeps(QStringLiteral("_book.htm"))) {
        ui.addLogRow(QStringLiteral("> HTML TOC"), QString(), RowStatus::Ok, QString(), QStringLiteral("_book.htm"));
    }
    return true;
}

bool WriteSortedIndexPage(const BookOutput& out) {
    UserInterface& ui = out.ws.env.ui;
    const bool bold = out.project.settings.BoldTitles;
    const QString fileName = QStringLiteral("_sorted_index.htm");
    if (out.keeps(fileName)) {
        return true;
    }
    // A page of every index entry: it goes to its file as it is made.
    PageBuffer& page = out.ws.page;
    const PageStream stream(page, out.path(fileName));
    WriteSidePageHead(out);
    AddTag(page, kLinksTable);
    ui.setProgressCaption(QStringLiteral("Plain Index"));
    ui.setProgressMaximum(static_cast<int>(out.indexEntries().size()) + 1);
    QString& text = page.PageText;
    for (const IndexEntry& entry : out.indexEntries()) {
        const bool boldEntry = bold && entry.IsChapter;
        const QStringView open = boldEntry ? QStringView(u"\" target = \"chapter\"><b>") : QStringView(kTarget);
        const QStringView close =
            boldEntry ? QStringView(u"</b></a></td></tr>\r\n") : QStringView(u"</a></td></tr>\r\n");
        if (TopicIsItsHref(entry.EntryPage)) {
            AppendAll(text, {kRowStart, entry.EntryPage, open, entry.EntryText, close});
        } else {
            text += kRowStart;
            AppendTopicHref(text, entry.EntryPage);
            AppendAll(text, {open, entry.EntryText, close});
        }
        FlushPage(page);
        ui.advanceProgress();
    }
    if (!FinishSidePage(out, fileName)) {
        return false;
    }
    ui.addLogRow(QStringLiteral("> HTML Index"), QString(), RowStatus::Ok, QString(), fileName);
    return true;
}

bool WriteActiveIndexPage(const BookOutput& out) { return WriteActiveSidePage(out, true); }

QString DetailedContentsHead(const Settings& settings, const PageStyle& style) {
    QString text;
    AddLineTo(text, QString());
    AddLineTo(text, kPageGeneratorLine);
    AddLineTo(text, QStringLiteral("<html>"));
    AddLineTo(text, QStringLiteral("<head>"));
    AddLineTo(text, QStringLiteral("<title>"));
    AddLineTo(text, settings.IndexTitle);
    AddLineTo(text, QStringLiteral("</title>"));
    AppendStyleBlock(text, style);
    AddLineTo(text, QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"));
    AddLineTo(text, QStringLiteral("<meta name=\"GENERATOR\" content=\"Tessarel\">"));
    AddLineTo(text, QStringLiteral("</head>"));
    AddLineTo(text, QStringLiteral("<body class=Side>"));
    AddLineTo(text, QStringLiteral("<div class=Side>"));
    AddTitleBlocks(text, settings);
    AddSideDetail(text, settings.IncludeSearch);
    AddTagTo(text, kLinksTable);
    return text;
}

void AddDetailedChapterRow(QString& rows, const QString& page, const QString& entry, bool bold) {
    if (bold) {
        AddLineTo(rows, kRowStart + PageHref(page) + kTarget + QStringLiteral("<b>") + entry +
                            QStringLiteral("</b></a></td></tr>"));
    } else {
        AddLineTo(rows, kRowStart + PageHref(page) + kTarget + entry + QStringLiteral("</a></td></tr>"));
    }
}

void AddDetailedSectionRow(QString& rows, const QString& page, const QString& sectionName) {
    AddDetailedSectionRowTo(rows, PageHref(page), sectionName);
}

void AddDetailedSectionRowTo(QString& rows, QStringView pageHref, const QString& sectionName) {
    AppendAll(rows, {u"<tr class=SideLink><td class=SideLink nowrap>&nbsp; &nbsp; &nbsp;<a class=SideLink href=\"",
                     pageHref, u"#", QuoteHtmlAttribute(sectionName), kTarget, sectionName, u"</a></td></tr>\r\n"});
}

QString DetailedContentsClosing() {
    QString text;
    AddLineTo(text, QStringLiteral("</table>"));
    AddLineTo(text, QStringLiteral("</div>"));
    AddLineTo(text, QStringLiteral("</body>"));
    AddLineTo(text, QStringLiteral("</html>"));
    return text;
}

}  // namespace tessarel

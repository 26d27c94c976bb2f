#include "book/html_help.h"

#include "book/book_files.h"
#include "book/book_output.h"
#include "book/workspace.h"
#include "pages/page_frame.h"
#include "support/environment.h"
#include "support/html_text.h"
#include "support/paths.h"
#include "support/string_functions.h"
#include "support/text_file.h"

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

/// How much of a long file is gathered before it is handed to the file.
constexpr qsizetype kWritePiece = qsizetype{1} << 16;

/// Topics of the HTML Help project lie one folder up from it.
QString TopicPath(SiteMap map, const QString& page) {
    return map == SiteMap::HelpProject ? QStringLiteral("..\\") + page : page;
}

/// A value of the project file, which is read line by line: a line break in a
/// name must not start a line (a key) of its own.
QString OneLine(const QString& value) {
    QString line = value;
    for (QChar& c : line) {
        if (c.unicode() < 0x20) {
            c = QLatin1Char(' ');
        }
    }
    return line;
}

}  // namespace

QString HelpProjectHeader(const ProjectModel& project) {
    const Settings& settings = project.settings;
    QString text = kHelpProjectFirstLines;
    AddLineTo(text, QStringLiteral("Compiled file =") + OneLine(BaseNameOf(project.ProjectFileName)) +
                        QStringLiteral(".chm"));
    AddLineTo(text, QStringLiteral("Contents File = contents.hhc"));
    if (!settings.HomeChapter.isEmpty()) {
        AddLineTo(text, QStringLiteral("Default topic =..\\") + OneLine(BookPageName(settings.HomeChapter)));
    }
    AddLineTo(text, QStringLiteral("Display compile progress=No"));
    AddLineTo(text, QStringLiteral("Full-text search=Yes"));
    AddLineTo(text, QStringLiteral("Index file=index.hhk"));
    AddLineTo(text, QStringLiteral("Language=0x409 English (United States)"));
    AddLineTo(text, QStringLiteral("Title=") + OneLine(settings.IndexTitle));
    AddLineTo(text, QString());
    AddLineTo(text, QStringLiteral("[FILES]"));
    return text;
}

QString HelpProjectFileLine(const QString& page) { return TopicPath(SiteMap::HelpProject, OneLine(page)); }

QString ContentsHeader(SiteMap map) {
    QString text;
    AddLineTo(text, QStringLiteral("<HTML>"));
    AddLineTo(text, QStringLiteral("<HEAD>"));
    AddLineTo(text, kSiteMapGeneratorLine);
    AddLineTo(text, QStringLiteral("<!-- Sitemap 1.0 -->"));
    AddLineTo(text, QStringLiteral("</HEAD><BODY>"));
    AddLineTo(text, QStringLiteral("<OBJECT type=\"text/site properties\">"));
    AddLineTo(text, QStringLiteral("<param name=\"Window Styles\" value=\"0x800027\">"));
    AddLineTo(text, map == SiteMap::Active ? QStringLiteral("<param name=\"FrameName\" value=\"chapter\"></OBJECT>")
                                           : QStringLiteral("</OBJECT>"));
    AddLineTo(text, QStringLiteral("<UL>"));
    return text;
}

void AddContentsChapter(QString& block, SiteMap map, const QString& entry, QStringView pageHref, int sectionCount) {
    AppendAll(block, {u"    <LI> <OBJECT type=\"text/sitemap\">\r\n      <param name=\"Name\" value=\"",
                      QuoteHtmlAttribute(entry), u"\">\r\n      <param name=\"Local\" value=\"",
                      map == SiteMap::HelpProject ? u"..\\" : u"", pageHref, u"\">\r\n",
                      sectionCount == 1 ? u"      <param name=\"ImageNumber\" value=\"1\">\r\n" : u"",
                      u"      </OBJECT>\r\n"});
}

void OpenContentsSections(QString& block) { AddLineTo(block, QStringLiteral("        <UL>")); }

void AddContentsSection(QString& block, SiteMap map, const QString& page, const QString& sectionName) {
    AddContentsSectionTo(block, map, PageHref(page), sectionName);
}

void AddContentsSectionTo(QString& block, SiteMap map, QStringView pageHref, const QString& sectionName) {
    const bool help = map == SiteMap::HelpProject;
    const QString name = QuoteHtmlAttribute(sectionName);
    // The help project links the "^" anchor; the active contents the plain one.
    const QString anchor = help ? QuoteHtmlAttribute(SectionAnchor(sectionName)) : name;
    AppendAll(block, {u"          <LI> <OBJECT type=\"text/sitemap\">\r\n          <param name=\"Name\" value=\"", name,
                      u"\">\r\n          <param name=\"Local\" value=\"", help ? u"..\\" : u"", pageHref, u"#", anchor,
                      u"\">\r\n          </OBJECT>\r\n"});
}

void CloseContentsSections(QString& block) { AddLineTo(block, QStringLiteral("        </UL>")); }

QString ContentsClosing() {
    QString text;
    AddLineTo(text, QStringLiteral("</UL>"));
    AddLineTo(text, QStringLiteral("</BODY></HTML>"));
    return text;
}

bool WriteHelpIndex(const BookOutput& out, SiteMap map) {
    UserInterface& ui = out.ws.env.ui;
    const bool help = map == SiteMap::HelpProject;
    ui.setProgressCaption(help ? QStringLiteral("HTML Help Index") : QStringLiteral("Active Index"));
    ui.setProgressMaximum(static_cast<int>(out.indexEntries().size()) + 1);
    const QString fileName = help ? QStringLiteral("index.hhk") : QStringLiteral("index_active.hhk");
    if (out.keeps(help ? HelpFolderFileName(fileName) : fileName)) {
        return true;
    }
    // Written as it is made: the whole index would be a text of many megabytes.
    TextFileWriter file(help ? out.helpPath(fileName) : out.path(fileName));
    file.open();
    QString text;
    AddLineTo(text, QStringLiteral("<HTML>"));
    AddLineTo(text, QStringLiteral("<HEAD>"));
    AddLineTo(text, kSiteMapGeneratorLine);
    AddLineTo(text, QStringLiteral("<!-- Sitemap 1.0 -->"));
    AddLineTo(text, QStringLiteral("</HEAD><BODY>"));
    AddLineTo(text, QStringLiteral("<UL>"));
    const QStringView tail = help ? QStringView(u"\"></OBJECT>\r\n")
                                  : QStringView(u"\"><param name=\"FrameName\" value=\"chapter\"></OBJECT>\r\n");
    const QStringView up = help ? QStringView(u"..\\") : QStringView();
    for (const IndexEntry& entry : out.indexEntries()) {
        if (!TrimmedSpaces(entry.EntryText).isEmpty()) {
            const QString name = QuoteHtmlAttribute(entry.EntryText);
            const QStringView head = u"<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"";
            const QStringView local = u"\"><param name=\"Local\" value=\"";
            if (TopicIsItsHref(entry.EntryPage)) {
                AppendAll(text, {head, name, local, up, entry.EntryPage, tail});
            } else {
                AppendAll(text, {head, name, local, up});
                AppendTopicHref(text, entry.EntryPage);
                text += tail;
            }
            if (text.size() >= kWritePiece) {
                file.write(text);
                text.resize(0);
            }
        }
        ui.advanceProgress();
    }
    AddLineTo(text, QStringLiteral("</UL>"));
    AddLineTo(text, QStringLiteral("</BODY></HTML>"));
    file.write(text);
    if (!file.finish(ui)) {
        return false;
    }
    ui.addLogRow(help ? QStringLiteral("> HTML Help Index") : QStringLiteral("> Active Index"), QString(),
                 RowStatus::Ok, QString(), fileName);
    return true;
}

}  // namespace tessarel

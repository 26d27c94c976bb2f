#include "book/frame_pages.h"

#include "book/book_output.h"
#include "book/book_resources.h"
#include "book/workspace.h"
#include "pages/page_frame.h"
#include "support/environment.h"
#include "support/html_text.h"
#include "support/paths.h"
#include "support/text_file.h"

namespace tessarel {

namespace {

/// One frameset page; `sideFrame` is the complete left frame line and
/// `borderlessHome` whether a chapter frame without a home chapter has no border.
bool WriteFramesetPage(const BookOutput& out, const QString& fileName, const QString& sideFrame,
                       const QString& homePage, bool borderlessHome) {
    if (out.keeps(fileName)) {
        return true;
    }
    const Settings& settings = out.project.settings;
    QString text;
    AddLineTo(text, kFramesetGeneratorLine);
    AddTagTo(text, QStringLiteral("html"));
    AddTagTo(text, QStringLiteral("head"));
    AddTagTo(text, QStringLiteral("title"));
    AddLineTo(text, EscapeHtml(BaseNameOf(out.project.ProjectFileName)));
    AddTagTo(text, QStringLiteral("/title"));
    AddLineTo(text, QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"));
    AddTagTo(text, QStringLiteral("/head"));
    AddLineTo(text, QStringLiteral("<frameset cols=\"30%,*\">"));
    AddLineTo(text, sideFrame);
    QString page = homePage;
    QString border = borderlessHome ? QStringLiteral("0") : QStringLiteral("1");
    if (!settings.HomeChapter.isEmpty()) {
        page = BookPageName(settings.HomeChapter);
        border = QStringLiteral("1");
    }
    AddLineTo(text, QStringLiteral("<frame src=\"") + PageHref(page) +
                        QStringLiteral("\" name=\"chapter\" scrolling=\"yes\" frameborder=\"") + border +
                        QStringLiteral("\">"));
    AddTagTo(text, QStringLiteral("noframes"));
    AddLineTo(text, QStringLiteral("This web page uses frames. Your current Web browser does not display "));
    AddLineTo(text, QStringLiteral("frames or frame viewing has been turned off."));
    AddTagTo(text, QStringLiteral("/noframes"));
    AddTagTo(text, QStringLiteral("/frameset"));
    AddTagTo(text, QStringLiteral("/html"));
    return WriteTextFile(out.ws.env.ui, out.path(fileName), text);
}

const QString kPlainSideFrame =
    QStringLiteral("<frame src=\"_book.htm\" name=\"_book\" scrolling=\"auto\" frameborder=\"1\">");

bool WriteLoaderPage(const BookOutput& out) {
    if (out.keeps(QStringLiteral("index.htm"))) {
        return true;
    }
    QString text;
    AddLineTo(text, kLoaderGeneratorLine);
    // It sends Internet Explorer 4 and later to the frameset with the HTML Help
    // control and every other browser (Opera included) to the plain one.
    AddResourceLinesTo(text, QStringLiteral("loader.htm"));
    return WriteTextFile(out.ws.env.ui, out.path(QStringLiteral("index.htm")), text);
}

bool WriteFrameset(const BookOutput& out, const QString& homePage) {
    return WriteFramesetPage(out, QStringLiteral("index.htm"), kPlainSideFrame, homePage, true);
}

bool WriteFramesetActive(const BookOutput& out, const QString& homePage) {
    return WriteFramesetPage(
        out, QStringLiteral("genesisa.htm"),
        QStringLiteral("<frame src=\"_bookcol.htm\" name=\"_bookcol\" scrolling=\"no\" frameborder=\"1\">"), homePage,
        false);
}

bool WriteFramesetPlain(const BookOutput& out, const QString& homePage) {
    return WriteFramesetPage(out, QStringLiteral("genesisn.htm"), kPlainSideFrame, homePage, true);
}

}  // namespace

bool WriteFramePages(const BookOutput& out, const QString& homePage) {
    if (!out.project.settings.Collapsible) {
        return WriteFrameset(out, homePage);
    }
    return WriteLoaderPage(out) && WriteFramesetActive(out, homePage) && WriteFramesetPlain(out, homePage);
}

}  // namespace tessarel

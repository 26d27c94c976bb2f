#include "pages/error_page.h"

#include "pages/modern_page.h"
#include "pages/page_frame.h"
#include "support/file_read.h"
#include "support/html_text.h"

#include <algorithm>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

bool WriteErrorPage(UserInterface& ui, PageBuffer& page, const PageStyle& style, const QString& message,
                    const QString& path, const ModernPlace* modern) {
    if (modern != nullptr) {
        ModernPlace place = *modern;
        place.title = u"Error"_s;
        if (place.single()) {
            place.bookTitle = place.title;
        }
        page.encoding = FileEncoding::Utf8;
        WriteModernPageTop(page, place);
        AddLine(page, message);
        WriteModernPageEnd(page, place);
        CloseModernFooter(page);
        return WritePageFooter(page, ui, path);
    }
    WritePageHeader(page, style, u"Error"_s, u"class=Main"_s);
    AddLine(page, message);
    // The write replaces an old page only once the new one is whole; deleting
    // it first would lose it when the write fails.
    return WritePageFooter(page, ui, path);
}

QString NoSectionsErrorBody(const QString& sourceFileName) {
    const qsizetype separator = std::max(sourceFileName.lastIndexOf(u'\\'), sourceFileName.lastIndexOf(u'/'));
    const QString fileName = sourceFileName.mid(separator + 1);
    return u"<H1>>>There are no Sections defined in this file</H1><h2>"_s + EscapeHtml(fileName) +
           u"</h2><ul><li>Define Sections. Check Help for more details</li><li>Review the "
           u"<b>Project > Comments</b> dialog</li></ul>"_s;
}

QString FileNotFoundErrorBody(const QString& chapterName) {
    return u"<h1> >> File not found</h1><h2>"_s + EscapeHtml(chapterName) +
           u"</h2><ul><li>The input file is missing. Restore the file or check drive access</li></ul>"_s;
}

QString FileNotReadErrorBody(const QString& chapterName, const ReadResult& read) {
    return u"<h1> >> File not read</h1><h2>"_s + chapterName.toHtmlEscaped() + u"</h2><ul><li>"_s +
           ReadFailureText(read).toHtmlEscaped() + u"</li></ul>"_s;
}

}  // namespace tessarel

#include "pages/error_page.h"

#include "pages/page_frame.h"
#include "pages/page_paths.h"

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

bool WriteErrorPage(UserInterface& ui, PageBuffer& page, const PageStyle& style, const QString& destinationFolder,
                    const QString& message, const QString& path) {
    WritePageHeader(page, style, u"Error"_s, u"class=Main"_s);
    AddLine(page, message);
    if (destinationFolder.isEmpty()) {
        return WritePageFooter(page, ui, path);
    }
    // The write replaces an old page only once the new one is whole; deleting
    // it first would lose it when the write fails.
    return WritePageFooter(page, ui, MakeChapterOutputPath(destinationFolder, path));
}

}  // namespace tessarel

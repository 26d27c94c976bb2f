#include "pages/page_paths.h"

#include "support/paths.h"
#include "support/text_file.h"

#include <QFileInfo>

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

bool IsHtmlFileName(const QString& fileName) {
    const QString extension = ExtensionOf(fileName);
    return extension == u"html"_s || extension == u"htm"_s;
}

QString PageFileName(const QString& fileName) { return IsHtmlFileName(fileName) ? fileName : fileName + u".htm"_s; }

QString MakeChapterOutputPath(const QString& destinationFolder, const QString& fileName) {
    // Only the last part of the name counts: a chapter's page never lands outside
    // the destination folder, whatever folders its name holds.
    const QString name = FileNameOf(fileName);
    if (name.isEmpty() || name == u"."_s || name == u".."_s) {
        return {};
    }
    return JoinFolderAndFile(destinationFolder, name);
}

bool IsSameFile(const QString& a, const QString& b) {
    // Two files that are not one are told apart by a look at each; only one
    // file under two names needs the walk through every folder.
    FileIdentity first;
    FileIdentity second;
    if (IdentifyFile(a, first) && (!IdentifyFile(b, second) || !(first == second))) {
        return false;
    }
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

}  // namespace tessarel

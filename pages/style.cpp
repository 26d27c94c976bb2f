#include "pages/style.h"

#include "support/file_functions.h"

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

QString StyleSheetPath(const AppPaths& paths, const QString& styleName) {
    return ProgramFolderFile(paths, u"styles"_s + PathSeparator() + styleName + u".css"_s);
}

}  // namespace

QString GetStyleText(const AppPaths& paths, const QString& styleName) {
    const QString named = StyleSheetPath(paths, styleName);
    if (FileExists(named)) {
        return ReadTextFile(named);
    }
    const QString fallback = StyleSheetPath(paths, QStringLiteral("minimal"));
    if (FileExists(fallback)) {
        return ReadTextFile(fallback);
    }
    return {};
}

}  // namespace tessarel

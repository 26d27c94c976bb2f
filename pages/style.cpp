#include "pages/style.h"

#include "support/file_functions.h"

namespace tessarel {

using namespace Qt::Literals::StringLiterals;

namespace {

QString StyleSheetPath(const AppPaths& paths, const QString& styleName) {
    return ProgramFolderFile(paths, u"styles"_s + PathSeparator() + styleName + u".css"_s);
}

/// Pages end their lines in CR LF on every platform; a sheet checked out with bare
/// line feeds must not change that.
QString WithCrLfLineEnds(const QString& text) {
    QString result;
    result.reserve(text.size() + text.size() / 16);
    QChar previous;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') && previous != QLatin1Char('\r')) {
            result += QLatin1Char('\r');
        }
        result += c;
        previous = c;
    }
    return result;
}

}  // namespace

QString GetStyleText(const AppPaths& paths, const QString& styleName) {
    const QString named = StyleSheetPath(paths, styleName);
    if (FileExists(named)) {
        return WithCrLfLineEnds(ReadTextFile(named));
    }
    const QString fallback = StyleSheetPath(paths, QStringLiteral("minimal"));
    if (FileExists(fallback)) {
        return WithCrLfLineEnds(ReadTextFile(fallback));
    }
    return {};
}

}  // namespace tessarel

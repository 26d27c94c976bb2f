#include "pages/style.h"

#include "support/paths.h"
#include "support/string_functions.h"
#include "support/text_file.h"

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

bool IsPlainStyleName(const QString& styleName) {
    if (TrimSpaces(styleName).isEmpty() || styleName.contains(u".."_s)) {
        return false;
    }
    // Separators of every platform and what Windows refuses in a name, so a
    // project file behaves alike wherever it is built.
    static const QString kRefused = u"/\\:*?\"<>|"_s;
    for (const QChar c : styleName) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || kRefused.contains(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString UsableStyleName(const QString& styleName) {
    return IsPlainStyleName(styleName) ? styleName : kFallbackStyleName;
}

QString GetStyleText(const AppPaths& paths, const QString& styleName) {
    const QString named = StyleSheetPath(paths, UsableStyleName(styleName));
    if (FileExists(named)) {
        return WithCrLfLineEnds(ReadTextFile(named));
    }
    const QString fallback = StyleSheetPath(paths, kFallbackStyleName);
    if (FileExists(fallback)) {
        return WithCrLfLineEnds(ReadTextFile(fallback));
    }
    return {};
}

}  // namespace tessarel

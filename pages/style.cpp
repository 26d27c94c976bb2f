#include "pages/style.h"

#include "support/file_stamp.h"
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

/// The SHA-1 digests of the sheets earlier versions wrote (CR LF lines and the
/// writer's last CR LF), by the change that replaced them.
constexpr QLatin1StringView kFormerSheets[] = {
    // dark_slate and auto_light_dark before their figures had a light backing
    QLatin1StringView("24106d349b806122b04cff224030a11756dd8405"),
    QLatin1StringView("48e82b30d50da8c004efc5ee732cb8b0d91f0cac"),
};

}  // namespace

bool IsFormerStyleSheet(QByteArrayView bytes) {
    const QByteArray digest = ContentDigest(bytes).toHex();
    for (const QLatin1StringView former : kFormerSheets) {
        if (former == QLatin1StringView(digest)) {
            return true;
        }
    }
    return false;
}

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

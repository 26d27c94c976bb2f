// The path functions on any text. The input is split at its first NUL into
// two texts; besides the rules of each function on both, a relative path
// from the one (as a folder) to the other must lead back to it.

#include "fuzz/fuzz_support.h"
#include "support/paths.h"
#include "support/relative_path.h"
#include "support/string_functions.h"

#include <QDir>

using namespace tessarel;
using namespace tessarel::fuzz;
using namespace Qt::Literals::StringLiterals;

namespace {

const QChar kSeparator = PathSeparator();

void CheckParts(const QString& path) {
    const QString trimmed = TrimSpaces(path);
    const QString folder = FolderOf(path);
    const QString name = FileNameOf(path);
    TESSAREL_FUZZ_CHECK(folder + name == trimmed, u"folder and file name do not give the path"_s);
    TESSAREL_FUZZ_CHECK(!name.contains(kSeparator));
    TESSAREL_FUZZ_CHECK(folder.isEmpty() || folder.endsWith(kSeparator));

    const QString extension = ExtensionOf(path);
    TESSAREL_FUZZ_CHECK(!extension.contains(u'.'));
    TESSAREL_FUZZ_CHECK(path.contains(u'.') ? path.endsWith(u'.' + extension) : extension.isEmpty());

    const QString base = BaseNameOf(path);
    if (name.contains(u'.')) {
        TESSAREL_FUZZ_CHECK(base + u'.' + ExtensionOf(name) == name, u"base name and extension"_s);
    } else {
        TESSAREL_FUZZ_CHECK(base.isEmpty());
    }
    const QString inRange = BaseNameInRange(path);
    TESSAREL_FUZZ_CHECK(!inRange.contains(kSeparator) && (inRange.isEmpty() || path.contains(inRange + u'.')));

    const QString withSeparator = WithTrailingSeparator(path);
    TESSAREL_FUZZ_CHECK(withSeparator.endsWith(kSeparator) && withSeparator.startsWith(path));
    TESSAREL_FUZZ_CHECK(WithTrailingSeparator(withSeparator) == withSeparator);
    TESSAREL_FUZZ_CHECK(withSeparator.size() - path.size() <= 1);

    const QString native = NativeSeparators(path);
    TESSAREL_FUZZ_CHECK(native.size() == path.size());
    const QString drive = DrivePart(native);
    QString stripped = native;
    StripDrive(stripped);
    TESSAREL_FUZZ_CHECK(native.endsWith(stripped));
    const QString resolved = ResolveProjectPath(u"/project/"_s, path);
    TESSAREL_FUZZ_CHECK(resolved == (drive.isEmpty() ? u"/project/"_s + native : native));

    const QString joined = JoinFolderAndFile(folder, name);
    // Collapsing doubled separators shortens the path but never moves it.
    const QString plain = folder + kSeparator + name;
    TESSAREL_FUZZ_CHECK(joined.size() <= plain.size() && joined.startsWith(plain.left(1)));
    TESSAREL_FUZZ_CHECK(QDir::cleanPath(joined) == QDir::cleanPath(plain), u"joined elsewhere: "_s + joined);
}

/// A clean absolute path: no empty, "." or ".." parts, no trailing separator
/// except for the root itself.
QString Normalized(const QString& text) {
    const QString clean = QDir::cleanPath(u'/' + text);
    // cleanPath keeps a ".." that climbs above the root.
    if (!clean.startsWith(u'/') || clean.split(u'/').contains(u".."_s)) {
        return {};
    }
    return clean;
}

void CheckRelative(const QString& from, const QString& to) {
    const QString base = Normalized(from);
    const QString target = Normalized(to);
    if (base.isEmpty() || target.isEmpty()) {
        return;
    }
    const QString baseFolder = WithTrailingSeparator(base);
    // The target as a file and as a folder.
    for (const QString& wanted : {target, WithTrailingSeparator(target)}) {
        const QString relative = MakeRelativePath(baseFolder, wanted);
        TESSAREL_FUZZ_CHECK(!relative.startsWith(kSeparator), u"relative path is absolute: "_s + relative);
        const QString back = QDir::cleanPath(baseFolder + relative);
        TESSAREL_FUZZ_CHECK(back == QDir::cleanPath(wanted),
                            u"from "_s + baseFolder + u" to "_s + wanted + u" gives "_s + relative);
    }
    // A relative target cannot be reached from an absolute base and stays as it is.
    const QString loose = target.mid(1);
    if (!loose.isEmpty()) {
        TESSAREL_FUZZ_CHECK(MakeRelativePath(baseFolder, loose) == loose);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = bytes.indexOf('\0');
    const QString a = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
    const QString b = QString::fromUtf8(split < 0 ? QByteArray() : bytes.mid(split + 1));
    CheckParts(a);
    CheckParts(b);
    CheckRelative(a, b);
    MakeRelativePath(a, b);  // any text at all: no crash
    return 0;
}

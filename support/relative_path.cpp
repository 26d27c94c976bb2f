#include "support/relative_path.h"

#include "support/paths.h"

namespace tessarel {

QString MakeRelativePath(const QString& baseFolder, const QString& target) {
    if (DrivePart(baseFolder).compare(DrivePart(target), Qt::CaseInsensitive) != 0) {
        return target;
    }
    const QChar separator = PathSeparator();
    QString base = baseFolder;
    QString rest = target;
    StripDrive(base);
    StripDrive(rest);
    if (base.isEmpty()) {
        base = separator;
    }
    // The shared folder ends at the last separator within the common prefix, so
    // "\Pro\" is not taken as lying inside "\Proj\".
    qsizetype common = 0;
    const qsizetype shorter = qMin(base.size(), rest.size());
    while (common < shorter && base.at(common) == rest.at(common)) {
        ++common;
    }
    const qsizetype shared = base.left(common).lastIndexOf(separator) + 1;
    QString result;
    const qsizetype ups = base.mid(shared).count(separator);
    for (qsizetype i = 0; i < ups; ++i) {
        result += QStringLiteral("..") + separator;
    }
    result += rest.mid(shared);
    // Only the base itself gives "": a folder whose name is blanks is still a folder.
    if (result == QString(separator)) {
        return {};
    }
    return result;
}

}  // namespace tessarel

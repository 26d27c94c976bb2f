#pragma once

#include <QString>

namespace tessarel::error_sites {

// Where error.log says an unexpected error of the page and book builds
// happened: procedure and module names as the log has always spelled them.
inline const QString kBuildChapterProcedure = QStringLiteral("Starttessarel");
inline const QString kBuildModule = QStringLiteral("frmMain");
inline const QString kNoErrorNumber = QStringLiteral("0");

}  // namespace tessarel::error_sites

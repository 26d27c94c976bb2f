#pragma once

#include <QString>

namespace tessarel::error_sites {

// The module and procedure names an error.log entry names. The log is read by
// people and tools that know these texts, so they stay as they always were,
// whatever the code that reports them is called now.

/// The console program.
inline const QString kConsoleModule = QStringLiteral("tessarel-cli");
/// Building a whole project.
inline const QString kBuildProject = QStringLiteral("BuildTheProject");
/// Building the page of one source file.
inline const QString kBuildSingleFile = QStringLiteral("BuildTheFile");
/// Parsing and writing one chapter, in the page and book builds.
inline const QString kBuildChapterProcedure = QStringLiteral("Starttessarel");
/// The module of the page and book builds.
inline const QString kBuildModule = QStringLiteral("frmMain");
/// The error number of an unexpected error.
inline const QString kNoErrorNumber = QStringLiteral("0");

}  // namespace tessarel::error_sites

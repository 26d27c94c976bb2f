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

}  // namespace tessarel::error_sites

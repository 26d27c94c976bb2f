#pragma once

#include <QString>

namespace tessarel {

/// `target` relative to `baseFolder` (both folders ending with a separator), or
/// `target` unchanged when their drives differ (on POSIX: one absolute, one not).
/// Folder names compare case-sensitively; "" when target is the base itself.
QString MakeRelativePath(const QString& baseFolder, const QString& target);

}  // namespace tessarel

#pragma once

#include <QString>

namespace tessarel {

struct AppPaths;

/// The text of styles/<name>.css in the program folder, else of
/// styles/minimal.css, else "".
QString GetStyleText(const AppPaths& paths, const QString& styleName);

}  // namespace tessarel

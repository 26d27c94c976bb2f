#pragma once

#include "support/user_interface.h"

#include <QIcon>

namespace tessarel {

/// The toolbar's icons by button key ("new", "open", ..., "ontop").
QIcon ToolbarIcon(const QString& key);
/// The build log's row icons: success and failure.
QIcon ProgressIcon(RowStatus status);
/// The program's own icon.
QIcon ProgramIcon();

}  // namespace tessarel

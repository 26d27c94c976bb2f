#pragma once

#include "support/paths.h"
#include "support/preferences.h"
#include "support/user_interface.h"

#include <QDateTime>

namespace tessarel {

/// What the logic needs of the world around it: the user, the preference store
/// and the program's folders. Owned by the application object (window, console
/// program or test) and passed by reference.
struct Environment {
    UserInterface& ui;
    Preferences& preferences;
    AppPaths paths;
};

/// The time a build stamps on its pages: SOURCE_DATE_EPOCH when it is set, so
/// builds can be reproduced byte for byte, else the clock.
QDateTime BuildTimestamp();
/// The user's short date, one space, the user's time format.
QString ShortDateTimeText(const QDateTime& when);

}  // namespace tessarel

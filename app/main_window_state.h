#pragma once

namespace tessarel {

/// The main window's public state that other windows read and write.
struct MainWindowState {
    bool alwaysOnTop = false;      ///< every window stays above other programs' windows
    bool dialogCancelled = false;  ///< the last project dialog was left with Cancel
};

}  // namespace tessarel

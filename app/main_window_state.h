#pragma once

namespace tessarel {

/// The main window's public state that other windows read and write.
struct MainWindowState {
    bool blnOnTop = false;        ///< every window stays above other programs' windows
    bool mbDialogCancel = false;  ///< the last project dialog was left with Cancel
};

}  // namespace tessarel

#pragma once

namespace tessarel {

class FrontEnd;

/// The main window's public state that other windows read and write.
struct MainWindowState {
    bool alwaysOnTop = false;      ///< every window stays above other programs' windows
    bool dialogCancelled = false;  ///< the last project dialog was left with Cancel
    /// Where the dialogs' Help goes: the main window's front end; none shows nothing.
    FrontEnd* frontEnd = nullptr;
};

}  // namespace tessarel

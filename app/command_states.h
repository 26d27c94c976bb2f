#pragma once

#include <array>

namespace tessarel {

/// The main window's menu commands whose enabling the program decides.
enum class Command {
    NewProject,
    Open,
    CloseProject,
    SaveProject,
    SaveProjectAs,
    Exit,
    Files,
    Destination,
    Settings,
    DefaultChapter,
    CommentStyles,
    Build,
    RebuildAll,  ///< follows Build
    ViewHtmlHelp,
    ViewBook,
    HelpContents,
    Website,
    About,
};
inline constexpr int kCommandCount = static_cast<int>(Command::About) + 1;

enum class Menu { File, Project, Preview, Help };

/// Which commands are enabled. Each command has its own state, set by the
/// window's flows; a running build and the busy window lock commands on top of
/// it, so that lifting a lock brings back exactly the state from before.
class CommandStates {
public:
    static constexpr int kToolbarPositions = 14;

    /// The states of a freshly created window.
    CommandStates();

    void setEnabled(Command command, bool enabled);
    /// What the user sees.
    bool isEnabled(Command command) const;
    /// The recent-file entries of the File menu.
    bool recentEnabled() const { return !building_; }
    bool menuEnabled(Menu menu) const;
    /// Toolbar positions 1 to 14, separators included. A button that stands
    /// for a menu command follows that command; Back, Forward and Stop follow
    /// the preview browser.
    bool toolbarEnabled(int position) const;
    /// What the preview browser can do now.
    void setBrowserState(bool canGoBack, bool canGoForward, bool loading);

    /// While a build runs, nothing may start another one or change what it reads.
    void setBuilding(bool building) { building_ = building; }
    bool building() const { return building_; }
    /// While a project file is read or written, the File, Project and Help menus
    /// and toolbar positions 1 to 13 are locked.
    void setBusy(bool busy) { busy_ = busy; }
    bool busy() const { return busy_; }

private:
    std::array<bool, kCommandCount> own_{};
    bool building_ = false;
    bool busy_ = false;
    bool canGoBack_ = false;
    bool canGoForward_ = false;
    bool loading_ = false;
};

}  // namespace tessarel

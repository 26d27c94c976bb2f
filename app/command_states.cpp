#include "app/command_states.h"

#include <cstddef>

namespace tessarel {

namespace {

constexpr std::size_t Index(Command command) { return static_cast<std::size_t>(command); }

/// The commands a running build locks.
bool LockedByBuild(Command command) {
    switch (command) {
    case Command::HelpContents:
    case Command::Website:
    case Command::About:
        return false;
    default:
        return true;
    }
}

}  // namespace

CommandStates::CommandStates() {
    own_.fill(true);
    for (Command off :
         {Command::CloseProject, Command::SaveProject, Command::SaveProjectAs, Command::Files, Command::Destination,
          Command::DefaultChapter, Command::Build, Command::ViewHtmlHelp, Command::ViewBook}) {
        own_[Index(off)] = false;
    }
}

void CommandStates::setEnabled(Command command, bool enabled) { own_[Index(command)] = enabled; }

bool CommandStates::isEnabled(Command command) const {
    // A full build is a build: it may run whenever Build may.
    if (command == Command::RebuildAll) {
        return isEnabled(Command::Build);
    }
    return own_[Index(command)] && !(building_ && LockedByBuild(command));
}

bool CommandStates::menuEnabled(Menu menu) const { return menu == Menu::Preview || !busy_; }

bool CommandStates::toolbarEnabled(int position) const {
    if (building_ || (busy_ && position <= 13)) {
        return false;
    }
    switch (position) {
    case 1:
        return isEnabled(Command::NewProject);
    case 2:
        return isEnabled(Command::Open);
    case 3:
        return isEnabled(Command::SaveProject);
    case 5:
        return isEnabled(Command::Build);
    case 7:
        return isEnabled(Command::Settings);
    case 10:
        return canGoBack_;
    case 11:
        return canGoForward_;
    case 12:
        return loading_;
    default:
        return true;
    }
}

void CommandStates::setBrowserState(bool canGoBack, bool canGoForward, bool loading) {
    canGoBack_ = canGoBack;
    canGoForward_ = canGoForward;
    loading_ = loading;
}

}  // namespace tessarel

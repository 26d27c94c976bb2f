#pragma once

#include "cli/exit_status.h"

namespace tessarel::cli {

/// Makes the first SIGINT (Ctrl+C) or SIGTERM a request to stop at the next
/// file, as the progress window's Cancel button does; a second one of the same
/// kind ends the program at once.
void InstallInterruptHandler();
/// True once SIGINT or SIGTERM has arrived.
bool Interrupted();
/// The exit status of a run stopped by a signal: 130 for SIGINT, 143 for SIGTERM.
ExitStatus InterruptedStatus();

}  // namespace tessarel::cli

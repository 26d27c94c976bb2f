#pragma once

#include "cli/exit_status.h"

namespace tessarel::cli {

/// Makes the first SIGINT (Ctrl+C), SIGTERM or SIGHUP (the terminal closed) a
/// request to stop at the next file, as the progress window's Cancel button
/// does; a second one of the same kind ends the program at once. SIGPIPE is
/// ignored: a reader that went away (`| head -1`) ends the printing, which the
/// console handles, not the build.
void InstallInterruptHandler();
/// True once SIGINT, SIGTERM or SIGHUP has arrived.
bool Interrupted();
/// The exit status of a run stopped by a signal: 130 for SIGINT, 143 for
/// SIGTERM, 129 for SIGHUP.
ExitStatus InterruptedStatus();

}  // namespace tessarel::cli

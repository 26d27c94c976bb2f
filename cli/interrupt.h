#pragma once

namespace tessarel::cli {

/// Makes the first SIGINT (Ctrl+C) a request to stop at the next file, as the
/// progress window's Cancel button does; a second one ends the program at once.
void InstallInterruptHandler();
/// True once SIGINT has arrived.
bool Interrupted();

}  // namespace tessarel::cli

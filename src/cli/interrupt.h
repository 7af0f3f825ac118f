#pragma once
// Ctrl-C (SIGINT) and SIGTERM as a clean cancel: the first one only sets a
// flag that the running files read once per block; a second one ends the
// process at once with the default action of the signal.

#include <atomic>

namespace sonorel {

// The flag the handler sets. Lock-free, so the handler may touch it.
std::atomic<bool>& InterruptRequested();

// Installs the handlers for SIGINT and SIGTERM, and ignores SIGPIPE and
// SIGXFSZ so that neither a closed pipe on standard output nor a file-size
// limit can kill the program in the middle of writing a file.
void InstallInterruptHandlers();

}  // namespace sonorel

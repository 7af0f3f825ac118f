#pragma once
// Ctrl-C (SIGINT) and SIGTERM as a clean cancel: the first one only sets a
// flag that the running files read once per block; a second one ends the
// process at once with the default action of the signal.
//
// The signals are taken by the main thread alone (the workers start with
// them blocked, see InterruptsLeftToTheMainThread), and they interrupt the
// call it is in rather than restart it: a main thread stuck writing its
// report to a pipe that nobody reads gives up that write and ends.

#include <signal.h>

#include <atomic>

namespace sonorel {

// The flag the handler sets. Lock-free, so the handler may touch it.
std::atomic<bool>& InterruptRequested();

// The signal that set the flag (SIGINT or SIGTERM), or 0. The program then
// exits with 128 + its number, 130 or 143 as a shell expects, so that a
// loop over files in a script stops too.
int InterruptSignal();

// Installs the handlers for SIGINT and SIGTERM, and ignores SIGPIPE and
// SIGXFSZ so that neither a closed pipe on standard output nor a file-size
// limit can kill the program in the middle of writing a file.
void InstallInterruptHandlers();

// While it lives, SIGINT and SIGTERM are blocked on the calling thread and
// so in every thread started meanwhile, which keeps them blocked for good:
// the signals then go to the thread that made the object.
class InterruptsLeftToTheMainThread {
  public:
    InterruptsLeftToTheMainThread();
    ~InterruptsLeftToTheMainThread();
    InterruptsLeftToTheMainThread(const InterruptsLeftToTheMainThread&) = delete;
    InterruptsLeftToTheMainThread& operator=(const InterruptsLeftToTheMainThread&) = delete;

  private:
    sigset_t previous_{};
};

}  // namespace sonorel

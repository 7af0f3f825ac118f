#include "cli/interrupt.h"

#include <signal.h>

namespace sonorel {

namespace {

std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// The first signal taken, for the exit status.
std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnInterrupt(int signalNumber) {
    int none = 0;
    gSignal.compare_exchange_strong(none, signalNumber);
    if (gInterrupted.exchange(true)) {
        // The second one: do what the signal would have done without us.
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
    }
}

}  // namespace

std::atomic<bool>& InterruptRequested() {
    return gInterrupted;
}

int InterruptSignal() {
    return gSignal.load();
}

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked write gives up (EINTR)
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
    // A file-size limit must make a write fail, so that the run keeps a
    // well-formed shorter file and reports it, instead of killing the process.
    sigaction(SIGXFSZ, &ignore, nullptr);
}

InterruptsLeftToTheMainThread::InterruptsLeftToTheMainThread() {
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &interrupts, &previous_);
}

InterruptsLeftToTheMainThread::~InterruptsLeftToTheMainThread() {
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace sonorel

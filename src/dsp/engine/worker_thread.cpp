#include "engine/worker_thread.h"

#include <chrono>

namespace sonorel {
namespace {

// Polling bridges the gap between two blocks (the owner mixes, writes and
// reads meanwhile, some tens of microseconds) without a system call: a
// sleeping thread takes about as long as half a block to wake on a virtual
// machine. Short enough not to matter when the other side is busy elsewhere.
constexpr std::chrono::microseconds kSpinTime{300};
constexpr int kRoundsPerClockRead = 64;

inline void PauseBriefly() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

}  // namespace

bool WorkerHandoff::Claim(std::uint64_t request) {
    std::uint64_t previous = request - 1;
    return claimed_.compare_exchange_strong(previous, request, std::memory_order_acq_rel,
                                            std::memory_order_acquire);
}

std::uint64_t WorkerHandoff::AwaitChange(const std::atomic<std::uint64_t>& counter,
                                         std::uint64_t seen) {
    const auto spinEnd = std::chrono::steady_clock::now() + kSpinTime;
    for (int round = 1;; ++round) {
        const std::uint64_t now = counter.load(std::memory_order_acquire);
        if (now != seen || stopping_.load(std::memory_order_acquire)) return now;
        PauseBriefly();
        if (round % kRoundsPerClockRead == 0 && std::chrono::steady_clock::now() > spinEnd) break;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
        return counter.load(std::memory_order_acquire) != seen ||
               stopping_.load(std::memory_order_acquire);
    });
    return counter.load(std::memory_order_acquire);
}

// The mutex is taken, however briefly, between changing a counter and
// notifying: a waiter that has just found no change under the mutex is then
// already waiting, and receives the notification.
void WorkerHandoff::Wake() {
    { const std::lock_guard lock(mutex_); }
    changed_.notify_all();
}

}  // namespace sonorel

#include "pipeline/thread_priority.h"

#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace sonorel {
namespace {

// On Linux, PRIO_PROCESS with a thread id addresses that one thread.
id_t ThisThread() {
    return static_cast<id_t>(gettid());
}

bool HasSysNiceCapability() {
    constexpr int kCapSysNice = 23;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("CapEff:", 0) != 0) continue;
        std::uint64_t mask = 0;
        std::istringstream(line.substr(7)) >> std::hex >> mask;
        return (mask >> kCapSysNice) & 1u;
    }
    return false;
}

}  // namespace

int CurrentThreadNice() {
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, ThisThread());
    return errno == 0 ? nice : 0;
}

bool SetCurrentThreadNice(int nice) {
    return setpriority(PRIO_PROCESS, ThisThread(), nice) == 0;
}

bool CanSetCurrentThreadNice(int nice) {
    if (nice >= CurrentThreadNice()) return true;  // lowering is always allowed
    rlimit limit{};
    // RLIMIT_NICE lets an unprivileged thread go down to nice 20 - rlim_cur.
    if (getrlimit(RLIMIT_NICE, &limit) == 0 &&
        (limit.rlim_cur == RLIM_INFINITY || 20 - static_cast<long>(limit.rlim_cur) <= nice)) {
        return true;
    }
    return HasSysNiceCapability();
}

void RaiseCurrentThreadPriority() {
    const int current = CurrentThreadNice();
    if (current <= kHighestNormalNice || SetCurrentThreadNice(kHighestNormalNice)) return;
    // Unprivileged: go as high as RLIMIT_NICE allows, if that is higher at all.
    rlimit limit{};
    if (getrlimit(RLIMIT_NICE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return;
    const int allowed = 20 - static_cast<int>(limit.rlim_cur);
    if (allowed < current) SetCurrentThreadNice(allowed);
}

LowPriorityScope::LowPriorityScope() : previousNice_(CurrentThreadNice()) {
    if (previousNice_ >= kLowestNormalNice || !CanSetCurrentThreadNice(previousNice_)) return;
    lowered_ = SetCurrentThreadNice(kLowestNormalNice);
}

LowPriorityScope::~LowPriorityScope() {
    if (lowered_) SetCurrentThreadNice(previousNice_);
}

}  // namespace sonorel

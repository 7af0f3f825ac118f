#pragma once
// Scheduling priority of the calling thread, as a Linux nice value.
//
// The processing pass runs at a low priority so that a long restoration does
// not make the desktop sluggish; preview playback runs at a high one so that
// the sound card is fed in time. Both are requests: whatever the system
// refuses is ignored, and a run behaves the same at any priority.
//
// Lowering is reversible only where the process may raise a thread's
// priority back (CAP_SYS_NICE, or an RLIMIT_NICE that allows the old value).
// Without that right, LowPriorityScope leaves the priority alone rather than
// lowering it for good: the thread that runs a run is often the one that
// draws the windows and starts the playback thread, which inherits it.

namespace sonorel {

inline constexpr int kLowestNormalNice = 10;    // processing pass
inline constexpr int kHighestNormalNice = -10;  // preview playback

// The calling thread's nice value.
int CurrentThreadNice();

// Sets the calling thread's nice value; false where the system refused.
bool SetCurrentThreadNice(int nice);

// Whether the calling thread could set its nice value to `nice` (checks the
// rights, changes nothing).
bool CanSetCurrentThreadNice(int nice);

// Raises the calling thread to kHighestNormalNice where allowed; otherwise
// leaves it as it is.
void RaiseCurrentThreadPriority();

// Lowers the calling thread to kLowestNormalNice for the scope's lifetime and
// restores the previous value at its end. Does nothing where the previous
// value could not be restored afterwards, or where the thread already runs at
// a lower priority.
class LowPriorityScope {
  public:
    LowPriorityScope();
    ~LowPriorityScope();
    LowPriorityScope(const LowPriorityScope&) = delete;
    LowPriorityScope& operator=(const LowPriorityScope&) = delete;

    bool Lowered() const { return lowered_; }

  private:
    int previousNice_ = 0;
    bool lowered_ = false;
};

}  // namespace sonorel

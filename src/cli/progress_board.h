#pragma once
// The progress display shared by all running files, and the one place that
// writes run reports, so that report lines and progress lines never mix.
//
// With a terminal, the board keeps one progress line per running file at the
// bottom of the screen and redraws them in place (ANSI cursor-up and
// clear-to-end); a report line is printed above them and the lines are
// redrawn below it. Without one (or with -q) there are no progress lines and
// reports are plain lines.
//
// Threading: every member may be called from any thread. Update is the only
// call made once per block; it stores the value and redraws at most ten
// times a second, so the workers rarely meet at the lock.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/progress_line.h"

namespace sonorel {

class ProgressBoard {
  public:
    class Slot;

    // `bars`: where progress lines go (standard error on a terminal), or
    // nullptr for none. widthColumns: the terminal's width.
    explicit ProgressBoard(std::ostream* bars, int widthColumns = 80);
    ~ProgressBoard();
    ProgressBoard(const ProgressBoard&) = delete;
    ProgressBoard& operator=(const ProgressBoard&) = delete;

    bool ShowsBars() const { return bars_ != nullptr; }

    // A new progress line; the pointer stays valid until Close.
    Slot* Open(std::string name);
    void Begin(Slot* slot, ProgressPhase phase, std::int64_t maximum);
    void Update(Slot* slot, std::int64_t value);
    void Close(Slot* slot);

    // Writes `line` and a newline to `stream` above the progress lines.
    void Print(std::ostream& stream, std::string_view line);

  private:
    using Clock = std::chrono::steady_clock;

    void RedrawLocked(Clock::time_point now);
    void EraseLocked();

    std::ostream* bars_;
    int widthColumns_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Slot>> slots_;  // in opening order
    std::size_t linesShown_ = 0;
    std::atomic<std::int64_t> lastRedrawTicks_{0};
};

}  // namespace sonorel

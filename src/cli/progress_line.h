#pragma once
// One line of the terminal progress display, rendered from a snapshot of a
// running file. Pure formatting, so that it can be tested without a terminal.

#include <cstdint>
#include <string>

namespace sonorel {

enum class ProgressPhase {
    Waiting,     // opened, nothing reported yet
    Analysing,   // the analysis pass: no block count yet
    Processing,  // the processing pass: shows the remaining time
    Playing,     // a preview playing: shows the elapsed time
};

// Longer names are cut short, with "..." at the end.
inline constexpr std::size_t kMaxNameColumns = 28;

struct ProgressSnapshot {
    std::string name;
    std::size_t nameColumns = 0;  // the name is padded to this, so that bars line up
    ProgressPhase phase = ProgressPhase::Waiting;
    std::int64_t value = 0;
    std::int64_t maximum = 0;
    double elapsedSeconds = 0.0;       // since the file started
    double phaseElapsedSeconds = 0.0;  // since the current phase started
};

// "0:07", "12:34", "1:02:03"; negative or non-finite times give "-:--".
std::string FormatClock(double seconds);

// A line no wider than widthColumns - 1, so that it never wraps: a wrapped
// line would break the in-place redraw, which counts lines.
std::string FormatProgressLine(const ProgressSnapshot& snapshot, int widthColumns);

}  // namespace sonorel

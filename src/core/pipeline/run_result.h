#pragma once

namespace sonorel {

// The result of one per-file run (and of a preview's playback). The values
// are stable: callers map them to their messages.
enum class RunResult : int {
    RunOk = 0,          // processed (and played) to the end
    RunNotStereo = 1,   // the input does not have exactly two channels
    RunBadInput = 2,    // cannot be opened, too short, or an analysis read failed
    RunNoOutput = 3,    // output not created / preview buffer or playback failed
    RunIncomplete = 4,  // stopped early: cancelled, or a read or write failed
};

// What a run does with the processed blocks: write them to a new output
// file, or play them.
enum class RunKind { Restore, Preview };

}  // namespace sonorel

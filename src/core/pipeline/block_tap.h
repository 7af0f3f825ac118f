#pragma once
// An optional observer of the processing pass that sees every block: what
// the kernel was given, what it gave back and what it counted. For pictures
// and other records; a run's samples do not depend on whether one is
// attached.
//
// Calls, from the thread that runs the run: Begin before the first block
// (may allocate), Block after each block that was processed and stored (must
// not allocate, lock or wait: it runs inside the processing pass), End once
// the run is over and its summary complete. Runs that end before the
// processing pass (refused inputs, failed analysis) make no call.

#include <cstdint>
#include <span>

#include "engine/block_counts.h"
#include "engine/block_frame.h"
#include "pipeline/run_summary.h"

namespace sonorel {

struct TapSetup {
    int sampleRate = 0;
    std::int64_t inputFrames = 0;
    std::int64_t blocks = 0;  // blocks the pass will run, the tail's included
    bool antiPhase = false;   // the channels carry the wanted signal in opposite polarity
    int outputDelayFrames = kKernelDelay;  // the run's kernel's delay
    int flagLagFrames = kNewFlagLag;       // how far its click flags lag the input
};

// Block n holds input frames 883 n .. 883 n + 882 (zeros past the end of the
// input); output sample i of it is input frame 883 n + i - outputDelayFrames,
// whether or not the output file keeps the delay, and click flag d of its
// counts is input frame 883 n + d - flagLagFrames.
struct TapBlock {
    std::int64_t index;
    std::span<const float, kBlockLength> left;
    std::span<const float, kBlockLength> right;
    std::span<const float, kBlockLength> out;
    const KernelBlockCounts& counts;
};

class BlockTap {
  public:
    virtual ~BlockTap() = default;
    virtual void Begin(const TapSetup& setup) = 0;
    virtual void Block(const TapBlock& block) = 0;
    virtual void End(const RunSummary& summary) = 0;
};

}  // namespace sonorel

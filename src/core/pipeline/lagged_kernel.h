#pragma once
// The run's kernel as the processing pass drives it: one block behind. Each
// Step does a block's work and gives back the output of the block before,
// so that the classic kernel on two threads can make that output on its
// worker alongside the new block's channels (RestorationKernel, pipelined).
// The enhanced method runs on the calling thread and is held back by one
// block here, so the pass has one shape for both.
//
// Every output is bit for bit what the kernel's own ProcessBlock gives for
// that block.

#include <array>
#include <span>

#include "engine/block_counts.h"
#include "engine/block_frame.h"
#include "engine/kernel.h"
#include "pipeline/enhanced_run.h"

namespace sonorel {

class LaggedKernel {
  public:
    // One of the two runs the pass: `enhanced` when it is not null, else
    // `classic`, already prepared.
    LaggedKernel(RestorationKernel& classic, EnhancedRun* enhanced)
        : classic_(classic), enhanced_(enhanced) {}

    // This block, with the input's samples or (Drain) silence; false for the
    // first block, which has no block before it (previousOut untouched).
    bool Step(std::span<const float, kBlockLength> left, std::span<const float, kBlockLength> right,
              std::span<float, kBlockLength> previousOut);
    bool Drain(std::span<float, kBlockLength> previousOut);
    // The last block's output; false when no block is waiting for it.
    bool Finish(std::span<float, kBlockLength> out);

    // What the last Step or Drain counted: the counts of its own block.
    const KernelBlockCounts& Counts() const;

  private:
    // The enhanced method's output of its last block, until the next call.
    bool HandOver(std::span<float, kBlockLength> previousOut);

    RestorationKernel& classic_;
    EnhancedRun* enhanced_;
    std::array<float, kBlockLength> held_{};
    bool holding_ = false;
};

}  // namespace sonorel

#pragma once
// The per-file run's pieces of the enhanced method (src/dsp/enhanced): its
// analysis beside the classic one, its kernel in place of the classic one,
// and the settings' mapping onto it. Allocated once per run, only for runs
// of that method.

#include <array>
#include <cstdint>

#include "engine/block_counts.h"
#include "enhanced/enhanced_analysis.h"
#include "enhanced/enhanced_kernel.h"
#include "pipeline/run_summary.h"
#include "settings/restoration_settings.h"

namespace sonorel {

// The delay of a run's kernel, by method.
int KernelDelayOf(RestorationMethod method);

// How far a block's click flags (KernelBlockCounts::newFlags) lag its input,
// by method: flag d of block n belongs to input frame 883 n + d - lag. The
// enhanced method's flags are its repaired samples, given with its output
// delay (its repairs are all known by then: kMarkLatency < kEnhancedDelay).
int ClickFlagLagOf(RestorationMethod method);

struct EnhancedRun {
    EnhancedAnalysis analysis;
    EnhancedKernel kernel;
    EnhancedFigures figures;
    EnhancedParams params;
    KernelBlockCounts blockCounts;  // the last block's repairs, as the classic kernel counts them
    DeclickCounts previous;
    std::int64_t blocksRun = 0;  // since Prepare

    // Before the analysis pass.
    void BeginAnalysis(const CascadeCoeffs& rumble, const RunParameters& settings);
    // After it: derives the parameters and prepares the kernel.
    void Prepare(const RunParameters& settings, const ToneFilters& filters, int sampleRate);
    // One block of the processing pass; DrainBlock with silence in.
    void ProcessBlock(std::span<const float, kBlockLength> left,
                      std::span<const float, kBlockLength> right,
                      std::span<float, kBlockLength> out);
    void DrainBlock(std::span<float, kBlockLength> out);

  private:
    void CountBlock();
};

// The figures a report records of a prepared run.
EnhancedDerived DescribeEnhanced(const EnhancedRun& run);

}  // namespace sonorel

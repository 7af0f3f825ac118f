#pragma once
// One channel's share of a kernel block: click repair into the channel's
// buffer, the next block's history, then the estimate of this channel from
// the other.
//
// The job writes only `own` and its own counts, and reads the other
// channel's history, which the calling thread copied into the front of the
// other channel's buffer before either channel's job began. The other
// channel's job writes that buffer only from index 2885 on, so the two jobs
// of a block share nothing they write and may run on two threads in either
// order (kernel.h).

#include <span>

#include "engine/block_counts.h"
#include "engine/block_frame.h"
#include "engine/channel_state.h"
#include "engine/kernel_params.h"
#include "filters/tone_filters.h"

namespace sonorel {

struct ChannelJob {
    ChannelState& own;
    std::span<const float, kAnalysisLength> otherHistory;
    std::span<const float, kBlockLength> input;
    // Where this block's estimate goes: one of own.estimates.
    std::span<float, kEstimateSpan> estimate;
    // The noise-floor term of the other channel, this estimator's input.
    float inputNoiseFloor;
    const KernelParams& params;
    const ToneFilters& filters;
    ClickBlockCounts& clickCounts;
    bool& solveFailed;

    void operator()() const;
};

}  // namespace sonorel

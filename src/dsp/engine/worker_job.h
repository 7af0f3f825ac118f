#pragma once
// What the kernel's worker thread does for one block (worker_thread.h): one
// channel's job (channel_work.h) and, when the kernel runs pipelined
// (kernel.h), first the output stage of the block before.
//
// The output stage reads the previous block's estimates, which the channel
// jobs of this block leave alone (each channel keeps two, by block parity),
// and writes only the output path's state and the given output block. So
// it shares nothing it writes with either channel job.

#include <optional>
#include <span>

#include "engine/block_frame.h"
#include "engine/channel_work.h"
#include "engine/kernel_params.h"
#include "engine/kernel_state.h"
#include "filters/tone_filters.h"

namespace sonorel {

struct OutputJob {
    std::span<const float, kEstimateSpan> estimateL;
    std::span<const float, kEstimateSpan> estimateR;
    const KernelParams& params;
    const ToneFilters& filters;
    OutputState& state;
    std::span<float, kBlockLength> out;

    void operator()() const;
};

struct WorkerJob {
    std::optional<OutputJob> output;
    ChannelJob channel;

    void operator()() const {
        if (output) (*output)();
        channel();
    }
};

}  // namespace sonorel

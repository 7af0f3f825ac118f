#include "engine/kernel.h"

#include <algorithm>
#include <array>

#include "engine/fft_correlation.h"
#include "engine/kernel_tables.h"

namespace sonorel {
namespace {

constexpr std::array<float, kBlockLength> kSilence{};

}  // namespace

RestorationKernel::~RestorationKernel() = default;

void RestorationKernel::Prepare(const KernelParams& params, const ToneFilters& filters,
                                int threads) {
    params_ = params;
    filters_ = filters;
    GetKernelTables();
    PrepareFft();
    if (threads < 2) {
        worker_.reset();
    } else if (!worker_) {
        worker_ = std::make_unique<WorkerThread<WorkerJob>>();
    }
    Reset();
}

void RestorationKernel::Reset() {
    state_ = KernelState{};
    parity_ = 0;
    pending_ = false;
}

void RestorationKernel::RunChannels(std::span<const float, kBlockLength> left,
                                    std::span<const float, kBlockLength> right,
                                    const std::optional<OutputJob>& output) {
    for (ChannelState& channel : state_.channels)
        std::copy(channel.history.begin(), channel.history.end(), channel.buffer.begin());
    const ChannelJob leftJob = JobOf(kLeft, left);
    const WorkerJob workerJob{.output = output, .channel = JobOf(kRight, right)};
    if (worker_) {
        worker_->Start(workerJob);
        leftJob();
        worker_->Finish();
    } else {
        leftJob();
        workerJob();
    }
}

void RestorationKernel::ProcessBlock(std::span<const float, kBlockLength> left,
                                     std::span<const float, kBlockLength> right,
                                     std::span<float, kBlockLength> out) {
    RunChannels(left, right, std::nullopt);
    OutputJobOf(parity_, out)();
    parity_ ^= 1;
}

bool RestorationKernel::ProcessBlockPipelined(std::span<const float, kBlockLength> left,
                                              std::span<const float, kBlockLength> right,
                                              std::span<float, kBlockLength> previousOut) {
    const bool hadPrevious = pending_;
    RunChannels(left, right,
                hadPrevious ? std::optional(OutputJobOf(parity_ ^ 1, previousOut)) : std::nullopt);
    parity_ ^= 1;
    pending_ = true;
    return hadPrevious;
}

bool RestorationKernel::FinishPipelined(std::span<float, kBlockLength> out) {
    if (!pending_) return false;
    OutputJobOf(parity_ ^ 1, out)();
    pending_ = false;
    return true;
}

ChannelJob RestorationKernel::JobOf(Channel channel, std::span<const float, kBlockLength> input) {
    // The left channel is estimated from the right and the right from the
    // left; the noise-floor term is that of the estimator's input channel.
    const Channel other = channel == kLeft ? kRight : kLeft;
    return ChannelJob{
        .own = state_.channels[channel],
        .otherHistory = std::span<const float, kAnalysisLength>(
            state_.channels[other].buffer.data(), kAnalysisLength),
        .input = input,
        .estimate = state_.channels[channel].estimates[parity_],
        .inputNoiseFloor = other == kLeft ? params_.nfL : params_.nfR,
        .params = params_,
        .filters = filters_,
        .clickCounts = counts_.clicks[channel],
        .solveFailed = counts_.solveFailed[channel],
    };
}

OutputJob RestorationKernel::OutputJobOf(int parity, std::span<float, kBlockLength> out) {
    return OutputJob{
        .estimateL = state_.channels[kLeft].estimates[parity],
        .estimateR = state_.channels[kRight].estimates[parity],
        .params = params_,
        .filters = filters_,
        .state = state_.output,
        .out = out,
    };
}

void RestorationKernel::DrainBlock(std::span<float, kBlockLength> out) {
    ProcessBlock(kSilence, kSilence, out);
}

bool RestorationKernel::DrainBlockPipelined(std::span<float, kBlockLength> previousOut) {
    return ProcessBlockPipelined(kSilence, kSilence, previousOut);
}

}  // namespace sonorel

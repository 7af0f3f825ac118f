// Speed of the restoration kernel on a realistic block stream: a music-like
// stereo signal with each channel's own surface noise and clicks, 44100 Hz,
// every control at its default. Reports the time per block and the real-time
// factor (883 / 44100 s of audio per block, divided by the time per block).
// Also times the three stages of a block on their own, and the two halves
// of a block that two threads share, to give the most two threads can gain.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <ctime>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include "engine/click_repair.h"
#include "engine/estimator.h"
#include "engine/fft_correlation.h"
#include "engine/kernel.h"
#include "engine/kernel_tables.h"
#include "engine/worker_job.h"
#include "filters/tone_filters.h"
#include "settings/kernel_inputs.h"

namespace sonorel {
namespace {

constexpr unsigned kSampleRate = 44100;
constexpr int kStreamBlocks = 500;  // about 10 s, replayed in a loop
constexpr double kBlockSeconds = static_cast<double>(kBlockLength) / kSampleRate;

// Ten seconds of a shellac-like transfer: notes with harmonics and a bass
// line shared by both groove walls (the right slightly filtered and quieter),
// each wall with its own hiss and crackle and its own clicks.
struct Stream {
    std::vector<float> left, right;
};

Stream MakeStream() {
    const std::size_t length = static_cast<std::size_t>(kStreamBlocks) * kBlockLength;
    Stream s{std::vector<float>(length), std::vector<float>(length)};
    std::mt19937 rng(1901);
    std::normal_distribution<float> hiss(0.0f, 0.01f);
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    const double pitchesHz[] = {220.0, 246.9, 261.6, 293.7, 329.6, 349.2, 392.0, 440.0};
    const double twoPi = 2.0 * std::numbers::pi;
    double melodyPhase = 0.0;
    double bassPhase = 0.0;
    float previousShared = 0.0f;
    for (std::size_t n = 0; n < length; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const int note = static_cast<int>(t * 4.0);  // four notes a second
        const double noteTime = t * 4.0 - note;
        const double envelope = std::exp(-3.0 * noteTime) * std::min(1.0, noteTime * 50.0);
        melodyPhase += twoPi * pitchesHz[(note * 5) % 8] / kSampleRate;
        bassPhase += twoPi * pitchesHz[(note / 4) % 4] / 4.0 / kSampleRate;
        double melody = 0.0;
        for (int h = 1; h <= 6; ++h)
            melody += std::sin(h * melodyPhase) / (h * h);
        const float shared =
            static_cast<float>(0.25 * envelope * melody + 0.12 * std::sin(bassPhase));
        s.left[n] = shared + hiss(rng);
        s.right[n] = 0.85f * (0.7f * shared + 0.3f * previousShared) + hiss(rng);
        previousShared = shared;
    }
    // Clicks: a few per second per wall, each a short decaying spike.
    for (std::vector<float>* wall : {&s.left, &s.right}) {
        for (std::size_t n = 0; n + 40 < length; ++n) {
            if (uniform(rng) > 4.0f / kSampleRate) continue;
            const float height =
                (uniform(rng) < 0.5f ? -1.0f : 1.0f) * (0.1f + 0.7f * uniform(rng));
            for (int k = 0; k < 40; ++k)
                (*wall)[n + k] += height * std::exp(-0.3f * k);
        }
    }
    return s;
}

const Stream& GetStream() {
    static const Stream stream = MakeStream();
    return stream;
}

// The defaults: click 0.5 x 0.5, rejuv 0.25 x 16/177, weights near 1, a
// moderate noise floor; hiss 18 kHz, rumble 40 Hz and flat shelves are the
// defaults of ToneSettings.
constexpr KernelParams kDefaultParams{.wL = 0.55f,
                                      .wR = 0.62f,
                                      .nfL = 2e-3f,
                                      .nfR = 2e-3f,
                                      .click = ClickSensitivity(0.5f),
                                      .rejuv = RelativeRegularisation(0.5f),
                                      .mode = ChannelFunction::MonoEnhancer};

std::span<const float, kBlockLength> BlockOf(const std::vector<float>& channel, int block) {
    return std::span<const float, kBlockLength>(channel.data() + block * kBlockLength,
                                                kBlockLength);
}

void ReportRealTime(benchmark::State& state) {
    state.counters["realtime_x"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kBlockSeconds, benchmark::Counter::kIsRate);
}

// The argument is the kernel's thread count.
void BM_ProcessBlock(benchmark::State& state) {
    const Stream& stream = GetStream();
    auto kernel = std::make_unique<RestorationKernel>();
    kernel->Prepare(kDefaultParams, DesignToneFilters(kSampleRate, {}),
                    static_cast<int>(state.range(0)));
    std::array<float, kBlockLength> out{};
    int block = 0;
    for (auto _ : state) {
        kernel->ProcessBlock(BlockOf(stream.left, block), BlockOf(stream.right, block), out);
        benchmark::DoNotOptimize(out.data());
        block = (block + 1) % kStreamBlocks;
    }
    ReportRealTime(state);
}
BENCHMARK(BM_ProcessBlock)->Arg(1)->Unit(benchmark::kMicrosecond);
// Two threads: wall-clock time, since the calling thread's processor time
// leaves out the worker's half.
BENCHMARK(BM_ProcessBlock)->Arg(2)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_RemoveClicksOneChannel(benchmark::State& state) {
    const Stream& stream = GetStream();
    const ToneFilters filters = DesignToneFilters(kSampleRate, {});
    auto channel = std::make_unique<ClickState>();
    std::array<float, kBlockLength> out{};
    int block = 0;
    for (auto _ : state) {
        RemoveClicks(BlockOf(stream.left, block), ClickSensitivity(0.5f), filters.rumbleCoeffs,
                     filters.detectCoeffs, *channel, out);
        benchmark::DoNotOptimize(out.data());
        block = (block + 1) % kStreamBlocks;
    }
}
BENCHMARK(BM_RemoveClicksOneChannel)->Unit(benchmark::kMicrosecond);

void BM_EstimateChannelOneCall(benchmark::State& state) {
    const Stream& stream = GetStream();
    std::array<float, kEstimatorTaps> coefficients{};
    std::array<float, kEstimateSpan> out{};
    const int segments =
        (kStreamBlocks * kBlockLength - kAnalysisLength - kTargetOffset) / kBlockLength;
    int segment = 0;
    for (auto _ : state) {
        const std::size_t start = static_cast<std::size_t>(segment) * kBlockLength;
        EstimateChannel(
            std::span<const float, kAnalysisLength>(stream.left.data() + start + kTargetOffset,
                                                    kAnalysisLength),
            std::span<const float, kAnalysisLength>(stream.right.data() + start, kAnalysisLength),
            2e-3f, RelativeRegularisation(0.5f), ChannelFunction::MonoEnhancer, coefficients, out);
        benchmark::DoNotOptimize(out.data());
        segment = (segment + 1) % segments;
    }
}
BENCHMARK(BM_EstimateChannelOneCall)->Unit(benchmark::kMicrosecond);

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) * 1e-3;
}

// One thread doing, block by block, what a pipelined two-thread kernel splits
// between its threads: the left channel's job (the calling thread's), then
// the previous block's output stage and the right channel's job (the
// worker's). Each half is timed with the thread's processor clock. Counters:
// the mean of each half, and the speed-up two threads would give if each
// block took as long as its longer half and the handoff cost nothing
// (lockstep_bound_x); a perfect split of every block would give 2.
void BM_BlockHalvesOneThread(benchmark::State& state) {
    const Stream& stream = GetStream();
    const ToneFilters filters = DesignToneFilters(kSampleRate, {});
    GetKernelTables();
    PrepareFft();
    auto kernel = std::make_unique<KernelState>();
    KernelBlockCounts counts{};
    std::array<float, kBlockLength> out{};
    double leftSum = 0.0;
    double workerSum = 0.0;
    double longerSum = 0.0;
    int block = 0;
    int parity = 0;
    for (auto _ : state) {
        for (ChannelState& channel : kernel->channels)
            std::copy(channel.history.begin(), channel.history.end(), channel.buffer.begin());
        const auto jobOf = [&](Channel channel, Channel other, const std::vector<float>& input) {
            return ChannelJob{.own = kernel->channels[channel],
                              .otherHistory = std::span<const float, kAnalysisLength>(
                                  kernel->channels[other].buffer.data(), kAnalysisLength),
                              .input = BlockOf(input, block),
                              .estimate = kernel->channels[channel].estimates[parity],
                              .inputNoiseFloor = 2e-3f,
                              .params = kDefaultParams,
                              .filters = filters,
                              .clickCounts = counts.clicks[channel],
                              .solveFailed = counts.solveFailed[channel]};
        };
        const OutputJob output{.estimateL = kernel->channels[kLeft].estimates[parity ^ 1],
                               .estimateR = kernel->channels[kRight].estimates[parity ^ 1],
                               .params = kDefaultParams,
                               .filters = filters,
                               .state = kernel->output,
                               .out = out};
        const double start = ThreadCpuMicroseconds();
        jobOf(kLeft, kRight, stream.left)();
        const double middle = ThreadCpuMicroseconds();
        WorkerJob{.output = output, .channel = jobOf(kRight, kLeft, stream.right)}();
        const double end = ThreadCpuMicroseconds();
        benchmark::DoNotOptimize(out.data());
        leftSum += middle - start;
        workerSum += end - middle;
        longerSum += std::max(middle - start, end - middle);
        parity ^= 1;
        block = (block + 1) % kStreamBlocks;
    }
    const auto blocks = static_cast<double>(state.iterations());
    state.counters["left_us"] = leftSum / blocks;
    state.counters["worker_us"] = workerSum / blocks;
    state.counters["lockstep_bound_x"] = (leftSum + workerSum) / longerSum;
    ReportRealTime(state);
}
BENCHMARK(BM_BlockHalvesOneThread)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace sonorel

BENCHMARK_MAIN();

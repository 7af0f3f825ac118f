#include "pipeline/process_file.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/channel_analysis.h"
#include "engine/kernel.h"
#include "filters/tone_filters.h"
#include "pipeline/block_sink.h"
#include "pipeline/carried_metadata.h"
#include "pipeline/enhanced_run.h"
#include "pipeline/playback.h"
#include "pipeline/run_blocks.h"
#include "pipeline/thread_priority.h"
#include "settings/product.h"
#include "soundfile/sound_file.h"

namespace sonorel {
namespace {

// Fixed-size working storage of one run, allocated once per run: the channel
// buffers (the analysis pass fills all 7060 frames, the processing pass the
// first 883), the analysis pass's high-passed copies, the kernel and the
// output block. Nothing else is allocated until the run ends, apart from the
// preview buffer.
struct RunStorage {
    std::array<float, kAnalysisBlockFrames> left;
    std::array<float, kAnalysisBlockFrames> right;
    std::array<float, kAnalysisBlockFrames> highPassedLeft;
    std::array<float, kAnalysisBlockFrames> highPassedRight;
    RestorationKernel kernel;
    std::array<float, kBlockLength> out;
    std::unique_ptr<EnhancedRun> enhanced;  // only for runs of the enhanced method
};

enum class AnalysisOutcome { Measured, ReadFailed, Stopped };

// Reads every complete 7060-frame block from the start of the file; the frames
// after the last complete block are not measured.
AnalysisOutcome MeasureChannels(SoundReader& reader, RunStorage& storage, RunObserver& observer,
                                ChannelStats& stats) {
    stats = ChannelStats{};
    float highPassLeft = 0.0f;
    float highPassRight = 0.0f;
    const std::int64_t blocks = reader.Format().frames / kAnalysisBlockFrames;
    for (std::int64_t b = 0; b < blocks; ++b) {
        if (observer.StopRequested()) return AnalysisOutcome::Stopped;
        if (reader.Read(storage.left, storage.right, kAnalysisBlockFrames) < 0) {
            return AnalysisOutcome::ReadFailed;
        }
        if (storage.enhanced) storage.enhanced->analysis.Add(storage.left, storage.right);
        AnalysisHighPass(highPassLeft, storage.left, storage.highPassedLeft);
        AnalysisHighPass(highPassRight, storage.right, storage.highPassedRight);
        MeasureBlock(storage.highPassedLeft, storage.highPassedRight, stats);
    }
    return AnalysisOutcome::Measured;
}

// The detector flags a position when (centre - floor) x click exceeds the
// loudest context: at full "Click Remover" (click 0.5) a click must rise
// above the floor by more than twice the loudest context around it.
constexpr float kClickScale = 0.5f;
// The relative regularisation adds rejuv x (r0^2 + ... + r176^2) to r0^2.
// Scaled by the tap count, full "Rejuvenator" adds 16 times the mean square
// of the 177 correlations: at most 16 r0^2, so the zero lag grows at most by
// sqrt(17), about 12 dB.
constexpr float kRejuvenatorScale = 16.0f / kEstimatorTaps;
static_assert(kRejuvenatorScale == 0.09039548f);

KernelParams DeriveKernelParams(const RunParameters& settings, const ChannelStats& stats) {
    const ChannelParams channels = DeriveChannelParams(
        stats, settings.noiseAmount, settings.outputGain, settings.keepOriginalLevel,
        settings.antiPhase, settings.channelFunction);
    KernelParams params;
    params.wL = channels.wL;
    params.wR = channels.wR;
    params.nfL = channels.nfL;
    params.nfR = channels.nfR;
    params.click = settings.clickAmount * kClickScale;
    params.rejuv = settings.distortionAmount * settings.distortionAmount * kRejuvenatorScale;
    params.mode = settings.channelFunction;
    return params;
}

ToneSettings ToneSettingsOf(const RunParameters& settings) {
    return {.rumbleHz = settings.rumbleHz,
            .hissHz = settings.hissHz,
            .bassLiftDb = settings.bassLiftDb,
            .trebleLiftDb = settings.trebleLiftDb};
}

// The blocks of the processing pass: the input's, then for an aligned output
// the tail, with silence in; and the kernel's threads.
struct PassPlan {
    std::int64_t inputBlocks = 0;
    std::int64_t blocks = 0;
    int threads = 1;
};

void AddCounts(const KernelBlockCounts& counts, RunSummary& summary) {
    ++summary.blocks;
    for (int c = 0; c < 2; ++c) {
        ChannelCounts& total = summary.channels[c];
        total.clicksDetected += counts.clicks[c].clicksDetected;
        total.samplesRepaired += counts.clicks[c].samplesRepaired;
        total.failedSolves += counts.solveFailed[c] ? 1 : 0;
    }
}

// The processing pass. Returns whether every block was processed and stored.
bool RunProcessingPass(SoundReader& reader, RunStorage& storage, const PassPlan& plan,
                       BlockSink& sink, RunObserver& observer, BlockTap* tap, RunSummary& summary) {
    const std::span<float, kBlockLength> left(storage.left.data(), kBlockLength);
    const std::span<float, kBlockLength> right(storage.right.data(), kBlockLength);
    for (std::int64_t i = 1; i <= plan.blocks; ++i) {
        EnhancedRun* enhanced = storage.enhanced.get();
        if (i <= plan.inputBlocks) {
            if (reader.Read(left, right, kBlockLength) < 0) return false;
            if (enhanced) {
                enhanced->ProcessBlock(left, right, storage.out);
            } else {
                storage.kernel.ProcessBlock(left, right, storage.out);
            }
        } else {
            std::fill(left.begin(), left.end(), 0.0f);
            std::fill(right.begin(), right.end(), 0.0f);
            if (enhanced) {
                enhanced->DrainBlock(storage.out);
            } else {
                storage.kernel.DrainBlock(storage.out);
            }
        }
        if (!sink.Append(storage.out)) return false;  // the failed block does not count
        const KernelBlockCounts& counts =
            enhanced ? enhanced->blockCounts : storage.kernel.LastBlockCounts();
        AddCounts(counts, summary);
        if (tap != nullptr) tap->Block({i - 1, left, right, storage.out, counts});
        if (observer.UpdateProgress(i)) {
            // A preview stops at once; a Start run asks first, and a No
            // carries on with the next block, losing none.
            if (sink.IsPreview() || observer.ConfirmCancel()) return false;
            observer.ResumeProgress();
        }
    }
    return true;
}

// Gives the output what it keeps of the input's catalogue data.
MetadataOutcome CarryOver(const SoundReader& reader, SoundWriter& writer,
                          const ArchiveOptions& archive) {
    const SoundMetadata input = reader.Metadata();
    const SoundMetadata carried =
        CarryMetadata(input, reader.Format(), archive.settingsText, archive.align);
    return DescribeOutcome(input, writer.SetMetadata(carried));
}

// Why a run refuses an input before it touches anything, or RunOk.
RunResult RefusalOf(const SoundFormat& format) {
    if (format.channels != 2) return RunResult::RunNotStereo;
    if (format.frames < kAnalysisBlockFrames) return RunResult::RunBadInput;
    return RunResult::RunOk;
}

std::unique_ptr<RunStorage> AllocateStorage(RestorationMethod method) {
    try {
        auto storage = std::make_unique<RunStorage>();
        if (method == RestorationMethod::Enhanced)
            storage->enhanced = std::make_unique<EnhancedRun>();
        return storage;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Where the passes put their blocks and what they tell: `writer` is the
// Start run's output (null for a preview), closed at the end so that its
// header states exactly the samples of the successful writes.
struct PassOutput {
    BlockSink& sink;
    SoundWriter* writer = nullptr;
    BlockTap* tap = nullptr;
    RunSummary& summary;
    bool tapped = false;  // whether the tap was begun, so must be ended
};

// Inside the processing pass's priority scope: a worker thread inherits the
// priority of the thread that starts it.
void PrepareKernel(RestorationKernel& kernel, const KernelParams& params,
                   const ToneFilters& filters, int threads) {
    try {
        kernel.Prepare(params, filters, threads);
    } catch (const std::system_error&) {
        kernel.Prepare(params, filters, 1);  // the same output, on one thread
    }
}

// Both passes, once the input is checked and the output (or the preview
// buffer) exists.
RunResult RunPasses(SoundReader& reader, RunStorage& storage, const RunParameters& settings,
                    RunObserver& observer, const std::string& label, const PassPlan& plan,
                    PassOutput& output) {
    observer.BeginBusy();
    const SoundFormat format = reader.Format();
    const ToneFilters filters =
        DesignToneFilters(static_cast<unsigned>(format.sampleRate), ToneSettingsOf(settings));
    if (storage.enhanced) storage.enhanced->BeginAnalysis(filters.rumbleCoeffs, settings);
    ChannelStats stats;
    const AnalysisOutcome analysis = MeasureChannels(reader, storage, observer, stats);
    if (analysis != AnalysisOutcome::Measured) {
        if (output.writer) output.writer->Close();  // closed with an empty data part, left on disk
        observer.EndBusy();
        return analysis == AnalysisOutcome::Stopped ? RunResult::RunIncomplete
                                                    : RunResult::RunBadInput;
    }
    const KernelParams params = DeriveKernelParams(settings, stats);
    output.summary.derived =
        DerivedParameters{.kernel = params, .hissLowPass = filters.hissActive, .enhanced = {}};
    observer.EndBusy();

    if (output.tap != nullptr) {
        output.tap->Begin({.sampleRate = format.sampleRate,
                           .inputFrames = format.frames,
                           .blocks = plan.blocks,
                           .antiPhase = settings.antiPhase});
        output.tapped = true;
    }
    bool complete = false;
    observer.BeginProgress(ProgressKind::Processing, label, plan.blocks);
    if (reader.Rewind()) {
        const LowPriorityScope lowPriority;
        if (storage.enhanced) {
            storage.enhanced->Prepare(settings, filters, format.sampleRate);
            output.summary.derived->enhanced = DescribeEnhanced(*storage.enhanced);
        } else {
            PrepareKernel(storage.kernel, params, filters, plan.threads);
        }
        complete = RunProcessingPass(reader, storage, plan, output.sink, observer, output.tap,
                                     output.summary);
    }
    observer.EndProgress();
    output.summary.outputFrames = output.sink.Stored();
    if (output.writer) {
        const bool closed = output.writer->Close();
        if (!closed) complete = false;
    }
    return complete ? RunResult::RunOk : RunResult::RunIncomplete;
}

RunResult RunFile(const RunRequest& request, RunObserver& observer, RunSummary& summary,
                  bool& tapped) {
    const bool preview = request.kind == RunKind::Preview;
    const RunParameters& settings = request.params;

    // A stop request while the length of the input was being counted gives
    // up the run before anything is created.
    bool stopped = false;
    std::unique_ptr<SoundReader> reader =
        SoundReader::Open(request.input, [&] { return stopped = observer.StopRequested(); });
    if (!reader) return stopped ? RunResult::RunIncomplete : RunResult::RunBadInput;
    const SoundFormat format = reader->Format();
    summary.input = format;
    if (const RunResult refusal = RefusalOf(format); refusal != RunResult::RunOk) return refusal;

    const std::unique_ptr<RunStorage> storage = AllocateStorage(settings.method);
    if (!storage) return RunResult::RunNoOutput;

    const bool aligned = !preview && request.archive.align;
    PassPlan plan{.inputBlocks = ProcessingBlocks(format.frames),
                  .blocks = aligned ? AlignedBlocks(format.frames, KernelDelayOf(settings.method))
                                    : ProcessingBlocks(format.frames),
                  .threads = request.threads};
    std::unique_ptr<SoundWriter> writer;
    std::vector<std::int16_t> previewBuffer;
    std::string label;
    if (preview) {
        if (request.previewOutput == nullptr) return RunResult::RunNoOutput;
        label = request.input.stem().string();
        plan.inputBlocks = plan.blocks =
            PreviewBlocks(format.frames, settings.previewSeconds, format.sampleRate);
        try {
            previewBuffer.resize(static_cast<std::size_t>(plan.blocks * kBlockLength));
        } catch (const std::bad_alloc&) {
            return RunResult::RunNoOutput;
        } catch (const std::length_error&) {
            return RunResult::RunNoOutput;
        }
    } else {
        std::filesystem::path chosen;
        CreateStatus status = CreateStatus::Failed;
        writer = CreateFirstFreeOutput(request.output, format, kOutputComment, chosen, status);
        if (!writer) return RunResult::RunNoOutput;
        summary.output = chosen;
        label = chosen.stem().string();
        if (request.archive.keepMetadata) {
            summary.metadata = CarryOver(*reader, *writer, request.archive);
        }
    }

    // An aligned output drops the kernel's delay and ends with the input.
    const int delay = KernelDelayOf(settings.method);
    const OutputWindow window =
        aligned ? OutputWindow{delay, delay + format.frames} : OutputWindow{};
    BlockSink sink = preview ? BlockSink(&previewBuffer) : BlockSink(writer.get(), window);
    PassOutput output{.sink = sink, .writer = writer.get(), .tap = request.tap, .summary = summary};
    summary.aligned = aligned;
    const RunResult result = RunPasses(*reader, *storage, settings, observer, label, plan, output);
    tapped = output.tapped;
    reader.reset();
    if (!preview || result != RunResult::RunOk) return result;
    return PlayPreview(*request.previewOutput, observer, label, format.sampleRate, previewBuffer,
                       sink.Stored());
}

}  // namespace

RunResult ProcessFile(const RunRequest& request, RunObserver& observer,
                      std::filesystem::path* createdOutput) {
    const auto started = std::chrono::steady_clock::now();
    RunSummary ownSummary;
    RunSummary& summary = request.summary != nullptr ? *request.summary : ownSummary;
    summary = RunSummary{};
    bool tapped = false;
    summary.result = RunFile(request, observer, summary, tapped);
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (createdOutput != nullptr) *createdOutput = summary.output;
    if (tapped) request.tap->End(summary);
    return summary.result;
}

RunResult RestoreOpened(SoundReader& input, SoundWriter& output, const RunParameters& params,
                        RunObserver& observer) {
    RunResult refusal = RefusalOf(input.Format());
    std::unique_ptr<RunStorage> storage;
    if (refusal == RunResult::RunOk) {
        storage = AllocateStorage(params.method);
        if (!storage) refusal = RunResult::RunNoOutput;
    }
    if (refusal != RunResult::RunOk) {
        output.Close();  // without a sample
        return refusal;
    }
    const std::int64_t blocks = ProcessingBlocks(input.Format().frames);
    BlockSink sink(&output, OutputWindow{});
    RunSummary summary;
    PassOutput passOutput{.sink = sink, .writer = &output, .summary = summary};
    return RunPasses(input, *storage, params, observer, "",
                     PassPlan{.inputBlocks = blocks, .blocks = blocks}, passOutput);
}

}  // namespace sonorel

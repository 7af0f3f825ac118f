#include "pipeline/process_file.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/channel_analysis.h"
#include "engine/kernel.h"
#include "filters/tone_filters.h"
#include "pipeline/analysis_pass.h"
#include "pipeline/block_sink.h"
#include "pipeline/carried_metadata.h"
#include "pipeline/enhanced_run.h"
#include "pipeline/lagged_kernel.h"
#include "pipeline/run_blocks.h"
#include "pipeline/thread_priority.h"
#include "settings/kernel_inputs.h"
#include "settings/product.h"
#include "soundfile/sound_file.h"

namespace sonorel {
namespace {

// One processing-pass block kept until its output has been stored: the
// kernel gives that output back one block later (lagged_kernel.h).
struct PassBlock {
    std::array<float, kBlockLength> left;
    std::array<float, kBlockLength> right;
    KernelBlockCounts counts;
};

// Fixed-size working storage of one run, allocated once per run: the
// analysis pass's buffers, the processing
// pass's two blocks in flight, the kernel and the output block. Nothing else is allocated until the
// run ends, apart from the preview buffer.
struct RunStorage {
    AnalysisBuffers analysis;
    std::array<PassBlock, 2> passBlocks;
    RestorationKernel kernel;
    std::array<float, kBlockLength> out;
    std::unique_ptr<EnhancedRun> enhanced;  // only for runs of the enhanced method
};

// The blocks of the processing pass: the input's, then for an aligned output
// the tail, with silence in; and the kernel's threads.
struct PassPlan {
    std::int64_t inputBlocks = 0;
    std::int64_t blocks = 0;
    int threads = 1;
};

PassPlan PlanOf(const RunRequest& request, const SoundFormat& format) {
    if (request.kind == RunKind::Preview) {
        const std::int64_t blocks =
            PreviewBlocks(format.frames, request.params.previewSeconds, format.sampleRate);
        return {.inputBlocks = blocks, .blocks = blocks, .threads = request.threads};
    }
    return {.inputBlocks = ProcessingBlocks(format.frames),
            .blocks = request.archive.align
                          ? AlignedBlocks(format.frames, KernelDelayOf(request.params.method))
                          : ProcessingBlocks(format.frames),
            .threads = request.threads};
}

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
// Block i (from 1) goes into slot i % 2; its output comes back while block
// i + 1 is being worked on, and is then stored, counted and shown.
bool RunProcessingPass(SoundReader& reader, RunStorage& storage, const PassPlan& plan,
                       BlockSink& sink, RunObserver& observer, BlockTap* tap, RunSummary& summary) {
    LaggedKernel kernel(storage.kernel, storage.enhanced.get());
    // Block i's output is in storage.out.
    const auto store = [&](std::int64_t i) {
        const PassBlock& block = storage.passBlocks[i % 2];
        if (!sink.Append(storage.out)) return false;  // the failed block does not count
        sink.Hear(block.left, block.right);
        AddCounts(block.counts, summary);
        if (tap != nullptr) tap->Block({i - 1, block.left, block.right, storage.out, block.counts});
        if (observer.UpdateProgress(i)) {
            // A preview stops at once; a Start run asks first, and a No
            // carries on with the next block, losing none.
            if (!sink.ConfirmsCancel() || observer.ConfirmCancel()) return false;
            observer.ResumeProgress();
        }
        return true;
    };
    for (std::int64_t i = 1; i <= plan.blocks; ++i) {
        PassBlock& block = storage.passBlocks[i % 2];
        bool previous = false;
        if (i <= plan.inputBlocks) {
            if (reader.Read(block.left, block.right, kBlockLength) < 0) {
                // The blocks before this one are whole: the last of them is stored.
                if (kernel.Finish(storage.out)) store(i - 1);
                return false;
            }
            previous = kernel.Step(block.left, block.right, storage.out);
        } else {
            std::fill(block.left.begin(), block.left.end(), 0.0f);
            std::fill(block.right.begin(), block.right.end(), 0.0f);
            previous = kernel.Drain(storage.out);
        }
        block.counts = kernel.Counts();
        if (previous && !store(i - 1)) return false;
    }
    return !kernel.Finish(storage.out) || store(plan.blocks);
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

// Where the passes put their blocks and what they tell. The sink is
// finished at the end of the passes, also when they stop early.
struct PassOutput {
    BlockSink& sink;
    BlockTap* tap = nullptr;
    RunSummary& summary;
};

struct PassOutcome {
    RunResult result = RunResult::RunOk;
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
PassOutcome RunPasses(SoundReader& reader, RunStorage& storage, const RunParameters& settings,
                      RunObserver& observer, const std::string& label, const PassPlan& plan,
                      const PassOutput& output) {
    observer.BeginBusy();
    const SoundFormat format = reader.Format();
    const ToneFilters filters =
        DesignToneFilters(static_cast<unsigned>(format.sampleRate), ToneSettingsOf(settings));
    if (storage.enhanced) storage.enhanced->BeginAnalysis(filters.rumbleCoeffs, settings);
    ChannelStats stats;
    const AnalysisOutcome analysis = MeasureChannels(
        reader, storage.analysis, storage.enhanced ? &storage.enhanced->analysis : nullptr,
        observer, plan.threads, stats);
    if (analysis != AnalysisOutcome::Measured) {
        output.sink.Finish();  // a Start run's output: closed with an empty data part, left on disk
        observer.EndBusy();
        return {.result = analysis == AnalysisOutcome::Stopped ? RunResult::RunIncomplete
                                                               : RunResult::RunBadInput};
    }
    const KernelParams params = DeriveKernelParams(settings, stats);
    output.summary.derived =
        DerivedParameters{.kernel = params, .hissLowPass = filters.hissActive, .enhanced = {}};
    observer.EndBusy();

    PassOutcome outcome;
    if (output.tap != nullptr) {
        output.tap->Begin({.sampleRate = format.sampleRate,
                           .inputFrames = format.frames,
                           .blocks = plan.blocks,
                           .antiPhase = settings.antiPhase,
                           .outputDelayFrames = KernelDelayOf(settings.method),
                           .flagLagFrames = ClickFlagLagOf(settings.method)});
        outcome.tapped = true;
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
    if (!output.sink.Finish()) complete = false;
    outcome.result = complete ? RunResult::RunOk : RunResult::RunIncomplete;
    return outcome;
}

// A whole run: its summary (result included), and whether the tap was begun.
struct FileOutcome {
    RunSummary summary;
    bool tapped = false;
};

// Sizes the preview buffer for every block of the pass; false when it
// cannot have that size.
bool SizePreview(PreviewBuffer& preview, const PassPlan& plan, const SoundFormat& format,
                 const std::filesystem::path& input) {
    preview = PreviewBuffer{};
    preview.sampleRate = format.sampleRate;
    preview.label = input.stem().string();
    try {
        preview.samples.resize(static_cast<std::size_t>(plan.blocks * kBlockLength));
        preview.original.resize(preview.samples.size());
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

FileOutcome RunFile(const RunRequest& request, RunObserver& observer) {
    FileOutcome outcome;
    RunSummary& summary = outcome.summary;
    const auto end = [&](RunResult result) {
        summary.result = result;
        return outcome;
    };
    const bool preview = request.kind == RunKind::Preview;

    // A stop request while the length of the input was being counted gives
    // up the run before anything is created.
    bool stopped = false;
    std::unique_ptr<SoundReader> reader = SoundReader::Open(
        request.input, [&] { return stopped = observer.StopRequested(); }, request.raw);
    if (!reader) return end(stopped ? RunResult::RunIncomplete : RunResult::RunBadInput);
    const SoundFormat format = reader->Format();
    summary.input = format;
    if (const RunResult refusal = RefusalOf(format); refusal != RunResult::RunOk) {
        return end(refusal);
    }

    const std::unique_ptr<RunStorage> storage = AllocateStorage(request.params.method);
    if (!storage) return end(RunResult::RunNoOutput);

    const PassPlan plan = PlanOf(request, format);
    std::unique_ptr<SoundWriter> writer;
    std::optional<FileSink> fileSink;
    std::optional<PreviewSink> previewSink;
    std::string label;
    if (preview) {
        if (request.preview == nullptr ||
            !SizePreview(*request.preview, plan, format, request.input)) {
            return end(RunResult::RunNoOutput);
        }
        label = request.preview->label;
        previewSink.emplace(*request.preview, KernelDelayOf(request.params.method),
                            request.params.antiPhase);
    } else {
        std::filesystem::path chosen;
        CreateStatus status = CreateStatus::Failed;
        writer = CreateFirstFreeOutput(
            request.output, format.Converted(request.archive.header, request.archive.bits),
            kOutputComment, chosen, status);
        if (!writer) return end(RunResult::RunNoOutput);
        summary.output = chosen;
        label = chosen.stem().string();
        if (request.archive.keepMetadata) {
            summary.metadata = CarryOver(*reader, *writer, request.archive);
        }
        // An aligned output drops the kernel's delay and ends with the input.
        summary.aligned = request.archive.align;
        const int delay = KernelDelayOf(request.params.method);
        fileSink.emplace(
            *writer, summary.aligned ? OutputWindow{delay, delay + format.frames} : OutputWindow{});
    }
    BlockSink& sink = preview ? static_cast<BlockSink&>(*previewSink) : *fileSink;
    const PassOutcome passes =
        RunPasses(*reader, *storage, request.params, observer, label, plan,
                  PassOutput{.sink = sink, .tap = request.tap, .summary = summary});
    if (writer) summary.output = writer->Path();  // the committed name (output_naming.h)
    if (preview && summary.derived) {
        request.preview->originalGain =
            std::fabs(summary.derived->kernel.wL) + std::fabs(summary.derived->kernel.wR);
    }
    outcome.tapped = passes.tapped;
    return end(passes.result);
}

}  // namespace

RunResult ProcessFile(const RunRequest& request, RunObserver& observer,
                      std::filesystem::path* createdOutput) {
    const auto started = std::chrono::steady_clock::now();
    FileOutcome outcome = RunFile(request, observer);
    RunSummary& summary = outcome.summary;
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (createdOutput != nullptr) *createdOutput = summary.output;
    if (request.summary != nullptr) *request.summary = summary;
    if (outcome.tapped) request.tap->End(summary);
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
    FileSink sink(output, OutputWindow{});
    RunSummary summary;
    return RunPasses(input, *storage, params, observer, "",
                     PassPlan{.inputBlocks = blocks, .blocks = blocks},
                     PassOutput{.sink = sink, .summary = summary})
        .result;
}

}  // namespace sonorel

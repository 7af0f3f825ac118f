#include "pipeline/process_file.h"

#include <array>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/channel_analysis.h"
#include "engine/kernel.h"
#include "filters/tone_filters.h"
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

// Where the processed blocks go: the output file of a Start run, or the
// preview buffer.
class BlockSink {
  public:
    explicit BlockSink(SoundWriter* writer) : writer_(writer) {}
    explicit BlockSink(std::vector<std::int16_t>* preview) : preview_(preview) {}

    bool IsPreview() const { return preview_ != nullptr; }

    bool Append(std::span<const float, kBlockLength> block) {
        if (writer_ != nullptr) return writer_->Write(block);
        std::int16_t* to = preview_->data() + previewSamples_;
        for (float value : block)
            *to++ = ToPreviewSample(value);
        previewSamples_ += kBlockLength;
        return true;
    }

  private:
    SoundWriter* writer_ = nullptr;
    std::vector<std::int16_t>* preview_ = nullptr;
    std::int64_t previewSamples_ = 0;
};

// The processing pass. Returns whether every block was processed and stored;
// `samplesWritten` counts the samples that were.
bool RunProcessingPass(SoundReader& reader, RunStorage& storage, std::int64_t blocks,
                       BlockSink& sink, RunObserver& observer, std::int64_t& samplesWritten) {
    const std::span<float, kBlockLength> left(storage.left.data(), kBlockLength);
    const std::span<float, kBlockLength> right(storage.right.data(), kBlockLength);
    for (std::int64_t i = 1; i <= blocks; ++i) {
        if (reader.Read(left, right, kBlockLength) < 0) return false;
        storage.kernel.ProcessBlock(left, right, storage.out);
        if (!sink.Append(storage.out)) return false;  // the failed block does not count
        samplesWritten += kBlockLength;
        if (observer.UpdateProgress(i)) {
            // A preview stops at once; a Start run asks first, and a No
            // carries on with the next block, losing none.
            if (sink.IsPreview() || observer.ConfirmCancel()) return false;
            observer.ResumeProgress();
        }
    }
    return true;
}

// Why a run refuses an input before it touches anything, or RunOk.
RunResult RefusalOf(const SoundFormat& format) {
    if (format.channels != 2) return RunResult::RunNotStereo;
    if (format.frames < kAnalysisBlockFrames) return RunResult::RunBadInput;
    return RunResult::RunOk;
}

std::unique_ptr<RunStorage> AllocateStorage() {
    try {
        return std::make_unique<RunStorage>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

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
// buffer) exists; `blocks` is how many the processing pass makes. A Start
// run's output is closed here, so that its header states exactly the
// samples of the successful writes.
RunResult RunPasses(SoundReader& reader, RunStorage& storage, const RunParameters& settings,
                    int threads, RunObserver& observer, const std::string& label,
                    std::int64_t blocks, SoundWriter* writer,
                    std::vector<std::int16_t>* previewBuffer, std::int64_t& samplesWritten) {
    observer.BeginBusy();
    ChannelStats stats;
    const AnalysisOutcome analysis = MeasureChannels(reader, storage, observer, stats);
    if (analysis != AnalysisOutcome::Measured) {
        if (writer) writer->Close();  // closed with an empty data part, left on disk
        observer.EndBusy();
        return analysis == AnalysisOutcome::Stopped ? RunResult::RunIncomplete
                                                    : RunResult::RunBadInput;
    }
    const KernelParams params = DeriveKernelParams(settings, stats);
    const ToneFilters filters = DesignToneFilters(static_cast<unsigned>(reader.Format().sampleRate),
                                                  ToneSettingsOf(settings));
    observer.EndBusy();

    bool complete = false;
    observer.BeginProgress(ProgressKind::Processing, label, blocks);
    if (reader.Rewind()) {
        const LowPriorityScope lowPriority;
        PrepareKernel(storage.kernel, params, filters, threads);
        BlockSink sink = writer ? BlockSink(writer) : BlockSink(previewBuffer);
        complete = RunProcessingPass(reader, storage, blocks, sink, observer, samplesWritten);
    }
    observer.EndProgress();
    if (writer) {
        const bool closed = writer->Close();
        if (!closed) complete = false;
    }
    return complete ? RunResult::RunOk : RunResult::RunIncomplete;
}

}  // namespace

RunResult ProcessFile(const RunRequest& request, RunObserver& observer,
                      std::filesystem::path* createdOutput) {
    if (createdOutput != nullptr) createdOutput->clear();
    const bool preview = request.kind == RunKind::Preview;
    const RunParameters& settings = request.params;

    // A stop request while the length of the input was being counted gives
    // up the run before anything is created.
    bool stopped = false;
    std::unique_ptr<SoundReader> reader =
        SoundReader::Open(request.input, [&] { return stopped = observer.StopRequested(); });
    if (!reader) return stopped ? RunResult::RunIncomplete : RunResult::RunBadInput;
    const SoundFormat format = reader->Format();
    if (const RunResult refusal = RefusalOf(format); refusal != RunResult::RunOk) return refusal;

    const std::unique_ptr<RunStorage> storage = AllocateStorage();
    if (!storage) return RunResult::RunNoOutput;

    std::int64_t blocks = ProcessingBlocks(format.frames);
    std::unique_ptr<SoundWriter> writer;
    std::vector<std::int16_t> previewBuffer;
    std::string label;
    if (preview) {
        if (request.previewOutput == nullptr) return RunResult::RunNoOutput;
        label = request.input.stem().string();
        blocks = PreviewBlocks(format.frames, settings.previewSeconds, format.sampleRate);
        try {
            previewBuffer.resize(static_cast<std::size_t>(blocks * kBlockLength));
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
        if (createdOutput != nullptr) *createdOutput = chosen;
        label = chosen.stem().string();
    }

    std::int64_t samplesWritten = 0;
    const RunResult result = RunPasses(*reader, *storage, settings, request.threads, observer,
                                       label, blocks, writer.get(), &previewBuffer, samplesWritten);
    reader.reset();
    if (!preview || result != RunResult::RunOk) return result;
    return PlayPreview(*request.previewOutput, observer, label, format.sampleRate, previewBuffer,
                       samplesWritten);
}

RunResult RestoreOpened(SoundReader& input, SoundWriter& output, const RunParameters& params,
                        RunObserver& observer) {
    RunResult refusal = RefusalOf(input.Format());
    std::unique_ptr<RunStorage> storage;
    if (refusal == RunResult::RunOk) {
        storage = AllocateStorage();
        if (!storage) refusal = RunResult::RunNoOutput;
    }
    if (refusal != RunResult::RunOk) {
        output.Close();  // without a sample
        return refusal;
    }
    std::int64_t samplesWritten = 0;
    return RunPasses(input, *storage, params, 1, observer, "",
                     ProcessingBlocks(input.Format().frames), &output, nullptr, samplesWritten);
}

}  // namespace sonorel

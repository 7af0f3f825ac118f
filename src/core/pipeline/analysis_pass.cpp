#include "pipeline/analysis_pass.h"

#include <memory>
#include <optional>
#include <system_error>

#include "engine/worker_thread.h"

namespace sonorel {
namespace {

// What happens to one block once it has been read.
struct MeasureJob {
    const AnalysisBuffers::Block& block;
    AnalysisBuffers::Block& highPassed;
    std::array<float, 2>& highPassStates;  // left, right
    EnhancedAnalysis* enhanced;
    ChannelStats& stats;

    void operator()() const {
        if (enhanced != nullptr) enhanced->Add(block.left, block.right);
        AnalysisHighPassPair(highPassStates, block.left, block.right, highPassed.left,
                             highPassed.right);
        MeasureBlock(highPassed.left, highPassed.right, stats);
    }
};

// The worker of a two-thread pass, or none when one thread is asked for or
// the system refuses a thread (the same figures either way).
std::unique_ptr<WorkerThread<MeasureJob>> WorkerFor(int threads) {
    if (threads < 2) return nullptr;
    try {
        return std::make_unique<WorkerThread<MeasureJob>>();
    } catch (const std::system_error&) {
        return nullptr;
    }
}

}  // namespace

AnalysisOutcome MeasureChannels(SoundReader& reader, AnalysisBuffers& buffers,
                                EnhancedAnalysis* enhanced, RunObserver& observer, int threads,
                                ChannelStats& stats) {
    stats = ChannelStats{};
    std::array<float, 2> highPassStates{};
    const std::int64_t blocks = reader.Format().frames / kAnalysisBlockFrames;
    const std::unique_ptr<WorkerThread<MeasureJob>> worker = WorkerFor(threads);
    const auto read = [&](std::int64_t b) {
        AnalysisBuffers::Block& block = buffers.read[b % 2];
        return reader.Read(block.left, block.right, kAnalysisBlockFrames) >= 0;
    };
    if (blocks > 0) {
        if (observer.StopRequested()) return AnalysisOutcome::Stopped;
        if (!read(0)) return AnalysisOutcome::ReadFailed;
    }
    for (std::int64_t b = 0; b < blocks; ++b) {
        const MeasureJob job{.block = buffers.read[b % 2],
                             .highPassed = buffers.highPassed,
                             .highPassStates = highPassStates,
                             .enhanced = enhanced,
                             .stats = stats};
        // The next block is read into the other buffer while this one is measured.
        std::optional<AnalysisOutcome> stop;
        if (worker) worker->Start(job);
        if (b + 1 < blocks) {
            if (observer.StopRequested()) {
                stop = AnalysisOutcome::Stopped;
            } else if (!read(b + 1)) {
                stop = AnalysisOutcome::ReadFailed;
            }
        }
        if (worker) {
            worker->Finish();
        } else {
            job();
        }
        if (stop) return *stop;
    }
    return AnalysisOutcome::Measured;
}

}  // namespace sonorel

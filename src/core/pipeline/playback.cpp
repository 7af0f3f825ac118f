#include "pipeline/playback.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "pipeline/thread_priority.h"

namespace sonorel {
namespace {

enum class ChunkOutcome { Written, Stopped, Failed };

// Hands one chunk to the line in pieces of what it can take at once, so that
// the thread never waits inside the line, only in short sleeps between which
// it looks at stop.
ChunkOutcome WriteChunk(const PlaybackShared& shared, PlaybackOutput& output,
                        std::span<const std::int16_t> chunk) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point lastProgress = Clock::now();
    while (!chunk.empty()) {
        if (shared.stop.load(std::memory_order_acquire)) return ChunkOutcome::Stopped;
        const std::int64_t room = output.WritableFrames();
        if (room < 0) return ChunkOutcome::Failed;
        if (room == 0) {
            if (Clock::now() - lastProgress > shared.stallTimeout) return ChunkOutcome::Failed;
            std::this_thread::sleep_for(kPlaybackRoomPoll);
            continue;
        }
        const auto piece = static_cast<std::size_t>(
            std::min<std::int64_t>(room, static_cast<std::int64_t>(chunk.size())));
        if (!output.Write(chunk.first(piece))) return ChunkOutcome::Failed;
        chunk = chunk.subspan(piece);
        lastProgress = Clock::now();
    }
    return ChunkOutcome::Written;
}

}  // namespace

void PlaybackThread(PlaybackShared& shared, PlaybackOutput& output) {
    RaiseCurrentThreadPriority();
    bool stopped = false;
    for (std::int64_t i = shared.next.load(std::memory_order_relaxed); i < shared.chunks; ++i) {
        const std::span<const std::int16_t> chunk(shared.buffer + i * kPlaybackChunkSamples,
                                                  static_cast<std::size_t>(kPlaybackChunkSamples));
        const ChunkOutcome outcome = WriteChunk(shared, output, chunk);
        if (outcome != ChunkOutcome::Written) {
            shared.status.store(outcome == ChunkOutcome::Stopped ? RunResult::RunIncomplete
                                                                 : RunResult::RunNoOutput,
                                std::memory_order_relaxed);
            stopped = true;
            break;
        }
        shared.next.store(i + 1, std::memory_order_relaxed);
    }
    output.Close(/*drain=*/!stopped);
    // Last: the caller may release the buffer and read status once it sees this.
    shared.line.store(PlaybackShared::kLineClosed, std::memory_order_release);
}

RunResult PlayPreview(PlaybackOutput& output, RunObserver& observer, const std::string& label,
                      int sampleRate, std::span<const std::int16_t> buffer, std::int64_t samples,
                      std::chrono::milliseconds pollInterval,
                      std::chrono::milliseconds stallTimeout) {
    const std::int64_t available =
        std::min<std::int64_t>(samples, static_cast<std::int64_t>(buffer.size()));
    const std::int64_t chunks = available / kPlaybackChunkSamples;
    if (chunks < 1 || sampleRate <= 0) return RunResult::RunNoOutput;
    if (!output.Open(sampleRate, kPlaybackChunkSamples)) return RunResult::RunNoOutput;

    PlaybackShared shared;
    shared.buffer = buffer.data();
    shared.chunks = chunks;
    shared.stallTimeout = stallTimeout;
    shared.line.store(PlaybackShared::kLineOpen, std::memory_order_relaxed);

    std::thread worker;
    try {
        worker = std::thread(PlaybackThread, std::ref(shared), std::ref(output));
    } catch (const std::system_error&) {
        output.Close(/*drain=*/false);
        return RunResult::RunNoOutput;
    }

    observer.BeginProgress(ProgressKind::Playing, label, chunks);
    bool cancelled = false;
    while (shared.line.load(std::memory_order_acquire) != PlaybackShared::kLineClosed) {
        std::this_thread::sleep_for(pollInterval);
        if (observer.UpdateProgress(shared.next.load(std::memory_order_relaxed))) {
            cancelled = true;
            shared.stop.store(true, std::memory_order_release);
            while (shared.line.load(std::memory_order_acquire) != PlaybackShared::kLineClosed) {
                std::this_thread::sleep_for(pollInterval);
            }
        }
    }
    worker.join();
    // Show where playback ended (the last poll may predate the last chunks);
    // a cancel pressed now comes too late to matter.
    if (!cancelled) observer.UpdateProgress(shared.next.load(std::memory_order_relaxed));
    observer.EndProgress();
    return cancelled ? RunResult::RunIncomplete : shared.status.load();
}

RunResult PlayPreview(PlaybackOutput& output, RunObserver& observer, const PreviewBuffer& preview) {
    return PlayPreview(output, observer, preview.label, preview.sampleRate, preview.samples,
                       preview.stored);
}

}  // namespace sonorel

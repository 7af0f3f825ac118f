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

// Sample k of `source`.
std::int16_t SourceSample(const PlaybackShared& shared, PreviewSource source, std::int64_t k) {
    switch (source) {
        case PreviewSource::Original:
            return shared.original[k];
        case PreviewSource::Removed:
            return RemovedSample(shared.original[k], shared.buffer[k], shared.originalGain);
        case PreviewSource::Restored:
            break;
    }
    return shared.buffer[k];
}

// Chunk i of `source`, after a chunk of `previous`: straight from its buffer
// when it can be, else made in shared.mixed.
std::span<const std::int16_t> ChunkOf(PlaybackShared& shared, std::int64_t i,
                                      PreviewSource previous, PreviewSource source) {
    const std::int64_t first = i * kPlaybackChunkSamples;
    constexpr auto kLength = static_cast<std::size_t>(kPlaybackChunkSamples);
    if (previous == source && source == PreviewSource::Restored)
        return {shared.buffer + first, kLength};
    if (previous == source && source == PreviewSource::Original)
        return {shared.original + first, kLength};
    for (std::int64_t j = 0; j < kPlaybackChunkSamples; ++j) {
        const std::int16_t to = SourceSample(shared, source, first + j);
        shared.mixed[j] = previous != source && j < kPreviewCrossfadeSamples
                              ? CrossfadeSample(SourceSample(shared, previous, first + j), to,
                                                static_cast<int>(j))
                              : to;
    }
    return shared.mixed;
}

}  // namespace

void PlaybackThread(PlaybackShared& shared, PlaybackOutput& output) {
    RaiseCurrentThreadPriority();
    bool stopped = false;
    const std::int64_t start = shared.next.load(std::memory_order_relaxed);
    // The first chunk starts in the chosen source, without a fade.
    PreviewSource previous = shared.original == nullptr
                                 ? PreviewSource::Restored
                                 : shared.chosen.load(std::memory_order_relaxed);
    for (std::int64_t i = start; i < shared.chunks; ++i) {
        const PreviewSource source = shared.original == nullptr
                                         ? PreviewSource::Restored
                                         : shared.chosen.load(std::memory_order_relaxed);
        shared.playing.store(source, std::memory_order_relaxed);
        const std::span<const std::int16_t> chunk = ChunkOf(shared, i, previous, source);
        previous = source;
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
                      int sampleRate, const PreviewSamples& buffer, std::int64_t samples,
                      std::chrono::milliseconds pollInterval,
                      std::chrono::milliseconds stallTimeout) {
    const std::int64_t available =
        std::min<std::int64_t>(samples, static_cast<std::int64_t>(buffer.restored.size()));
    const std::int64_t chunks = available / kPlaybackChunkSamples;
    if (chunks < 1 || sampleRate <= 0) return RunResult::RunNoOutput;
    if (!output.Open(sampleRate, kPlaybackChunkSamples)) return RunResult::RunNoOutput;

    PlaybackShared shared;
    shared.buffer = buffer.restored.data();
    if (buffer.original.size() >= static_cast<std::size_t>(chunks * kPlaybackChunkSamples)) {
        shared.original = buffer.original.data();
        shared.originalGain = buffer.originalGain;
    }
    shared.chunks = chunks;
    shared.chosen.store(observer.ChosenSource(), std::memory_order_relaxed);
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
        const bool cancel = observer.UpdateProgress(shared.next.load(std::memory_order_relaxed));
        shared.chosen.store(observer.ChosenSource(), std::memory_order_relaxed);
        observer.ShowSource(shared.playing.load(std::memory_order_relaxed));
        if (cancel) {
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
    return PlayPreview(output, observer, preview.label, preview.sampleRate,
                       PreviewSamples{.restored = preview.samples,
                                      .original = preview.original,
                                      .originalGain = preview.originalGain},
                       preview.stored);
}

}  // namespace sonorel

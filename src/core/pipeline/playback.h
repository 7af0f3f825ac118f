#pragma once
// Preview playback: a worker thread writes the preview buffer to the audio
// line chunk by chunk while the calling thread shows the progress, can stop
// it, and passes on the source the user chose to hear (preview_source.h).
//
// Threading contract of PlaybackShared (one record per playback, owned by
// PlayPreview and shared with the one PlaybackThread it starts):
//
//   field    written by                          read by
//   buffer   PlayPreview, before the thread      PlaybackThread
//   original PlayPreview, before the thread      PlaybackThread
//   originalGain  PlayPreview, before the thread PlaybackThread
//   chunks   PlayPreview, before the thread      PlaybackThread
//   chosen   PlayPreview (after each poll)       PlaybackThread, before each chunk
//   playing  PlaybackThread, before each chunk   PlayPreview (shown)
//   mixed    PlaybackThread                      PlaybackThread
//   line     PlayPreview (open, before the        PlayPreview (polls)
//            thread); PlaybackThread (closed)
//   next     PlaybackThread                      PlayPreview (progress)
//   status   PlaybackThread                      PlayPreview, after line closed
//   stop     PlayPreview                         PlaybackThread, before each chunk
//
// Every field has one writer while the thread runs. Fields written before the
// thread starts are published by the thread's creation. Two orders matter:
//  1. PlaybackThread stores line = kLineClosed (release) only after its last
//     write and after closing the line, and after its last store to status.
//  2. PlayPreview neither returns nor lets the buffer go before it has seen
//     line = kLineClosed (acquire) and has joined the thread; so the buffer is
//     never released while the thread could read it, and status is final.
// chosen and playing are lone values that publish nothing else (relaxed).
// stop is a request (release/acquire). The thread never waits inside the
// line: it writes what the line has room for and, while there is none,
// sleeps kPlaybackRoomPoll and looks at stop again, so a stop takes effect
// within that time even on a device that has stopped taking samples. The
// piece being written when stop is set is finished; the rest of its chunk
// is dropped. A line that takes nothing for `stallTimeout` has stalled: the
// playback ends as after a failed write.
//
// The source of a chunk is chosen as the thread begins it. A chunk of the
// restored or the original source unchanged from the chunk before is
// written straight from its buffer (so the restored source is the preview
// exactly); a chunk of the removed source, or the first after a switch, is
// made in `mixed`, the first kPreviewCrossfadeSamples of a switch faded
// from the previous source. Without an original (buffer only), the restored
// source plays whatever is chosen.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "pipeline/playback_output.h"
#include "pipeline/preview_buffer.h"
#include "pipeline/preview_source.h"
#include "pipeline/run_observer.h"
#include "pipeline/run_result.h"

namespace sonorel {

// A chunk is one write to the audio line and one step of the progress: 8
// processing blocks of 883 samples, 14128 bytes of 16-bit samples.
inline constexpr std::int64_t kPlaybackChunkSamples = 7064;
inline constexpr std::chrono::milliseconds kPlaybackPollInterval{125};
inline constexpr std::chrono::milliseconds kPlaybackRoomPoll{5};
// No room on the line for this long: the device has stopped or gone. A
// working device frees room every few milliseconds.
inline constexpr std::chrono::milliseconds kPlaybackStallTimeout{2000};

struct PlaybackShared {
    static constexpr int kLineOpen = 1;
    static constexpr int kLineClosed = -1;

    const std::int16_t* buffer = nullptr;
    const std::int16_t* original = nullptr;  // aligned with buffer; none: restored only
    float originalGain = 1.0f;               // PreviewBuffer::originalGain
    std::int64_t chunks = 0;
    std::atomic<PreviewSource> chosen{PreviewSource::Restored};
    std::atomic<PreviewSource> playing{PreviewSource::Restored};
    std::array<std::int16_t, kPlaybackChunkSamples> mixed{};
    std::chrono::milliseconds stallTimeout = kPlaybackStallTimeout;
    std::atomic<int> line{kLineClosed};
    std::atomic<std::int64_t> next{0};  // next chunk to write = chunks written so far
    std::atomic<RunResult> status{
        RunResult::RunOk};  // RunOk, RunNoOutput (write failed), RunIncomplete (stopped)
    std::atomic<bool> stop{false};
};

// The worker: raises its own priority, writes chunk `next` until all are
// written, a write fails, the line stalls or stop is seen, then closes
// `output` and sets line to kLineClosed. `output` must be open.
void PlaybackThread(PlaybackShared& shared, PlaybackOutput& output);

// The samples a preview can play: the restored ones and, aligned with them
// and as long, the original (empty: the restored source only).
struct PreviewSamples {
    std::span<const std::int16_t> restored;
    std::span<const std::int16_t> original;
    float originalGain = 1.0f;
};

// Plays the first `samples` samples of `buffer` (whole chunks of 7064; a
// partial last chunk is not played) on `output` at `sampleRate`, showing the
// Playing progress through `observer` and polling the playback thread every
// `pollInterval`; at each poll the observer's chosen source is passed on to
// the thread and the one playing shown. Returns RunOk when played to the end, RunIncomplete when
// the observer cancelled, RunNoOutput when there is no chunk to play, the
// line does not open, a write failed or the line stalled. Returns only after
// the playback thread has ended.
RunResult PlayPreview(PlaybackOutput& output, RunObserver& observer, const std::string& label,
                      int sampleRate, const PreviewSamples& buffer, std::int64_t samples,
                      std::chrono::milliseconds pollInterval = kPlaybackPollInterval,
                      std::chrono::milliseconds stallTimeout = kPlaybackStallTimeout);
// The restored samples only.
inline RunResult PlayPreview(PlaybackOutput& output, RunObserver& observer,
                             const std::string& label, int sampleRate,
                             std::span<const std::int16_t> buffer, std::int64_t samples,
                             std::chrono::milliseconds pollInterval = kPlaybackPollInterval,
                             std::chrono::milliseconds stallTimeout = kPlaybackStallTimeout) {
    return PlayPreview(output, observer, label, sampleRate,
                       PreviewSamples{.restored = buffer, .original = {}, .originalGain = 1.0f},
                       samples, pollInterval, stallTimeout);
}

// Plays what a preview run left in `preview`, with its label and rate.
RunResult PlayPreview(PlaybackOutput& output, RunObserver& observer, const PreviewBuffer& preview);

}  // namespace sonorel

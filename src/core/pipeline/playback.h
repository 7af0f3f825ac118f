#pragma once
// Preview playback: a worker thread writes the preview buffer to the audio
// line chunk by chunk while the calling thread shows the progress and can stop
// it.
//
// Threading contract of PlaybackShared (one record per playback, owned by
// PlayPreview and shared with the one PlaybackThread it starts):
//
//   field    written by                          read by
//   buffer   PlayPreview, before the thread      PlaybackThread
//   chunks   PlayPreview, before the thread      PlaybackThread
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
// stop is a request (release/acquire). The thread never waits inside the
// line: it writes what the line has room for and, while there is none,
// sleeps kPlaybackRoomPoll and looks at stop again, so a stop takes effect
// within that time even on a device that has stopped taking samples. The
// piece being written when stop is set is finished; the rest of its chunk
// is dropped. A line that takes nothing for `stallTimeout` has stalled: the
// playback ends as after a failed write.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "pipeline/playback_output.h"
#include "pipeline/preview_buffer.h"
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
    std::int64_t chunks = 0;
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

// Plays the first `samples` samples of `buffer` (whole chunks of 7064; a
// partial last chunk is not played) on `output` at `sampleRate`, showing the
// Playing progress through `observer` and polling the playback thread every
// `pollInterval`. Returns RunOk when played to the end, RunIncomplete when
// the observer cancelled, RunNoOutput when there is no chunk to play, the
// line does not open, a write failed or the line stalled. Returns only after
// the playback thread has ended.
RunResult PlayPreview(PlaybackOutput& output, RunObserver& observer, const std::string& label,
                      int sampleRate, std::span<const std::int16_t> buffer, std::int64_t samples,
                      std::chrono::milliseconds pollInterval = kPlaybackPollInterval,
                      std::chrono::milliseconds stallTimeout = kPlaybackStallTimeout);

// Plays what a preview run left in `preview`, with its label and rate.
RunResult PlayPreview(PlaybackOutput& output, RunObserver& observer, const PreviewBuffer& preview);

}  // namespace sonorel

// Preview playback against a fake audio line: what reaches the line, the
// progress it reports, and how it ends on cancel and on failure.

#include "pipeline/playback.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "support/fake_playback_output.h"
#include "support/scripted_observer.h"

namespace sonorel {
namespace {

using test::FakePlaybackOutput;
using test::PatternBuffer;
using test::ScriptedObserver;
using namespace std::chrono_literals;

// Polling quickly keeps the tests short; the order of events is the same at
// any poll interval.
constexpr auto kFastPoll = 5ms;

TEST(Playback, PlaysEveryWholeChunkInOrderAndReportsProgress) {
    const auto buffer = PatternBuffer(3 * kPlaybackChunkSamples + 100);
    FakePlaybackOutput output;
    ScriptedObserver observer;

    const RunResult result = PlayPreview(output, observer, "side1", 22050, buffer,
                                         static_cast<std::int64_t>(buffer.size()), kFastPoll);

    EXPECT_EQ(result, RunResult::RunOk);
    EXPECT_EQ(output.SampleRate(), 22050);
    EXPECT_EQ(output.ChunkFrames(), 7064);
    EXPECT_EQ(output.Writes(), 3);
    // The partial chunk at the end is not played.
    const std::vector<std::int16_t> played = output.Samples();
    ASSERT_EQ(played.size(), 3u * 7064u);
    EXPECT_TRUE(std::equal(played.begin(), played.end(), buffer.begin()));
    EXPECT_EQ(output.Closes(), 1);
    EXPECT_TRUE(output.Drained());

    EXPECT_EQ(observer.Calls(),
              (std::vector<std::string>{"BeginProgress Playing side1 3", "EndProgress"}));
    const auto updates = observer.Updates();
    ASSERT_FALSE(updates.empty());
    EXPECT_TRUE(std::is_sorted(updates.begin(), updates.end()));
    EXPECT_GE(updates.front(), 0);
    EXPECT_EQ(updates.back(), 3);  // the display ends where playback ended
}

TEST(Playback, NothingToPlayOrNoLineIsNoOutput) {
    const auto buffer = PatternBuffer(kPlaybackChunkSamples);
    FakePlaybackOutput output;
    ScriptedObserver observer;
    EXPECT_EQ(PlayPreview(output, observer, "x", 44100, buffer, kPlaybackChunkSamples - 1),
              RunResult::RunNoOutput);
    EXPECT_EQ(PlayPreview(output, observer, "x", 44100, buffer, 0), RunResult::RunNoOutput);
    EXPECT_EQ(PlayPreview(output, observer, "x", 0, buffer, kPlaybackChunkSamples),
              RunResult::RunNoOutput);
    // More samples claimed than the buffer holds: only what it holds counts.
    EXPECT_EQ(PlayPreview(output, observer, "x", 44100, std::span(buffer).first(100),
                          kPlaybackChunkSamples),
              RunResult::RunNoOutput);
    EXPECT_EQ(output.Opens(), 0);

    // A line that cannot be opened: nothing is shown or written.
    output.openSucceeds = false;
    EXPECT_EQ(PlayPreview(output, observer, "x", 44100, buffer, kPlaybackChunkSamples, kFastPoll),
              RunResult::RunNoOutput);
    EXPECT_EQ(output.Writes(), 0);
    EXPECT_TRUE(observer.Calls().empty());
}

TEST(Playback, FailedWriteEndsPlaybackAtThatChunkAndClosesTheLine) {
    const auto buffer = PatternBuffer(5 * kPlaybackChunkSamples);
    FakePlaybackOutput output;
    output.failAtWrite = 2;
    ScriptedObserver observer;

    EXPECT_EQ(
        PlayPreview(output, observer, "x", 44100, buffer, 5 * kPlaybackChunkSamples, kFastPoll),
        RunResult::RunNoOutput);
    EXPECT_EQ(output.Writes(), 3);  // chunks 0 and 1 played, chunk 2 failed, no more tried
    EXPECT_EQ(output.Samples().size(), 2u * 7064u);
    EXPECT_EQ(output.Closes(), 1);
    EXPECT_FALSE(output.Drained());
    EXPECT_EQ(observer.Updates().back(), 2);
}

TEST(Playback, CancelStopsBetweenChunksAndReturnsOnlyAfterTheLineIsClosed) {
    constexpr std::int64_t kChunks = 200;
    auto buffer = PatternBuffer(kChunks * kPlaybackChunkSamples);
    FakePlaybackOutput output;
    output.writeDelay = 2ms;  // a slow line, so that the cancel usually comes early
    ScriptedObserver observer;
    observer.cancelAt = [](ProgressKind kind, std::int64_t) {
        return kind == ProgressKind::Playing;
    };

    const RunResult result = PlayPreview(output, observer, "x", 44100, buffer,
                                         kChunks * kPlaybackChunkSamples, kFastPoll);

    EXPECT_EQ(result, RunResult::RunIncomplete);
    EXPECT_EQ(output.Closes(), 1);
    EXPECT_FALSE(output.IsOpen());
    const int writes = output.Writes();
    // Every write that happened was whole and in order.
    const auto played = output.Samples();
    EXPECT_EQ(played.size(), static_cast<std::size_t>(writes) * 7064u);
    EXPECT_TRUE(std::equal(played.begin(), played.end(), buffer.begin()));

    // The thread is gone: the buffer may go, and the line sees no more writes.
    buffer.clear();
    buffer.shrink_to_fit();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(output.Writes(), writes);
    EXPECT_EQ(observer.Calls(),
              (std::vector<std::string>{"BeginProgress Playing x 200", "EndProgress"}));
}

// A device that stops taking samples, or disappears, holds up neither a
// cancel nor the end of the preview: the thread writes only what the line
// has room for. With a stall timeout of an hour, only the cancel can end the
// first case.
TEST(Playback, AStalledOrVanishedLineNeverHoldsUpTheEnd) {
    struct Case {
        const char* name;
        bool gone;
        bool cancel;
        std::chrono::milliseconds stallTimeout;
        RunResult expected;
    };
    for (const Case& c : {Case{"stalled, cancelled", false, true, 1h, RunResult::RunIncomplete},
                          Case{"stalled", false, false, 50ms, RunResult::RunNoOutput},
                          Case{"gone", true, false, 1h, RunResult::RunNoOutput}}) {
        SCOPED_TRACE(c.name);
        const auto buffer = PatternBuffer(3 * kPlaybackChunkSamples);
        FakePlaybackOutput output;
        output.stalled = true;
        output.gone = c.gone;
        ScriptedObserver observer;
        observer.cancelAt = [&](ProgressKind, std::int64_t) { return c.cancel; };

        EXPECT_EQ(PlayPreview(output, observer, "x", 44100, buffer, 3 * kPlaybackChunkSamples,
                              kFastPoll, c.stallTimeout),
                  c.expected);
        EXPECT_EQ(output.Writes(), 0);
        EXPECT_EQ(output.Closes(), 1);
        EXPECT_FALSE(output.Drained());
    }
}

TEST(Playback, StopDuringAChunkFinishesItAndWritesNoOther) {
    // The stop request arrives while chunk 1 is being written, as a cancel
    // pressed during playback does; the thread alone, without polling.
    const auto buffer = PatternBuffer(4 * kPlaybackChunkSamples);
    FakePlaybackOutput output;
    ASSERT_TRUE(output.Open(44100, kPlaybackChunkSamples));
    PlaybackShared shared;
    shared.buffer = buffer.data();
    shared.chunks = 4;
    shared.line = PlaybackShared::kLineOpen;
    output.onWrite = [&](int index) {
        if (index == 1) shared.stop = true;
    };

    PlaybackThread(shared, output);

    EXPECT_EQ(output.Writes(), 2);
    EXPECT_EQ(output.Samples().size(), 2u * 7064u);
    EXPECT_EQ(shared.next.load(), 2);
    EXPECT_EQ(shared.status.load(), RunResult::RunIncomplete);
    EXPECT_EQ(shared.line.load(), PlaybackShared::kLineClosed);
    EXPECT_EQ(output.Closes(), 1);
    EXPECT_FALSE(output.Drained());  // what was queued is dropped
}

}  // namespace
}  // namespace sonorel

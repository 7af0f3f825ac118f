// Preview playback through PortAudio's default output, with ALSA pointed at
// a configuration of the test's own. Each case runs in a child process, so
// that the configuration is set before PortAudio is first initialised and
// touches nothing outside the child.
//
// The capture cases make ALSA's default device the `file` plugin, which
// writes every sample it is given to a file (or a pipe) and passes it on to
// the `null` device; the test then compares the file with the preview buffer.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

#include "pipeline/playback.h"
#include "pipeline/process_file.h"
#include "portaudio/portaudio_output.h"
#include "support/alsa_capture.h"
#include "support/fake_playback_output.h"
#include "support/run_helpers.h"
#include "support/scripted_observer.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using test::AlsaCaptureConfig;
using test::ExitChild;
using test::kAlsaNoDeviceConfig;
using test::PatternBuffer;
using test::ReadCapture;
using test::ScriptedObserver;
using test::TempFolder;
using test::UseAlsaConfig;

TEST(PortAudioPlayback, DefaultOutputReceivesExactlyThePreviewSamples) {
    const TempFolder folder;
    const auto capture = folder / "capture.raw";
    const auto config = folder / "asound.conf";
    // Three whole chunks and a partial one that must not be played.
    const auto buffer = PatternBuffer(3 * kPlaybackChunkSamples + 500);

    EXPECT_EXIT(
        {
            UseAlsaConfig(config, AlsaCaptureConfig(capture));
            ScriptedObserver observer;
            const RunResult result = PlayPreview(*MakePortAudioOutput(), observer, "side1", 44100,
                                                 buffer, static_cast<std::int64_t>(buffer.size()));
            if (result != RunResult::RunOk)
                std::fprintf(stderr, "result %d\n", static_cast<int>(result));
            ExitChild(result == RunResult::RunOk);
        },
        ::testing::ExitedWithCode(0), "");

    // Little-endian 16-bit mono, exactly as in the buffer.
    const auto played = ReadCapture(capture);
    ASSERT_EQ(played.size(), 3u * 7064u);
    EXPECT_TRUE(std::equal(played.begin(), played.end(), buffer.begin()));
}

TEST(PortAudioPlayback, PreviewRunPlaysOnTheDefaultOutput) {
    const TempFolder folder;
    const auto capture = folder / "capture.raw";
    const auto config = folder / "asound.conf";
    const auto input = folder / "take.wav";
    test::WriteSoundFile(input, test::Wav16(), test::TransferSignal(20000, 44100));
    // What the preview run hands to a line: two chunks (N0 = 23 blocks).
    test::FakePlaybackOutput reference;
    ScriptedObserver referenceObserver;
    ASSERT_EQ(test::RunPreview(input, reference, referenceObserver), RunResult::RunOk);
    ASSERT_EQ(reference.Samples().size(), 2u * 7064u);

    EXPECT_EXIT(
        {
            UseAlsaConfig(config, AlsaCaptureConfig(capture));
            RunObserver quiet;
            ExitChild(test::RunPreview(input, *MakePortAudioOutput(), quiet) == RunResult::RunOk);
        },
        ::testing::ExitedWithCode(0), "");

    EXPECT_EQ(ReadCapture(capture), reference.Samples());
}

// A switch to the original while the preview plays, through the real line:
// the capture is fed through a pipe whose reader starts a second late, so
// that the line holds the playback back and the switch, asked for at the
// first poll, lands mid-way. Where exactly depends on the buffers on the
// way; the capture is the restored samples up to a chunk boundary, a
// crossfade there, and the original exactly after it.
TEST(PortAudioPlayback, ASwitchOfSourceReachesTheDefaultOutputAtAChunkBoundary) {
    constexpr std::int64_t kChunks = 16;
    const TempFolder folder;
    const auto capture = folder / "capture.raw";
    const auto config = folder / "asound.conf";
    const auto restored = PatternBuffer(kChunks * kPlaybackChunkSamples);
    std::vector<std::int16_t> original(restored.rbegin(), restored.rend());

    struct SwitchingObserver : ScriptedObserver {
        PreviewSource chosen = PreviewSource::Restored;
        bool UpdateProgress(std::int64_t value) override {
            chosen = PreviewSource::Original;
            return ScriptedObserver::UpdateProgress(value);
        }
        PreviewSource ChosenSource() override { return chosen; }
    };
    EXPECT_EXIT(
        {
            UseAlsaConfig(config, AlsaCaptureConfig("|sleep 1; exec cat > " + capture.string()));
            SwitchingObserver observer;
            const RunResult result = PlayPreview(
                *MakePortAudioOutput(), observer, "side1", 44100,
                PreviewSamples{.restored = restored, .original = original, .originalGain = 1.0f},
                static_cast<std::int64_t>(restored.size()), std::chrono::milliseconds(10));
            ExitChild(result == RunResult::RunOk);
        },
        ::testing::ExitedWithCode(0), "");

    const auto played = ReadCapture(capture);
    ASSERT_EQ(played.size(), restored.size());
    const auto switched = static_cast<std::size_t>(
        std::mismatch(played.begin(), played.end(), restored.begin()).first - played.begin());
    const auto chunk = static_cast<std::size_t>(kPlaybackChunkSamples);
    // Fade samples near the restored ones may equal them: the switch lies
    // within the fade of the chunk it falls in.
    const std::size_t boundary = switched / chunk * chunk;
    const std::size_t faded = boundary + kPreviewCrossfadeSamples - 1;
    EXPECT_GE(boundary, chunk);
    ASSERT_LE(boundary, played.size() - chunk);  // there was a switch
    ASSERT_LT(switched, faded);
    std::int64_t outside = 0;
    for (std::size_t k = boundary; k < faded; ++k) {
        outside += played[k] < std::min(restored[k], original[k]) ||
                   played[k] > std::max(restored[k], original[k]);
    }
    EXPECT_EQ(outside, 0);
    EXPECT_TRUE(std::equal(played.begin() + static_cast<std::ptrdiff_t>(faded), played.end(),
                           original.begin() + static_cast<std::ptrdiff_t>(faded)));
}

TEST(PortAudioPlayback, NoAudioDeviceIsNoOutputWithoutHanging) {
    const TempFolder folder;
    const auto config = folder / "asound.conf";
    const auto buffer = PatternBuffer(2 * kPlaybackChunkSamples);

    EXPECT_EXIT(
        {
            UseAlsaConfig(config, kAlsaNoDeviceConfig);
            ScriptedObserver observer;
            const RunResult result = PlayPreview(*MakePortAudioOutput(), observer, "side1", 44100,
                                                 buffer, static_cast<std::int64_t>(buffer.size()));
            ExitChild(result == RunResult::RunNoOutput && observer.Calls().empty());
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(PortAudioPlayback, PlaybacksOnSeveralThreadsSerialiseTheLibrarySetUp) {
    // Initialising and terminating PortAudio is not thread-safe; unguarded,
    // two threads doing it at once crash or corrupt its device list.
    const TempFolder folder;
    const auto config = folder / "asound.conf";
    const auto buffer = PatternBuffer(kPlaybackChunkSamples);

    EXPECT_EXIT(
        {
            UseAlsaConfig(config, kAlsaNoDeviceConfig);
            std::atomic<int> wrongResults{0};
            auto play = [&] {
                for (int i = 0; i < 20; ++i) {
                    RunObserver quiet;
                    if (PlayPreview(*MakePortAudioOutput(), quiet, "x", 44100, buffer,
                                    kPlaybackChunkSamples) != RunResult::RunNoOutput) {
                        ++wrongResults;
                    }
                }
            };
            std::thread first(play);
            std::thread second(play);
            first.join();
            second.join();
            ExitChild(wrongResults == 0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace sonorel

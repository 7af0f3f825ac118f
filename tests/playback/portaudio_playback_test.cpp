// Preview playback through PortAudio's default output, with ALSA pointed at
// a configuration of the test's own. Each case runs in a child process, so
// that the configuration is set before PortAudio is first initialised and
// touches nothing outside the child.
//
// The capture case makes ALSA's default device the `file` plugin, which
// writes every sample it is given to a file and passes it on to the `null`
// device; the test then compares the file with the preview buffer.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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

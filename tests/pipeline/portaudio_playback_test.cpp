// Preview playback through PortAudio's default output, with ALSA pointed at
// a configuration of the test's own. Each case runs in a child process, so
// that the configuration is set before PortAudio is first initialised and
// touches nothing outside the child.
//
// The capture case makes ALSA's default device the `file` plugin, which
// writes every sample it is given to a file and passes it on to the `null`
// device; the test then compares the file with the preview buffer.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "fake_playback_output.h"
#include "pipeline/playback.h"
#include "pipeline/process_file.h"
#include "run_helpers.h"
#include "scripted_observer.h"
#include "temp_folder.h"
#include "test_audio.h"

namespace sonorel {
namespace {

using test::ScriptedObserver;
using test::TempFolder;

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

// Only this process (a death-test child) sees the configuration. JACK is kept
// from starting or finding a server, so ALSA is the only way out.
void UseAlsaConfig(const std::filesystem::path& config) {
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("JACK_DEFAULT_SERVER", "sonorel-test-no-such-server", 1);
}

// Leaves the child at once: no leak report or static destructor of the
// audio libraries can change its exit code.
[[noreturn]] void ExitChild(bool passed) {
    std::fflush(nullptr);
    std::_Exit(passed ? 0 : 1);
}

// ALSA's default device becomes the `file` plugin writing to `capture`.
void WriteCaptureConfig(const std::filesystem::path& config, const std::filesystem::path& capture) {
    WriteText(config,
              "pcm.!default {\n"
              "    type file\n"
              "    slave.pcm \"null\"\n"
              "    file \"" +
                  capture.string() +
                  "\"\n"
                  "    format \"raw\"\n"
                  "}\n"
                  "pcm.null { type null }\n");
}

// Little-endian 16-bit samples.
std::vector<std::int16_t> ReadCapture(const std::filesystem::path& capture) {
    const auto bytes = test::ReadBytes(capture);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * i]) |
                                               static_cast<std::uint16_t>(bytes[2 * i + 1]) << 8);
    }
    return samples;
}

std::vector<std::int16_t> PatternBuffer(std::int64_t samples) {
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(samples));
    for (std::int64_t i = 0; i < samples; ++i) {
        buffer[static_cast<std::size_t>(i)] = static_cast<std::int16_t>((i * 7919) % 65521 - 32760);
    }
    return buffer;
}

TEST(PortAudioPlayback, DefaultOutputReceivesExactlyThePreviewSamples) {
    const TempFolder folder;
    const auto capture = folder / "capture.raw";
    const auto config = folder / "asound.conf";
    WriteCaptureConfig(config, capture);
    // Three whole chunks and a partial one that must not be played.
    const auto buffer = PatternBuffer(3 * kPlaybackChunkSamples + 500);

    EXPECT_EXIT(
        {
            UseAlsaConfig(config);
            ScriptedObserver observer;
            const RunResult result = PlayPreview(observer, "side1", 44100, buffer,
                                                 static_cast<std::int64_t>(buffer.size()));
            if (result != RunOk) std::fprintf(stderr, "result %d\n", result);
            ExitChild(result == RunOk);
        },
        ::testing::ExitedWithCode(0), "");

    // Little-endian 16-bit mono, exactly as in the buffer.
    const auto played = ReadCapture(capture);
    ASSERT_EQ(played.size(), 3u * 7064u);
    EXPECT_TRUE(std::equal(played.begin(), played.end(), buffer.begin()));
}

TEST(PortAudioPlayback, PreviewRunPlaysOnTheDefaultOutputWhenGivenNoLine) {
    const TempFolder folder;
    const auto capture = folder / "capture.raw";
    const auto config = folder / "asound.conf";
    WriteCaptureConfig(config, capture);
    const auto input = folder / "take.wav";
    test::WriteInput(input, test::Wav16(), 2, test::TransferSignal(20000, 44100));
    // What the preview run hands to a line: two chunks (N0 = 23 blocks).
    test::FakePlaybackOutput reference;
    ScriptedObserver referenceObserver;
    ASSERT_EQ(test::RunPreview(input, reference, referenceObserver), RunOk);
    ASSERT_EQ(reference.Samples().size(), 2u * 7064u);

    EXPECT_EXIT(
        {
            UseAlsaConfig(config);
            RunRequest request;
            request.input = input;
            RunObserver quiet;
            ExitChild(ProcessFile(request, quiet) == RunOk);
        },
        ::testing::ExitedWithCode(0), "");

    EXPECT_EQ(ReadCapture(capture), reference.Samples());
}

// A default device on a sound card that is not there: no device at all.
constexpr const char* kNoDeviceConfig = "pcm.!default { type hw card 29 }\n";

TEST(PortAudioPlayback, NoAudioDeviceIsNoOutputWithoutHanging) {
    const TempFolder folder;
    const auto config = folder / "asound.conf";
    WriteText(config, kNoDeviceConfig);
    const auto buffer = PatternBuffer(2 * kPlaybackChunkSamples);

    EXPECT_EXIT(
        {
            UseAlsaConfig(config);
            ScriptedObserver observer;
            const RunResult result = PlayPreview(observer, "side1", 44100, buffer,
                                                 static_cast<std::int64_t>(buffer.size()));
            ExitChild(result == RunNoOutput && observer.Calls().empty());
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(PortAudioPlayback, PlaybacksOnSeveralThreadsSerialiseTheLibrarySetUp) {
    // Initialising and terminating PortAudio is not thread-safe; unguarded,
    // two threads doing it at once crash or corrupt its device list.
    const TempFolder folder;
    const auto config = folder / "asound.conf";
    WriteText(config, kNoDeviceConfig);
    const auto buffer = PatternBuffer(kPlaybackChunkSamples);

    EXPECT_EXIT(
        {
            UseAlsaConfig(config);
            std::atomic<int> wrongResults{0};
            auto play = [&] {
                for (int i = 0; i < 20; ++i) {
                    RunObserver quiet;
                    if (PlayPreview(quiet, "x", 44100, buffer, kPlaybackChunkSamples) !=
                        RunNoOutput) {
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

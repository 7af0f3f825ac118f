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

#include "pipeline/playback.h"
#include "scripted_observer.h"
#include "temp_folder.h"

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
    std::ifstream in(capture, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(bytes.size(), 3u * 14128u);
    for (std::size_t i = 0; i < 3u * 7064u; ++i) {
        const auto sample =
            static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * i]) |
                                      static_cast<std::uint16_t>(bytes[2 * i + 1]) << 8);
        ASSERT_EQ(sample, buffer[i]) << "sample " << i;
    }
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

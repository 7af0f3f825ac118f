// End-to-end Start runs through real files: each format in and out, the
// frame-count edges, refused inputs and the output's name.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>
#include <string_view>

#include "pipeline/process_file.h"
#include "pipeline/run_blocks.h"
#include "settings/product.h"
#include "support/files.h"
#include "support/run_helpers.h"
#include "support/scripted_observer.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using namespace sonorel::test;

// The kernel's delay: the first three blocks of every output are silent.
constexpr std::size_t kSilentSamples = 3 * 883;

struct FormatCase {
    const char* name;
    HeaderType header;
    SampleEncoding encoding;
    const char* extension;
    int sampleRate;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class FormatRoundTrip : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatRoundTrip, OutputKeepsHeaderTypeDataFormatRateAndGetsTheComment) {
    const FormatCase& c = GetParam();
    const TempFolder folder;
    const auto input = folder / (std::string("side1") + c.extension);
    const auto outFolder = folder / "out";
    std::filesystem::create_directory(outFolder);
    constexpr std::int64_t kFrames = 22050;
    WriteSoundFile(input, SoundFormat::Make(c.header, c.encoding, c.sampleRate, 2),
                   TransferSignal(kFrames, c.sampleRate));
    const SoundFormat inputFormat = SoundReader::Open(input)->Format();

    const StartOutcome run = RunStart(input, outFolder);

    ASSERT_EQ(run.result, RunResult::RunOk);
    EXPECT_EQ(run.output, outFolder / (std::string("side1") + c.extension));
    const MonoFile out = ReadMono(run.output);
    EXPECT_EQ(out.format.code, inputFormat.code);
    EXPECT_EQ(out.format.sampleRate, c.sampleRate);
    EXPECT_EQ(out.format.channels, 1);
    EXPECT_EQ(out.format.frames, ProcessingBlocks(kFrames) * 883);
    EXPECT_EQ(out.comment, out.format.CanStoreComment() ? kOutputComment : "");
    ASSERT_EQ(out.samples.size(), static_cast<std::size_t>(out.format.frames));
    EXPECT_TRUE(std::all_of(out.samples.begin(), out.samples.begin() + kSilentSamples,
                            [](float v) { return v == 0.0f; }));
    const float peak =
        std::abs(*std::max_element(out.samples.begin(), out.samples.end(),
                                   [](float a, float b) { return std::abs(a) < std::abs(b); }));
    EXPECT_GT(peak, 0.05f) << "the music must come through";
    EXPECT_LE(peak, 0.999f);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatRoundTrip,
    ::testing::Values(
        FormatCase{"Wav16", HeaderType::Wav, SampleEncoding::Pcm16, ".wav", 44100},
        FormatCase{"Wav24", HeaderType::Wav, SampleEncoding::Pcm24, ".wav", 48000},
        FormatCase{"WavFloat", HeaderType::Wav, SampleEncoding::Float32, ".wav", 44100},
        FormatCase{"Aiff16", HeaderType::Aiff, SampleEncoding::Pcm16, ".aiff", 22050},
        FormatCase{"Au16", HeaderType::Au, SampleEncoding::Pcm16, ".au", 8000},
        FormatCase{"Flac16", HeaderType::Flac, SampleEncoding::Pcm16, ".flac", 44100},
        FormatCase{"Flac24", HeaderType::Flac, SampleEncoding::Pcm24, ".flac", 96000}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ProcessFile, HeaderlessInputIsBigEndian16BitStereoAt44100AndGivesHeaderlessOutput) {
    // The same samples as a headerless file and as a 16-bit WAV: the raw
    // output must hold exactly the WAV output's samples, big-endian, and
    // nothing else.
    const TempFolder folder;
    const auto signal = TransferSignal(12000, 44100, 7);
    const auto raw = folder / "take.raw";
    const auto wav = folder / "take.wav";
    WriteSoundFile(
        raw, SoundFormat::Make(HeaderType::Raw, SampleEncoding::Pcm16, 44100, 2, ByteOrder::Big),
        signal);
    WriteSoundFile(wav, Wav16(), signal);
    std::filesystem::create_directory(folder / "out");

    const StartOutcome rawRun = RunStart(raw, folder / "out");
    const StartOutcome wavRun = RunStart(wav, folder / "out");

    ASSERT_EQ(rawRun.result, RunResult::RunOk);
    ASSERT_EQ(wavRun.result, RunResult::RunOk);
    EXPECT_EQ(rawRun.output, folder / "out" / "take.raw");
    const auto bytes = ReadBytes(rawRun.output);
    const MonoFile reference = ReadMono(wavRun.output);
    ASSERT_EQ(bytes.size(), 2 * reference.samples.size());
    EXPECT_EQ(reference.samples.size(), 14u * 883u);
    for (std::size_t i = 0; i < reference.samples.size(); ++i) {
        const auto value = static_cast<std::int16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        ASSERT_EQ(value, std::lround(reference.samples[i] * 32768.0f)) << "sample " << i;
    }
}

TEST(ProcessFile, FrameCountEdges) {
    const TempFolder folder;
    std::filesystem::create_directory(folder / "out");
    // Below one analysis block: refused, nothing created.
    WriteSoundFile(folder / "short.wav", Wav16(), TransferSignal(7059, 44100));
    EXPECT_EQ(RunStart(folder / "short.wav", folder / "out").result, RunResult::RunBadInput);
    EXPECT_EQ(FileNamesIn(folder / "out").size(), 0u);

    // N x 883 samples for F frames, N = ceil(F / 883): between F and F + 882.
    for (const std::int64_t frames : {7060, 7947, 7948, 10000, 15893}) {
        SCOPED_TRACE(frames);
        const auto input = folder / ("f" + std::to_string(frames) + ".wav");
        WriteSoundFile(input, Wav16(), TransferSignal(frames, 44100));
        const StartOutcome run = RunStart(input, folder / "out");
        ASSERT_EQ(run.result, RunResult::RunOk);
        const std::int64_t blocks = (frames + 882) / 883;
        EXPECT_EQ(ReadMono(run.output).format.frames, blocks * 883);
    }
    EXPECT_EQ(ReadMono(folder / "out" / "f7060.wav").format.frames, 7064);
}

TEST(ProcessFile, InputsWithoutExactlyTwoChannelsAreRefusedAndCreateNothing) {
    const TempFolder folder;
    std::filesystem::create_directory(folder / "out");
    for (const int channels : {1, 3, 4}) {
        SCOPED_TRACE(channels);
        const auto input = folder / ("ch" + std::to_string(channels) + ".wav");
        WriteSoundFile(input,
                       SoundFormat::Make(HeaderType::Wav, SampleEncoding::Pcm16, 44100, channels),
                       MakeSignal(20000, channels, [](std::int64_t f, int c) {
                           return 0.3f * std::sin(0.05f * static_cast<float>(f) + c);
                       }));
        ScriptedObserver observer;
        EXPECT_EQ(RunStart(input, folder / "out", observer).result, RunResult::RunNotStereo);
        EXPECT_TRUE(observer.Calls().empty());
    }
    EXPECT_EQ(FileNamesIn(folder / "out").size(), 0u);
}

TEST(ProcessFile, UnreadableInputsAreBadInput) {
    const TempFolder folder;
    std::filesystem::create_directory(folder / "out");
    // Missing; a folder; a recognised header that is damaged.
    std::filesystem::create_directory(folder / "folder.wav");
    {
        std::ofstream damaged(folder / "damaged.wav", std::ios::binary);
        // As a string_view: a plain literal would stop at the first NUL.
        damaged << std::string_view("RIFF\x10\x00\x00\x00WAVEfmt ", 16);
    }
    for (const char* name : {"missing.wav", "folder.wav", "damaged.wav"}) {
        SCOPED_TRACE(name);
        ScriptedObserver observer;
        std::filesystem::path created = "unchanged";
        RunRequest request;
        request.input = folder / name;
        request.output = NameOutputFor(request.input, (folder / "out").string());
        EXPECT_EQ(ProcessFile(request, observer, &created), RunResult::RunBadInput);
        EXPECT_TRUE(created.empty());
        EXPECT_TRUE(observer.Calls().empty());
    }
    EXPECT_EQ(FileNamesIn(folder / "out").size(), 0u);
}

TEST(ProcessFile, OutputThatCannotBeCreatedIsNoOutput) {
    const TempFolder folder;
    WriteSoundFile(folder / "in.wav", Wav16(), TransferSignal(8000, 44100));
    ScriptedObserver observer;
    EXPECT_EQ(RunStart(folder / "in.wav", folder / "no-such-folder", observer).result,
              RunResult::RunNoOutput);
    EXPECT_TRUE(observer.Calls().empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "no-such-folder"));
}

TEST(ProcessFile, TakenNamesAreSkippedAndTheLabelIsTheChosenName) {
    const TempFolder folder;
    const auto input = folder / "in.wav";
    WriteSoundFile(input, Wav16(), TransferSignal(8000, 44100));
    std::filesystem::create_directory(folder / "out");
    { std::ofstream(folder / "out" / "in.wav") << "someone else's file"; }
    std::filesystem::create_directory(folder / "out" / "in-1.wav");

    ScriptedObserver observer;
    const StartOutcome run = RunStart(input, folder / "out", observer);

    ASSERT_EQ(run.result, RunResult::RunOk);
    EXPECT_EQ(run.output, folder / "out" / "in-2.wav");
    EXPECT_EQ(ReadBytes(folder / "out" / "in.wav").size(), 19u);  // untouched
    EXPECT_EQ(observer.Calls(),
              (std::vector<std::string>{"BeginBusy", "EndBusy", "BeginProgress Processing in-2 10",
                                        "EndProgress"}));
    std::vector<std::int64_t> everyBlock(10);
    std::iota(everyBlock.begin(), everyBlock.end(), 1);
    EXPECT_EQ(observer.Updates(), everyBlock);
}

}  // namespace
}  // namespace sonorel

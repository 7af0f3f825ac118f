// Preview runs, played on a fake line: how much is processed and played,
// what the samples are, and how a cancel ends them.

#include <gtest/gtest.h>

#include <cmath>

#include "pipeline/process_file.h"
#include "support/fake_playback_output.h"
#include "support/files.h"
#include "support/run_helpers.h"
#include "support/scripted_observer.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using namespace sonorel::test;

TEST(Preview, ProcessesAndPlaysWholeChunksOnly) {
    struct Case {
        std::int64_t frames;
        int previewSeconds;
        int sampleRate;
        std::int64_t blocks;  // processed
        std::int64_t chunks;  // played
    };
    // 20 s at 44100 Hz of a longer file: 125 chunks of 8 blocks, 1000 x 883
    // samples (about 20.02 s). 100000 frames: N0 = 114 blocks, cut to whole chunks: 112 blocks, 14
    // chunks. 7060 to 13245 frames: one chunk; 13246: two. A 1 s preview at
    // 22050 Hz: ceil(22050 / 7064) = 4 chunks of a longer file.
    for (const Case c : {Case{900000, 20, 44100, 1000, 125}, Case{100000, 20, 44100, 112, 14},
                         Case{7060, 20, 44100, 8, 1}, Case{13245, 20, 44100, 8, 1},
                         Case{13246, 20, 44100, 16, 2}, Case{44100, 1, 22050, 32, 4}}) {
        SCOPED_TRACE(c.frames);
        const TempFolder folder;
        const auto input = folder / "take.wav";
        WriteSoundFile(input, Wav16(c.sampleRate), TransferSignal(c.frames, c.sampleRate));
        FakePlaybackOutput output;
        ScriptedObserver observer;
        RunParameters params;
        params.previewSeconds = c.previewSeconds;

        ASSERT_EQ(RunPreview(input, output, observer, params), RunResult::RunOk);

        EXPECT_EQ(observer.Calls(),
                  (std::vector<std::string>{
                      "BeginBusy", "EndBusy",
                      "BeginProgress Processing take " + std::to_string(c.blocks), "EndProgress",
                      "BeginProgress Playing take " + std::to_string(c.chunks), "EndProgress"}));
        EXPECT_EQ(output.SampleRate(), c.sampleRate);
        EXPECT_EQ(output.Writes(), c.chunks);
        EXPECT_EQ(output.Samples().size(), static_cast<std::size_t>(c.chunks * 7064));
        EXPECT_EQ(FileNamesIn(folder.Path()).size(), 1u) << "a preview writes no file";
    }
}

TEST(Preview, SamplesAreTheRestoredOutputTimes32768TruncatedTowardZero) {
    const TempFolder folder;
    const auto input = folder / "take.wav";
    WriteSoundFile(input, FloatWav(), TransferSignal(30000, 44100, 3));
    std::filesystem::create_directory(folder / "out");
    RunParameters params;
    params.bassLiftDb = 6;
    params.trebleLiftDb = -4;
    const StartOutcome start = RunStart(input, folder / "out", params);
    ASSERT_EQ(start.result, RunResult::RunOk);
    const MonoFile restored = ReadMono(start.output);

    FakePlaybackOutput output;
    ScriptedObserver observer;
    ASSERT_EQ(RunPreview(input, output, observer, params), RunResult::RunOk);

    const auto played = output.Samples();
    ASSERT_EQ(played.size(), 32u * 883u);  // 34 blocks cut to 4 whole chunks
    int nonZero = 0;
    for (std::size_t i = 0; i < played.size(); ++i) {
        const auto expected = static_cast<std::int16_t>(std::trunc(restored.samples[i] * 32768.0f));
        ASSERT_EQ(played[i], expected) << "sample " << i;
        nonZero += played[i] != 0;
    }
    EXPECT_GT(nonZero, 10000);
}

TEST(Preview, CancelWhileProcessingStopsAtOnceAndPlaysNothing) {
    const TempFolder folder;
    const auto input = folder / "take.wav";
    WriteSoundFile(input, Wav16(), TransferSignal(30000, 44100));
    FakePlaybackOutput output;
    ScriptedObserver observer;
    observer.cancelAt = [](ProgressKind kind, std::int64_t block) {
        return kind == ProgressKind::Processing && block == 2;
    };

    EXPECT_EQ(RunPreview(input, output, observer), RunResult::RunIncomplete);

    EXPECT_EQ(observer.Calls(),
              (std::vector<std::string>{"BeginBusy", "EndBusy", "BeginProgress Processing take 32",
                                        "EndProgress"}));
    EXPECT_EQ(observer.Updates(), (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(output.Opens(), 0);
}

TEST(Preview, CancelWhilePlayingIsIncomplete) {
    const TempFolder folder;
    const auto input = folder / "take.wav";
    WriteSoundFile(input, Wav16(), TransferSignal(30000, 44100));
    FakePlaybackOutput output;
    output.writeDelay = std::chrono::milliseconds(100);
    ScriptedObserver observer;
    observer.cancelAt = [](ProgressKind kind, std::int64_t) {
        return kind == ProgressKind::Playing;
    };

    EXPECT_EQ(RunPreview(input, output, observer), RunResult::RunIncomplete);
    EXPECT_EQ(output.Closes(), 1);
}

TEST(Preview, LineThatFailsOrIsMissingIsNoOutput) {
    const TempFolder folder;
    const auto input = folder / "take.wav";
    WriteSoundFile(input, Wav16(), TransferSignal(30000, 44100));
    FakePlaybackOutput output;
    output.openSucceeds = false;
    ScriptedObserver observer;
    EXPECT_EQ(RunPreview(input, output, observer), RunResult::RunNoOutput);

    // A preview request without a buffer: nothing is read, created or played.
    RunRequest request;
    request.kind = RunKind::Preview;
    request.input = input;
    ScriptedObserver untouched;
    EXPECT_EQ(ProcessFile(request, untouched), RunResult::RunNoOutput);
    EXPECT_TRUE(untouched.Calls().empty());
    EXPECT_EQ(FileNamesIn(folder.Path()), (std::vector<std::string>{"take.wav"}));
}

}  // namespace
}  // namespace sonorel

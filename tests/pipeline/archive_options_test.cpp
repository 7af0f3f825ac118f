// What archives may ask of a Start run: a sample-aligned output, and a
// record of the run (summary and block tap) that leaves the samples alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "engine/block_frame.h"
#include "pipeline/process_file.h"
#include "pipeline/run_blocks.h"
#include "support/run_helpers.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using namespace sonorel::test;

struct StartRun {
    RunResult result = RunResult::RunBadInput;
    MonoFile output;
    RunSummary summary;
};

StartRun Start(const std::filesystem::path& input, const std::filesystem::path& folder,
               const ArchiveOptions& archive, BlockTap* tap = nullptr) {
    std::filesystem::create_directories(folder);
    RunRequest request;
    request.input = input;
    request.archive = archive;
    request.tap = tap;
    StartRun run;
    request.summary = &run.summary;
    RunObserver quiet;
    run.result = RunStart(std::move(request), folder, quiet).result;
    if (!run.summary.output.empty()) run.output = ReadMono(run.summary.output);
    return run;
}

TEST(AlignedOutput, IsTheStandardOutputWithoutTheDelayAndAsLongAsTheInput) {
    // 7060: the shortest input; 8838 = 10 x 883 + 8 leaves a block all but
    // empty; 9709 fills whole blocks; a longer file crosses the writer's
    // header updates.
    for (const std::int64_t frames : {7060, 8838, 9709, 70001}) {
        SCOPED_TRACE(frames);
        const TempFolder folder;
        const auto input = folder / "side.wav";
        WriteSoundFile(input, Wav16(), TransferSignal(frames, 44100, 3));

        const StartRun standard = Start(input, folder / "standard", {});
        const StartRun aligned = Start(input, folder / "aligned",
                                       {.align = true, .keepMetadata = false, .settingsText = ""});

        ASSERT_EQ(standard.result, RunResult::RunOk);
        ASSERT_EQ(aligned.result, RunResult::RunOk);
        ASSERT_EQ(aligned.output.format.frames, frames);
        EXPECT_EQ(aligned.summary.outputFrames, frames);
        const std::vector<float>& s = standard.output.samples;
        const std::vector<float>& a = aligned.output.samples;
        ASSERT_EQ(s.size(), static_cast<std::size_t>(ProcessingBlocks(frames) * kBlockLength));
        for (std::size_t k = 0; k + kKernelDelay < s.size(); ++k)
            ASSERT_EQ(a[k], s[k + kKernelDelay]) << k;
        // The input's last frames, which never reach the standard output, are
        // there: music up to the end.
        const std::size_t beyond = s.size() - kKernelDelay;
        EXPECT_GT(*std::max_element(a.begin() + static_cast<long>(beyond), a.end()), 0.05f);
    }
}

// Sees every block; keeps totals to compare with the summary.
class CountingTap : public BlockTap {
  public:
    void Begin(const TapSetup& given) override {
        ++begins;
        setup = given;
    }
    void Block(const TapBlock& block) override {
        EXPECT_EQ(block.index, blocks);
        ++blocks;
        for (int c = 0; c < 2; ++c) {
            clicks[c] += block.counts.clicks[c].clicksDetected;
            failed[c] += block.counts.solveFailed[c];
        }
        // The tail of an aligned run is fed silence.
        if (block.index * kBlockLength >= setup.inputFrames) {
            silentTail &= std::all_of(block.left.begin(), block.left.end(),
                                      [](float v) { return v == 0.0f; });
        }
    }
    void End(const RunSummary& summary) override {
        ++ends;
        endBlocks = summary.blocks;
    }

    TapSetup setup;
    int begins = 0;
    int ends = 0;
    std::int64_t blocks = 0;
    std::int64_t endBlocks = -1;
    std::array<std::int64_t, 2> clicks{};
    std::array<std::int64_t, 2> failed{};
    bool silentTail = true;
};

TEST(ArchiveOptions, RecordsLeaveTheSamplesAloneAndAgreeWithTheKernel) {
    const TempFolder folder;
    const auto input = folder / "side.wav";
    constexpr std::int64_t kFrames = 30000;
    // Quiet music with a click every 4409 frames, placed differently in each
    // channel.
    constexpr std::int64_t kClickSpacing = 4409;
    WriteSoundFile(input, Wav16(), MakeSignal(kFrames, 2, [](std::int64_t f, int c) {
                       const float music = 0.05f * std::sin(0.03f * static_cast<float>(f)) +
                                           0.02f * std::sin(0.17f * static_cast<float>(f) + c);
                       return (f + 997 * c) % kClickSpacing == 100 ? music + 0.8f : music;
                   }));

    const StartRun plain = Start(input, folder / "plain", {});
    for (const bool align : {false, true}) {
        SCOPED_TRACE(align);
        CountingTap tap;
        const StartRun recorded =
            Start(input, folder / (align ? "aligned" : "recorded"),
                  {.align = align, .keepMetadata = true, .settingsText = "click 5"}, &tap);
        ASSERT_EQ(recorded.result, RunResult::RunOk);
        if (!align) {
            EXPECT_EQ(recorded.output.samples, plain.output.samples);
        }

        const RunSummary& summary = recorded.summary;
        const std::int64_t blocks = align ? AlignedBlocks(kFrames) : ProcessingBlocks(kFrames);
        EXPECT_EQ(summary.blocks, blocks);
        EXPECT_EQ(tap.begins, 1);
        EXPECT_EQ(tap.ends, 1);
        EXPECT_EQ(tap.blocks, blocks);
        EXPECT_EQ(tap.endBlocks, blocks);
        EXPECT_TRUE(tap.silentTail);
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(summary.channels[c].clicksDetected, tap.clicks[c]);
            EXPECT_EQ(summary.channels[c].failedSolves, tap.failed[c]);
            EXPECT_GE(summary.channels[c].clicksDetected, kFrames / kClickSpacing - 1) << c;
            EXPECT_GT(summary.channels[c].samplesRepaired, 0) << c;
        }
        ASSERT_TRUE(summary.input.has_value());
        EXPECT_EQ(summary.input->frames, kFrames);
        ASSERT_TRUE(summary.derived.has_value());
        EXPECT_TRUE(summary.derived->hissLowPass);  // 18 kHz at 44.1 kHz
        EXPECT_EQ(summary.derived->kernel.click, 0.25f);
        EXPECT_GT(summary.seconds, 0.0);
    }
}

}  // namespace
}  // namespace sonorel

// Block counts of Start and preview runs, and the preview's 16-bit samples.

#include "pipeline/run_blocks.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace sonorel {
namespace {

TEST(RunBlocks, StartRunCoversEveryFrameInWholeBlocks) {
    EXPECT_EQ(ProcessingBlocks(7060), 8);  // 7064 output samples
    EXPECT_EQ(ProcessingBlocks(883), 1);
    EXPECT_EQ(ProcessingBlocks(884), 2);
    EXPECT_EQ(ProcessingBlocks(8830), 10);
    EXPECT_EQ(ProcessingBlocks(8831), 11);
    // Past 2^31 frames nothing wraps and the last partial block still counts.
    const std::int64_t huge = (std::int64_t{1} << 33) + 1;
    EXPECT_EQ(ProcessingBlocks(huge), huge / 883 + 1);
    EXPECT_GE(ProcessingBlocks(huge) * 883, huge);
}

TEST(RunBlocks, PreviewTakesWholeChunksOfThePreviewLengthOrOfTheFile) {
    // 20 s at 44100 Hz: 882000 samples round up to 125 chunks, 1000 blocks.
    EXPECT_EQ(PreviewChunks(20, 44100), 125);
    EXPECT_EQ(PreviewBlocks(10'000'000, 20, 44100), 1000);
    // 100000 frames: N0 = 114, cut to 112 blocks, 98896 samples, 14 chunks.
    EXPECT_EQ(PreviewBlocks(100'000, 20, 44100), 112);
    EXPECT_EQ(PreviewBlocks(100'000, 20, 44100) * 883, 98896);
    // 7060 to 13245 frames make one chunk; one frame more makes two.
    EXPECT_EQ(PreviewBlocks(7060, 20, 44100), 8);
    EXPECT_EQ(PreviewBlocks(13245, 20, 44100), 8);
    EXPECT_EQ(PreviewBlocks(13246, 20, 44100), 16);
    // 60 s at 384 kHz: no 32-bit overflow of seconds x rate.
    EXPECT_EQ(PreviewChunks(60, 384000), (60 * 384000 + 7063) / 7064);
    EXPECT_EQ(PreviewChunks(0, 44100), 0);
}

TEST(RunBlocks, PreviewSampleIsTheValueTimes32768TruncatedTowardZero) {
    EXPECT_EQ(ToPreviewSample(0.0f), 0);
    EXPECT_EQ(ToPreviewSample(0.5f), 16384);
    EXPECT_EQ(ToPreviewSample(-0.5f), -16384);
    // 1.9 / 32768 and its negative truncate to 1 and -1, not 2 and -2.
    EXPECT_EQ(ToPreviewSample(1.9f / 32768.0f), 1);
    EXPECT_EQ(ToPreviewSample(-1.9f / 32768.0f), -1);
    // The kernel's bound 0.999f (0.99900001...) times 32768 is 32735.23.
    EXPECT_EQ(ToPreviewSample(0.999f), 32735);
    EXPECT_EQ(ToPreviewSample(-0.999f), -32735);
    EXPECT_EQ(ToPreviewSample(std::numeric_limits<float>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace sonorel

// The columns a picture is drawn from: a known sine must read at its
// frequency, its level and its place in time, in the spectrogram and in the
// level strip, and nothing may appear where nothing was pushed.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "spectrum/column_levels.h"
#include "spectrum/column_spectrogram.h"

namespace sonorel {
namespace {

TEST(PictureColumns, ASineReadsAtItsFrequencyLevelAndTimeAndOnlyWherePushed) {
    constexpr int kColumns = 100;
    constexpr int kRows = 128;
    constexpr std::int64_t kLength = 100 * 2048;  // 2048 samples a column
    // Silence, then from the middle a sine of amplitude 0.5 (-6.02 dB) at an
    // eighth of the sample rate: bin 128 of 1024, sampled at its peaks.
    std::vector<float> signal(kLength, 0.0f);
    for (std::int64_t n = kLength / 2; n < kLength; ++n)
        signal[n] = static_cast<float>(
            0.5 * std::sin(2.0 * std::numbers::pi * n / 8.0 + 0.5 * std::numbers::pi));
    // Only three quarters reach the columns, in uneven pieces.
    const std::int64_t pushed = kLength * 3 / 4;
    ColumnSpectrogram spectrum(kLength, kColumns, kRows);
    ColumnLevels levels(kLength, kColumns);
    for (std::int64_t at = 0; at < pushed; at += 883) {
        const std::span<const float> piece(
            signal.data() + at, static_cast<std::size_t>(std::min<std::int64_t>(883, pushed - at)));
        spectrum.Push(piece);
        levels.Push(piece);
    }
    spectrum.Finish();

    EXPECT_EQ(spectrum.CoveredColumns(), 75);
    EXPECT_EQ(levels.CoveredColumns(), 75);
    const int toneRow = 128 * kRows / ColumnSpectrogram::kBins;
    const double amplitudeDb = 20.0 * std::log10(0.5);
    for (int c = 0; c < 75; ++c) {
        SCOPED_TRACE(c);
        // Frames reach 512 samples either side of their centre, a quarter
        // of a column: the columns next to the onset are mixed.
        if (c < 49) {
            EXPECT_EQ(spectrum.LevelDb(c, toneRow), ColumnSpectrogram::kFloorDb);
            EXPECT_EQ(levels.PeakDb(c), ColumnLevels::kFloorDb);
        } else if (c > 50) {
            // At the bin's centre the Hann window's gain is exact; 0.01 dB
            // covers float rounding.
            EXPECT_NEAR(spectrum.LevelDb(c, toneRow), amplitudeDb, 0.01);
            // A sine at a bin's centre leaves three bins under the Hann
            // window; rows 64 bins away hold only rounding.
            EXPECT_LT(spectrum.LevelDb(c, toneRow + 16), -100.0);
            EXPECT_LT(spectrum.LevelDb(c, toneRow - 16), -100.0);
            EXPECT_NEAR(levels.PeakDb(c), amplitudeDb, 0.001);
            EXPECT_NEAR(levels.RmsDb(c), amplitudeDb - 10.0 * std::log10(2.0), 0.001);
        }
    }
}

}  // namespace
}  // namespace sonorel

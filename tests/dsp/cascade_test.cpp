// The eighth-order hiss low-pass and rumble high-pass, measured from their
// designed coefficients and through RunCascade.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "filters/cascade.h"
#include "filters/tone_filters.h"
#include "response.h"

namespace sonorel {
namespace {

using test::CascadeDb;
using test::SineGainDb;

constexpr double kFs = 44100.0;
// Figures printed to two decimals are met to within half their last digit.
constexpr double kPrintedDb = 0.005;
// The true stopband maximum is -54.1854 dB; it must stay there, neither
// shallower than -54.18 dB nor deeper than the printed -54.19 dB.
constexpr double kStopbandCeilingDb = -54.18;
constexpr double kStopbandFloorDb = -54.19;

double Warp(double fHz, double fs) {
    return std::tan(std::numbers::pi * fHz / fs);
}
double Unwarp(double warped, double fs) {
    return fs / std::numbers::pi * std::atan(warped);
}

CascadeCoeffs HissLowPass(unsigned sampleRate, unsigned hissHz) {
    const ToneFilters filters = DesignToneFilters(sampleRate, {.hissHz = hissHz});
    EXPECT_TRUE(filters.hissActive);
    return filters.hissCoeffs;
}

CascadeCoeffs RumbleHighPass(unsigned sampleRate, unsigned rumbleHz) {
    return DesignToneFilters(sampleRate, {.rumbleHz = rumbleHz}).rumbleCoeffs;
}

double MaxDb(const CascadeCoeffs& c, double fromHz, double toHz, double fs, double stepHz) {
    double maxDb = -1e9;
    for (double f = fromHz; f <= toHz; f += stepHz)
        maxDb = std::max(maxDb, CascadeDb(c, f, fs));
    return std::max(maxDb, CascadeDb(c, toHz, fs));
}

TEST(HissLowPass, ResponseAt44100HzWith10kHzSetting) {
    const CascadeCoeffs c = HissLowPass(44100, 10000);
    EXPECT_NEAR(CascadeDb(c, 0.0, kFs), 0.0, 1e-9);  // the gain normalises DC exactly
    EXPECT_NEAR(CascadeDb(c, 10000.0, kFs), -0.85, kPrintedDb);
    // "-3.0 dB at about 10480 Hz": one decimal printed, so +-0.05 dB.
    EXPECT_NEAR(CascadeDb(c, 10480.0, kFs), -3.0, 0.05);
    EXPECT_NEAR(CascadeDb(c, 11000.0, kFs), -8.3, 0.05);
    // The -3.01 dB point sits where the warped frequency is 1.0719 x the
    // setting's (the 1.0719 is rounded to 5 digits, hence 0.01 dB).
    EXPECT_NEAR(CascadeDb(c, Unwarp(1.0719 * Warp(10000.0, kFs), kFs), kFs), -3.01, 0.01);
}

TEST(HissLowPass, PassbandFallsMonotonically) {
    const CascadeCoeffs c = HissLowPass(44100, 10000);
    double previous = CascadeDb(c, 0.0, kFs);
    for (double f = 10.0; f <= 12000.0; f += 10.0) {
        const double db = CascadeDb(c, f, kFs);
        // Near 0 Hz the response is flat to double rounding (1e-14 dB).
        ASSERT_LT(db, previous + 1e-12) << f << " Hz";
        previous = db;
    }
}

TEST(HissLowPass, StopbandFromItsEdgeToNyquist) {
    const CascadeCoeffs c = HissLowPass(44100, 10000);
    const double edgeHz = Unwarp(1.5 * Warp(10000.0, kFs), kFs);
    EXPECT_NEAR(edgeHz, 12822.0, 0.5);  // "from about 12 822 Hz"
    const double maxDb = MaxDb(c, edgeHz, kFs / 2, kFs, 0.05);
    EXPECT_LE(maxDb, kStopbandCeilingDb);
    EXPECT_GE(maxDb, kStopbandFloorDb);
}

TEST(HissLowPass, FourNotchesInTheStopband) {
    const CascadeCoeffs c = HissLowPass(44100, 10000);
    std::vector<double> notchesHz;
    const double stepHz = 0.01;
    double before = CascadeDb(c, 12800.0, kFs);
    double here = CascadeDb(c, 12800.0 + stepHz, kFs);
    for (double f = 12800.0 + stepHz; f < kFs / 2; f += stepHz) {
        const double after = CascadeDb(c, f + stepHz, kFs);
        if (here < before && here < after) {
            notchesHz.push_back(f);
            EXPECT_LT(here, -80.0) << "shallow notch at " << f << " Hz";
        }
        before = here;
        here = after;
    }
    const double printedHz[] = {12954.0, 14040.0, 16363.0, 19952.0};
    ASSERT_EQ(notchesHz.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        // Printed to the hertz: within half a hertz plus the search step.
        EXPECT_NEAR(notchesHz[i], printedHz[i], 0.5 + stepHz);
    }
}

TEST(HissLowPass, SettingIsTheMinus085DbPointAtEverySampleRate) {
    // With stopband factor 1.5 the -0.85 dB point falls on the setting and the
    // stopband begins at 1.5 x its warped frequency, whatever fs and setting.
    const struct {
        unsigned fs;
        unsigned hissHz;
    } cases[] = {{44100, 4000},  {44100, 18000}, {48000, 22000},
                 {22050, 10000}, {96000, 24000}, {192000, 7000}};
    for (const auto& tc : cases) {
        const double fs = tc.fs;
        const CascadeCoeffs c = HissLowPass(tc.fs, tc.hissHz);
        EXPECT_NEAR(CascadeDb(c, tc.hissHz, fs), -0.85, kPrintedDb) << tc.fs << "/" << tc.hissHz;
        EXPECT_NEAR(CascadeDb(c, Unwarp(1.0719 * Warp(tc.hissHz, fs), fs), fs), -3.01, 0.01);
        const double edgeHz = Unwarp(1.5 * Warp(tc.hissHz, fs), fs);
        const double maxDb = MaxDb(c, edgeHz, fs / 2, fs, 0.5);
        EXPECT_LE(maxDb, kStopbandCeilingDb) << tc.fs << "/" << tc.hissHz;
        EXPECT_GE(maxDb, kStopbandFloorDb) << tc.fs << "/" << tc.hissHz;
    }
}

TEST(RumbleHighPass, ResponseAt44100HzWith40HzSetting) {
    const CascadeCoeffs c = RumbleHighPass(44100, 40);
    const double maxBelowDb = MaxDb(c, 0.0, 40.0, kFs, 0.01);
    EXPECT_LE(maxBelowDb, kStopbandCeilingDb);
    EXPECT_GE(maxBelowDb, kStopbandFloorDb);
    EXPECT_NEAR(CascadeDb(c, 48.0, kFs), -17.0, 0.5);  // "about -17 dB"
    EXPECT_NEAR(CascadeDb(c, 56.0, kFs), -3.0, 0.05);  // "-3.0 dB at about 56 Hz"
    EXPECT_NEAR(CascadeDb(c, Unwarp(1.3994 * Warp(40.0, kFs), kFs), kFs), -3.01, 0.01);
    EXPECT_NEAR(CascadeDb(c, 60.0, kFs), -0.85, kPrintedDb);
    EXPECT_NEAR(CascadeDb(c, kFs / 2, kFs), 0.0, 1e-9);  // gain exactly 1 at Nyquist
}

TEST(RumbleHighPass, StopbandEndsAtTheSettingAtOtherRates) {
    for (unsigned fs : {22050u, 48000u, 96000u}) {
        for (unsigned rumbleHz : {20u, 40u, 120u}) {
            const CascadeCoeffs c = RumbleHighPass(fs, rumbleHz);
            EXPECT_LE(MaxDb(c, 0.0, rumbleHz, fs, 0.01), kStopbandCeilingDb)
                << fs << "/" << rumbleHz;
            EXPECT_NEAR(CascadeDb(c, Unwarp(1.5 * Warp(rumbleHz, fs), fs), fs), -0.85, kPrintedDb);
            EXPECT_NEAR(CascadeDb(c, fs / 2.0, fs), 0.0, 1e-9);
        }
    }
}

TEST(RunCascade, SineGainMatchesTheTransferFunction) {
    // The per-sample recursion must realise the designed transfer function;
    // 0.001 dB covers the projection's leakage over a non-integral sample
    // count per period and the float input sine.
    const CascadeCoeffs hiss = HissLowPass(44100, 10000);
    const CascadeCoeffs rumble = RumbleHighPass(44100, 40);
    for (double f : {100.0, 1000.0, 9000.0, 10500.0}) {
        CascadeState state;
        auto step = [&](float x) { return RunCascade(x, hiss, state); };
        EXPECT_NEAR(SineGainDb(step, f, kFs), CascadeDb(hiss, f, kFs), 0.001) << f << " Hz";
    }
    for (double f : {52.0, 60.0, 200.0, 5000.0}) {
        CascadeState state;
        auto step = [&](float x) { return RunCascade(x, rumble, state); };
        EXPECT_NEAR(SineGainDb(step, f, kFs), CascadeDb(rumble, f, kFs), 0.001) << f << " Hz";
    }
}

TEST(RunCascade, ImpulseResponseStartsWithTheGainAndKeepsDoublePrecision) {
    const CascadeCoeffs hiss = HissLowPass(44100, 18000);
    CascadeState state;
    // Every section passes its input sample straight through at n = 0.
    EXPECT_EQ(RunCascade(1.0f, hiss, state), hiss.gain);
    // A DC input settles on exactly the DC gain of 1 (to double rounding),
    // which a float state could not reach.
    CascadeState dcState;
    double y = 0.0;
    for (int n = 0; n < 20000; ++n)
        y = RunCascade(1.0f, hiss, dcState);
    EXPECT_NEAR(y, 1.0, 1e-12);
}

}  // namespace
}  // namespace sonorel

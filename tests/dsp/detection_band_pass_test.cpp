// The 1 kHz detection band-pass of the click detector.

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "filters/detection_band_pass.h"
#include "response.h"

namespace sonorel {
namespace {

constexpr double kFs = 44100.0;

DetectCoeffs Design44100() {
    DetectCoeffs c;
    DesignDetectionBandPass(c, 1000.0f / 44100.0f);
    return c;
}

TEST(DetectionBandPass, MagnitudesAt44100Hz) {
    const DetectCoeffs c = Design44100();
    const struct {
        double hz;
        double db;
        double toleranceDb;  // half the last printed digit
    } points[] = {{10.0, -20.1, 0.05},
                  {100.0, -0.1, 0.05},
                  {1000.0, 16.8, 0.05},
                  {5000.0, 5.7, 0.05},
                  {10000.0, -0.85, 0.005}};
    for (const auto& p : points) {
        EXPECT_NEAR(test::Db(std::abs(test::DetectionResponse(c, p.hz, kFs))), p.db, p.toleranceDb)
            << p.hz << " Hz";
    }
}

TEST(DetectionBandPass, PerSampleStepRealisesTheDesign) {
    const DetectCoeffs c = Design44100();
    for (double f : {100.0, 1000.0, 5000.0}) {
        std::array<float, 2> state{};
        auto step = [&](float x) { return double{RunDetection(x, c, state)}; };
        // Float state and arithmetic: agreement to 0.001 dB (about 1e-4
        // relative), far coarser than float rounding over the run.
        EXPECT_NEAR(test::SineGainDb(step, f, kFs),
                    test::Db(std::abs(test::DetectionResponse(c, f, kFs))), 0.001)
            << f << " Hz";
    }
}

TEST(DetectionBandPass, ConstantInputSettlesNearZero) {
    // The zero at z = 1 is exact only before the float rounding of b1 and b2
    // (1 + b1 + b2 = -2.98e-8), and the intermediate w settles near 54 (the
    // poles' DC gain), whose float spacing is 3.8e-6: a unit constant
    // therefore settles at a few 1e-6, not at 0.
    const DetectCoeffs c = Design44100();
    EXPECT_NEAR(1.0f + c.b1 + c.b2, -2.98e-8f, 0.01e-8f);
    std::array<float, 2> state{};
    float y = 1.0f;
    for (int n = 0; n < 44100; ++n)
        y = RunDetection(1.0f, c, state);
    EXPECT_LT(std::abs(y), 1e-5);
}

}  // namespace
}  // namespace sonorel

// Bass and treble shelves with their common gain, measured through the
// per-sample stage and its transfer function.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "filters/shelf.h"
#include "response.h"

namespace sonorel {
namespace {

constexpr double kFs = 44100.0;
constexpr double kReferenceHz = 1024.6950766;  // sqrt(300 x 3500)

double StageDb(const ShelfCoeffs& c, double fHz) {
    return test::Db(std::abs(test::ShelfResponse(c, fHz, kFs)));
}

// The stage's first impulse-response samples, from the per-sample code.
std::vector<double> Impulse(const ShelfCoeffs& c, int length) {
    float bassState = 0.0f;
    float trebleState = 0.0f;
    std::vector<double> h;
    h.reserve(length);
    for (int n = 0; n < length; ++n)
        h.push_back(RunShelves(n == 0 ? 1.0f : 0.0f, c, bassState, trebleState));
    return h;
}

// One active first-order section times g has the impulse response
// g, g (p - z), g (p - z) p, ...: read g, the pole and the zero back from it.
struct MeasuredSection {
    double g, pole, zero;
};
MeasuredSection Measure(const ShelfCoeffs& c) {
    const std::vector<double> h = Impulse(c, 3);
    const double pole = h[2] / h[1];
    return {h[0], pole, pole - h[1] / h[0]};
}

// The stated coefficients have six decimals; the measurement goes through
// float states, whose rounding (6e-8 relative) stays well inside that.
constexpr double kSixDecimals = 5e-7 + 1e-7;

TEST(Shelves, SixDbBassLiftAt44100Hz) {
    const MeasuredSection m = Measure(DesignShelves(6, 0, 44100));
    EXPECT_NEAR(m.g, 1.043949, kSixDecimals);
    EXPECT_NEAR(m.pole, 0.970187, kSixDecimals);  // bp
    EXPECT_NEAR(m.zero, 0.941385, kSixDecimals);  // bz
}

TEST(Shelves, SixDbTrebleLiftAt44100Hz) {
    const MeasuredSection m = Measure(DesignShelves(0, 6, 44100));
    EXPECT_NEAR(m.g, 1.637789, kSixDecimals);
    EXPECT_NEAR(m.pole, 0.470938, kSixDecimals);  // tp
    EXPECT_NEAR(m.zero, 0.694534, kSixDecimals);  // tz
}

TEST(Shelves, StageResponseTableAt44100Hz) {
    const double hz[] = {0.0, 300.0, kReferenceHz, 3500.0, 22050.0};
    const struct {
        int bass, treble;
        double db[5];
    } rows[] = {{6, 0, {6.25, 3.25, 0.75, 0.29, 0.25}},
                {0, 6, {-0.49, -0.44, 0.00, 2.51, 5.51}},
                {-6, 0, {-6.25, -3.25, -0.75, -0.29, -0.25}},
                {0, -6, {0.49, 0.44, 0.00, -2.51, -5.51}},
                {18, 18, {17.1747, 8.41, 3.52, 8.41, 17.1747}}};
    for (const auto& row : rows) {
        const ShelfCoeffs c = DesignShelves(row.bass, row.treble, 44100);
        for (int i = 0; i < 5; ++i) {
            // Two printed decimals: half the last digit. The 18/18 ends are
            // checked against their four-decimal true value.
            const double tolerance = (row.bass == 18 && (i == 0 || i == 4)) ? 5e-5 : 0.005;
            EXPECT_NEAR(StageDb(c, hz[i]), row.db[i], tolerance)
                << row.bass << "/" << row.treble << " at " << hz[i] << " Hz";
        }
    }
}

TEST(Shelves, PerSampleStageRealisesTheTransferFunction) {
    const ShelfCoeffs c = DesignShelves(18, -12, 44100);
    for (double f : {50.0, 1000.0, 8000.0}) {
        float bassState = 0.0f;
        float trebleState = 0.0f;
        auto step = [&](float x) { return double{RunShelves(x, c, bassState, trebleState)}; };
        // Float states and output: 0.001 dB is far above their rounding.
        EXPECT_NEAR(test::SineGainDb(step, f, kFs), StageDb(c, f), 0.001) << f << " Hz";
    }
}

TEST(Shelves, TrebleSectionIsUnityAtTheReferenceAndBassIsRbSquared) {
    for (int d = -18; d <= 18; ++d) {
        if (d == 0) continue;
        // Treble alone: g = Rt exactly undoes the section at the reference.
        EXPECT_NEAR(StageDb(DesignShelves(0, d, 44100), kReferenceHz), 0.0, 1e-5) << d;
        // Bass alone: the section already has Rb (or 1/Rb) there and g adds
        // another Rb (or 1/Rb). 1e-5 dB covers the float storage of g.
        const ShelfCoeffs bass = DesignShelves(d, 0, 44100);
        EXPECT_NEAR(StageDb(bass, kReferenceHz), 2.0 * test::Db(bass.g), 1e-5) << d;
    }
}

TEST(Shelves, EndsDifferByTheLift) {
    for (int d : {-18, -5, 1, 9, 18}) {
        const ShelfCoeffs bass = DesignShelves(d, 0, 44100);
        EXPECT_NEAR(StageDb(bass, 0.0) - StageDb(bass, kFs / 2), d, 1e-4) << d;
        const ShelfCoeffs treble = DesignShelves(0, d, 44100);
        EXPECT_NEAR(StageDb(treble, kFs / 2) - StageDb(treble, 0.0), d, 1e-4) << d;
    }
}

TEST(Shelves, ZeroLiftOrTurnoverAboveNyquistIsTheIdentity) {
    const ShelfCoeffs flat = DesignShelves(0, 0, 44100);
    EXPECT_EQ(flat.bp, 0.0f);
    EXPECT_EQ(flat.bz, 0.0f);
    EXPECT_EQ(flat.tp, 0.0f);
    EXPECT_EQ(flat.tz, 0.0f);
    EXPECT_EQ(flat.g, 1.0f);
    float bassState = 0.0f;
    float trebleState = 0.0f;
    for (float x : {0.5f, -0.25f, 1e-30f, 0.999f, -3.0f}) {
        EXPECT_EQ(RunShelves(x, flat, bassState, trebleState), x);
    }

    // 3500 Hz is not below half of 7000 Hz: the treble section drops out
    // and contributes exactly 1 to g; likewise the bass section at 600 Hz.
    const ShelfCoeffs noTreble = DesignShelves(6, 6, 7000);
    EXPECT_EQ(noTreble.tp, 0.0f);
    EXPECT_EQ(noTreble.tz, 0.0f);
    float bz = 0.0f;
    float bp = 0.0f;
    EXPECT_EQ(noTreble.g, static_cast<float>(SetupShelf(bz, bp, 6, 300.0f, 7000)));
    EXPECT_NE(noTreble.bz, 0.0f);

    float first = 1.0f;
    float second = 1.0f;
    EXPECT_EQ(SetupShelf(first, second, 6, 300.0f, 600), 1.0);
    EXPECT_EQ(first, 0.0f);
    EXPECT_EQ(second, 0.0f);
    EXPECT_NE(SetupShelf(first, second, 6, 300.0f, 601), 1.0);
}

}  // namespace
}  // namespace sonorel

// First-order low shelf by the bilinear transform of the analog section
// (s + sqrt(G) W) / (s + W / sqrt(G)), W = tan(pi f / fs): gain G at 0 Hz,
// 1 at high frequencies, sqrt(G) at the turnover f. The digital section
// (1 - zA z^-1) / (1 - zB z^-1) carries no scale factor, so neither end sits
// at 0 dB; the common gain g of the bass and treble sections, built from
// their magnitudes at sqrt(300 x 3500) Hz, sets the level.

#include "filters/shelf.h"

#include <cmath>
#include <numbers>

namespace sonorel {

double DesignShelf(int liftDb, float turnoverHz, int sampleRate, float& zA, float& zB) {
    const double fs = sampleRate;
    const double gain = std::pow(10.0, 0.05 * liftDb);
    const double rootGain = std::sqrt(gain);
    const double omega = 2.0 * std::numbers::pi * static_cast<double>(turnoverHz) / fs;
    const double warped = std::tan(omega / 2.0);
    zA = static_cast<float>((1.0 - rootGain * warped) / (1.0 + rootGain * warped));
    zB = static_cast<float>((1.0 - warped / rootGain) / (1.0 + warped / rootGain));

    // Magnitude at the reference frequency, from the stored float roots.
    const double omegaRef = 2.0 * std::numbers::pi * std::sqrt(kShelfReferenceHz2) / fs;
    const double sinRef = std::sin(omegaRef);
    const double cosRef = std::cos(omegaRef);
    const double toZero = cosRef - static_cast<double>(zA);
    const double toPole = cosRef - static_cast<double>(zB);
    return std::sqrt((sinRef * sinRef + toZero * toZero) / (sinRef * sinRef + toPole * toPole));
}

double SetupShelf(float& first, float& second, int liftDb, float turnoverHz, int sampleRate) {
    if (liftDb == 0 || !(static_cast<double>(turnoverHz) < sampleRate * 0.5)) {
        first = 0.0f;
        second = 0.0f;
        return 1.0;
    }
    float zA = 0.0f;
    float zB = 0.0f;
    if (liftDb > 0) {
        const double r = DesignShelf(liftDb, turnoverHz, sampleRate, zA, zB);
        first = zA;
        second = zB;
        return r;
    }
    const double r = DesignShelf(-liftDb, turnoverHz, sampleRate, zA, zB);
    first = zB;
    second = zA;
    return 1.0 / r;
}

ShelfCoeffs DesignShelves(int bassLiftDb, int trebleLiftDb, int sampleRate) {
    ShelfCoeffs c;
    const double rb =
        SetupShelf(c.bz, c.bp, bassLiftDb, static_cast<float>(kBassTurnoverHz), sampleRate);
    const double rt =
        SetupShelf(c.tp, c.tz, trebleLiftDb, static_cast<float>(kTrebleTurnoverHz), sampleRate);
    c.g = static_cast<float>(rt * rb);
    return c;
}

}  // namespace sonorel

#pragma once
// Measuring designed filters: the transfer function evaluated on the unit
// circle, and the steady-state gain of a sine run through the per-sample code.

#include <cmath>
#include <complex>
#include <numbers>

#include "filters/cascade.h"
#include "filters/detection_band_pass.h"
#include "filters/shelf.h"

namespace sonorel::test {

using Complex = std::complex<double>;

inline double Db(double magnitude) {
    return 20.0 * std::log10(magnitude);
}

inline Complex UnitCircle(double fHz, double sampleRate) {
    return std::polar(1.0, 2.0 * std::numbers::pi * fHz / sampleRate);
}

// gain x prod (1 + b1 z^-1 + z^-2) / (1 + a1 z^-1 + a2 z^-2)
inline Complex CascadeResponse(const CascadeCoeffs& c, double fHz, double sampleRate) {
    const Complex zInv = 1.0 / UnitCircle(fHz, sampleRate);
    Complex h = c.gain;
    for (const CascadeSection& s : c.section) {
        h *= (1.0 + s.b1 * zInv + zInv * zInv) / (1.0 + s.a1 * zInv + s.a2 * zInv * zInv);
    }
    return h;
}

inline double CascadeDb(const CascadeCoeffs& c, double fHz, double sampleRate) {
    return Db(std::abs(CascadeResponse(c, fHz, sampleRate)));
}

inline Complex DetectionResponse(const DetectCoeffs& c, double fHz, double sampleRate) {
    const Complex zInv = 1.0 / UnitCircle(fHz, sampleRate);
    return (1.0 + double{c.b1} * zInv + double{c.b2} * zInv * zInv) /
           (1.0 + double{c.a1} * zInv + double{c.a2} * zInv * zInv);
}

// g x (1 - bz z^-1)/(1 - bp z^-1) x (1 - tz z^-1)/(1 - tp z^-1)
inline Complex ShelfResponse(const ShelfCoeffs& c, double fHz, double sampleRate) {
    const Complex zInv = 1.0 / UnitCircle(fHz, sampleRate);
    return double{c.g} * (1.0 - double{c.bz} * zInv) / (1.0 - double{c.bp} * zInv) *
           (1.0 - double{c.tz} * zInv) / (1.0 - double{c.tp} * zInv);
}

// Steady-state gain of `step` (one sample in, one out) for a unit sine at fHz:
// run settleSeconds to let the transient decay, then project the next
// measureSeconds onto sine and cosine.
template <typename Step>
double SineGainDb(Step step, double fHz, double sampleRate, double settleSeconds = 2.0,
                  double measureSeconds = 1.0) {
    const double omega = 2.0 * std::numbers::pi * fHz / sampleRate;
    const long settle = std::lround(settleSeconds * sampleRate);
    // A whole number of periods keeps the projection exact.
    const double periods = std::floor(measureSeconds * fHz);
    const long measure = std::lround(periods * sampleRate / fHz);
    double sinSum = 0.0;
    double cosSum = 0.0;
    long count = 0;
    for (long n = 0; n < settle + measure; ++n) {
        const double y = step(static_cast<float>(std::sin(omega * n)));
        if (n >= settle) {
            sinSum += y * std::sin(omega * n);
            cosSum += y * std::cos(omega * n);
            ++count;
        }
    }
    return Db(2.0 * std::hypot(sinSum, cosSum) / count);
}

}  // namespace sonorel::test

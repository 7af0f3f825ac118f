#include "enhanced/vocal_alignment.h"

#include <algorithm>
#include <cmath>

namespace sonorel {
namespace {

// Bins each side over which a segment's coherence is measured: of one bin
// and one segment it would be near 1 whatever the walls hold.
constexpr int kCoherenceBins = 2;
// A power below this (per frame and bin, about -200 dB) counts as silence.
constexpr double kSilentPower = 1e-20;

using Taps = std::array<double, kVocalAlignTaps>;
using Matrix = std::array<Taps, kVocalAlignTaps>;

// Solves a x = b in place for a symmetric positive definite a (Cholesky,
// lower factor kept in a). Returns false if a is not positive definite.
bool SolveSymmetric(Matrix& a, Taps& x) {
    constexpr int n = kVocalAlignTaps;
    for (int j = 0; j < n; ++j) {
        double diagonal = a[j][j];
        for (int m = 0; m < j; ++m)
            diagonal -= a[j][m] * a[j][m];
        if (!(diagonal > 0.0)) return false;
        a[j][j] = std::sqrt(diagonal);
        for (int i = j + 1; i < n; ++i) {
            double sum = a[i][j];
            for (int m = 0; m < j; ++m)
                sum -= a[i][m] * a[j][m];
            a[i][j] = sum / a[j][j];
        }
    }
    for (int i = 0; i < n; ++i) {
        for (int m = 0; m < i; ++m)
            x[i] -= a[i][m] * x[m];
        x[i] /= a[i][i];
    }
    for (int i = n - 1; i >= 0; --i) {
        for (int m = i + 1; m < n; ++m)
            x[i] -= a[m][i] * x[m];
        x[i] /= a[i][i];
    }
    return true;
}

}  // namespace

void AddSharedSegment(const WallSpectra& segment, WallSpectra& shared) {
    if (segment.frames <= 0.0) return;
    for (int k = 0; k < kFftBins; ++k) {
        double ll = 0.0;
        double rr = 0.0;
        std::complex<double> lr;
        for (int j = std::max(0, k - kCoherenceBins);
             j <= std::min(kFftBins - 1, k + kCoherenceBins); ++j) {
            ll += segment.leftPower[j];
            rr += segment.rightPower[j];
            lr += segment.cross[j];
        }
        if (ll <= kSilentPower || rr <= kSilentPower) continue;
        double weight = std::min(std::norm(lr) / (ll * rr), 1.0);
        for (int power = 1; power < kSharedCoherencePower; power *= 2)
            weight *= weight;
        shared.leftPower[k] += weight * segment.leftPower[k];
        shared.rightPower[k] += weight * segment.rightPower[k];
        shared.cross[k] += weight * segment.cross[k];
    }
    shared.frames += segment.frames;
}

std::array<std::complex<double>, kFftBins> FitVocalAlignment(const WallSpectra& shared) {
    std::array<std::complex<double>, kFftBins> response;
    response.fill(1.0);
    // Normal equations of sum_k w_k |G(w_k) - g_k|^2 over the taps h_j,
    // j = -kVocalAlignReach .. kVocalAlignReach, G(w) = sum_j h_j e^(-i w j):
    // a Toeplitz matrix sum_k w_k cos(w_k (i - j)) and sum_k w_k Re(g_k
    // e^(i w_k j)). DC is left out (the rumble filter has taken it); the
    // last bin stands for one frequency, the others for two.
    std::array<double, kVocalAlignTaps> autocorrelation{};
    Taps rhs{};
    for (int k = 1; k < kFftBins; ++k) {
        const double ll = shared.leftPower[k];
        const double rr = shared.rightPower[k];
        const std::complex<double> lr = shared.cross[k];
        if (ll <= kSilentPower || rr <= kSilentPower || std::abs(lr) <= kSilentPower) continue;
        const double coherence = std::norm(lr) / (ll * rr);
        const double weight = (k == kFftBins - 1 ? 0.5 : 1.0) * std::abs(lr) * coherence;
        const std::complex<double> target = std::sqrt(ll / rr) * lr / std::abs(lr);
        const double omega = 2.0 * M_PI * k / kFftSize;
        for (int d = 0; d < kVocalAlignTaps; ++d)
            autocorrelation[d] += weight * std::cos(omega * d);
        for (int j = 0; j < kVocalAlignTaps; ++j) {
            const double lag = j - kVocalAlignReach;
            rhs[j] += weight * (target * std::polar(1.0, omega * lag)).real();
        }
    }
    if (!(autocorrelation[0] > kSilentPower)) return response;
    // The ridge pulls the taps towards the identity (h_0 = 1).
    const double ridge = kAlignRidge * autocorrelation[0];
    Matrix normal{};
    for (int i = 0; i < kVocalAlignTaps; ++i) {
        for (int j = 0; j < kVocalAlignTaps; ++j)
            normal[i][j] = autocorrelation[std::abs(i - j)];
        normal[i][i] += ridge;
    }
    rhs[kVocalAlignReach] += ridge;
    if (!SolveSymmetric(normal, rhs)) return response;
    for (int k = 0; k < kFftBins; ++k) {
        const double omega = 2.0 * M_PI * k / kFftSize;
        std::complex<double> sum;
        for (int j = 0; j < kVocalAlignTaps; ++j)
            sum += rhs[j] * std::polar(1.0, -omega * (j - kVocalAlignReach));
        response[k] = sum;
    }
    return response;
}

}  // namespace sonorel

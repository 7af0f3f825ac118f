#include "enhanced/gap_bridge.h"

#include <algorithm>
#include <cmath>

namespace sonorel {
namespace {

// Added to the autocorrelation's zero lag: keeps the fit well conditioned
// (a white-noise floor 30 dB under the context's power).
constexpr double kWhiteningShare = 1e-3;

void StraightLine(std::span<float> x, int start, int end) {
    const double before = x[start - 1];
    const double after = x[end];
    const int length = end - start;
    for (int t = start; t < end; ++t) {
        const double f = static_cast<double>(t - start + 1) / (length + 1);
        x[t] = static_cast<float>(before + (after - before) * f);
    }
}

}  // namespace

bool GapBridge::FitModel(std::span<const float> x, int start, int end) {
    std::array<double, kBridgeOrder + 1> r{};
    const auto addSegment = [&](int first, int last) {
        for (int lag = 0; lag <= kBridgeOrder; ++lag) {
            double sum = 0.0;
            for (int t = first + lag; t < last; ++t) {
                sum += static_cast<double>(x[t]) * x[t - lag];
            }
            r[lag] += sum;
        }
    };
    addSegment(start - kBridgeContext, start);
    addSegment(end, std::min(end + kBridgeContext, static_cast<int>(x.size())));
    if (!(r[0] > 0.0)) return false;
    r[0] *= 1.0 + kWhiteningShare;
    // Levinson: a[1..p] with x[t] ~ sum a[i] x[t - i]; model = 1, -a.
    std::array<double, kBridgeOrder + 1> a{};
    std::array<double, kBridgeOrder + 1> previous{};
    double error = r[0];
    for (int i = 1; i <= kBridgeOrder; ++i) {
        double acc = r[i];
        for (int j = 1; j < i; ++j)
            acc -= a[j] * r[i - j];
        const double k = acc / error;
        previous = a;
        a[i] = k;
        for (int j = 1; j < i; ++j)
            a[j] = previous[j] - k * previous[i - j];
        error *= 1.0 - k * k;
        if (!(error > 0.0)) return false;
    }
    model_[0] = 1.0;
    for (int i = 1; i <= kBridgeOrder; ++i)
        model_[i] = -a[i];
    return true;
}

void GapBridge::Bridge(std::span<float> x, int start, int end) {
    const int length = end - start;
    const int size = static_cast<int>(x.size());
    if (length > kMaxBridge || start < kBridgeContext || end + kBridgeOrder > size ||
        !FitModel(x, start, end)) {
        StraightLine(x, start, end);
        return;
    }
    constexpr int p = kBridgeOrder;
    // The error at t in [start, end + p) from the known samples alone.
    for (int t = start; t < end + p; ++t) {
        double sum = 0.0;
        for (int i = 0; i <= p; ++i) {
            const int u = t - i;
            if (u < start || u >= end) sum += model_[i] * x[u];
        }
        known_[t - start] = sum;
    }
    // Normal equations: M[u][v] = sum_i c[i] c[i + |u - v|], right-hand side
    // -sum_t c[t - u] known[t].
    std::array<double, p + 1> cc{};
    for (int lag = 0; lag <= p; ++lag) {
        for (int i = 0; i + lag <= p; ++i)
            cc[lag] += model_[i] * model_[i + lag];
    }
    for (int u = 0; u < length; ++u) {
        for (int v = 0; v <= u; ++v) {
            matrix_[u * kMaxBridge + v] = u - v <= p ? cc[u - v] : 0.0;
        }
        double sum = 0.0;
        for (int i = 0; i <= p; ++i)
            sum += model_[i] * known_[u + i];
        rhs_[u] = -sum;
    }
    // Cholesky (lower), then the two triangular solves.
    for (int j = 0; j < length; ++j) {
        double d = matrix_[j * kMaxBridge + j];
        for (int k = std::max(0, j - p); k < j; ++k)
            d -= matrix_[j * kMaxBridge + k] * matrix_[j * kMaxBridge + k];
        if (!(d > 0.0)) {
            StraightLine(x, start, end);
            return;
        }
        const double root = std::sqrt(d);
        matrix_[j * kMaxBridge + j] = root;
        for (int i = j + 1; i < std::min(length, j + p + 1); ++i) {
            double s = matrix_[i * kMaxBridge + j];
            for (int k = std::max(0, i - p); k < j; ++k) {
                s -= matrix_[i * kMaxBridge + k] * matrix_[j * kMaxBridge + k];
            }
            matrix_[i * kMaxBridge + j] = s / root;
        }
    }
    for (int i = 0; i < length; ++i) {
        double s = rhs_[i];
        for (int k = std::max(0, i - p); k < i; ++k)
            s -= matrix_[i * kMaxBridge + k] * rhs_[k];
        rhs_[i] = s / matrix_[i * kMaxBridge + i];
    }
    for (int i = length - 1; i >= 0; --i) {
        double s = rhs_[i];
        for (int k = i + 1; k < std::min(length, i + p + 1); ++k) {
            s -= matrix_[k * kMaxBridge + i] * rhs_[k];
        }
        rhs_[i] = s / matrix_[i * kMaxBridge + i];
    }
    // A model that rings up inside the gap (a near-singular fit) must not
    // put more into it than its context holds.
    double peak = 0.0;
    for (int t = start - kBridgeContext; t < start; ++t)
        peak = std::max(peak, static_cast<double>(std::fabs(x[t])));
    for (int t = end; t < std::min(end + kBridgeContext, size); ++t) {
        peak = std::max(peak, static_cast<double>(std::fabs(x[t])));
    }
    for (int u = 0; u < length; ++u) {
        if (!(std::fabs(rhs_[u]) <= peak)) {
            StraightLine(x, start, end);
            return;
        }
    }
    for (int u = 0; u < length; ++u)
        x[start + u] = static_cast<float>(rhs_[u]);
}

}  // namespace sonorel

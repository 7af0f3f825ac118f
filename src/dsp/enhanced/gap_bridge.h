#pragma once
// Bridges a gap in one wall from both sides with an autoregressive model
// (least-squares AR interpolation, Vaseghi and Rayner 1990; Godsill and
// Rayner, "Digital Audio Restoration", 1998, ch. 5).
//
// The model: kBridgeOrder coefficients fitted (autocorrelation method,
// Levinson recursion) to the kBridgeContext samples before the gap and up to
// as many after it.
// The gap's samples are those that minimise the model's prediction error
// over the gap and kBridgeOrder samples after it; the normal equations are a
// symmetric Toeplitz system, solved by Cholesky. Gaps longer than kMaxBridge,
// or without the context they need, are bridged by a straight line.
//
// Fixed storage in the object; Bridge allocates nothing.

#include <array>
#include <span>

namespace sonorel {

inline constexpr int kBridgeOrder = 32;
inline constexpr int kBridgeContext = 192;
inline constexpr int kMaxBridge = 192;  // 4.4 ms at 44.1 kHz

class GapBridge {
  public:
    // Replaces samples [start, end) of `x`, which holds at least one sample
    // before start and one from end on (the model needs kBridgeContext
    // before and kBridgeOrder after).
    void Bridge(std::span<float> x, int start, int end);

  private:
    bool FitModel(std::span<const float> x, int start, int end);

    std::array<double, kBridgeOrder + 1> model_{};  // c[0] = 1, e[t] = sum c[i] x[t - i]
    std::array<double, kMaxBridge * kMaxBridge> matrix_{};
    std::array<double, kMaxBridge> rhs_{};
    std::array<double, kMaxBridge + kBridgeOrder> known_{};
};

}  // namespace sonorel

#pragma once
// Levinson solver for a symmetric Toeplitz system with a general right-hand
// side: sum_j h[j] r[|i - j|] = b[i] for i, j = 0 .. n - 1.
//
// It carries the forward predictor a (coefficients of z^-1 upward, leading 1
// implied) and g, the reciprocal of the current prediction-error power, and
// grows the solution one order at a time: about 2 n^2 multiply-adds.
//
// It refuses, rather than divide by nothing, when r[0] <= 2^-127, and it stops
// as soon as the next reciprocal error power g / eps would reach
// kToeplitzCeiling (about 1.7e38): that is, when the prediction-error power
// would fall below about 5.9e-39, or a reflection coefficient reaches
// magnitude 1 (eps <= 0: the matrix is not positive definite). On failure the
// coefficients not yet solved are 0.

#include <span>

namespace sonorel {

inline constexpr float kToeplitzFloor = 0x1p-127f;  // 5.877472e-39
inline constexpr float kToeplitzCeiling =
    0x1.fffffep126f;  // 1.7014117e38, largest float below 2^127

// n = h.size(), 2 <= n <= 177; r and b hold at least n values. Arrays are
// floats; the recursion's scalars and sums are doubles. Returns success.
// Runs the wide path where the processor has it, the baseline otherwise.
bool SolveToeplitz(std::span<const float> r, std::span<const float> b, std::span<float> h);

// The same recursion from the same source (levinson.h) for two instruction
// sets, with bit-identical results: the baseline of the build, and AVX2
// (x86-64 builds only), which does each sum's four partial sums in one
// register. SolveToeplitzWide may be called only where HasWideSolver().
bool SolveToeplitzBaseline(const float* r, const float* b, float* h, int n);
bool SolveToeplitzWide(const float* r, const float* b, float* h, int n);
bool HasWideSolver();

}  // namespace sonorel

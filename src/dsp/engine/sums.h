#pragma once
// Long float sums accumulated in double. A single running sum waits on the
// previous addition for every term; four interleaved partial sums let the
// additions overlap (and vectorise), at the price of a different but equally
// accurate order of rounding.

#include <cstddef>

namespace sonorel {

// sum_j x[j] y[j]
inline double DotProduct(const float* x, const float* y, std::size_t count) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t j = 0;
    for (; j + 4 <= count; j += 4) {
        s0 += static_cast<double>(x[j]) * y[j];
        s1 += static_cast<double>(x[j + 1]) * y[j + 1];
        s2 += static_cast<double>(x[j + 2]) * y[j + 2];
        s3 += static_cast<double>(x[j + 3]) * y[j + 3];
    }
    for (; j < count; ++j)
        s0 += static_cast<double>(x[j]) * y[j];
    return (s0 + s1) + (s2 + s3);
}

// sum_j x[j]
inline double Sum(const float* x, std::size_t count) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t j = 0;
    for (; j + 4 <= count; j += 4) {
        s0 += x[j];
        s1 += x[j + 1];
        s2 += x[j + 2];
        s3 += x[j + 3];
    }
    for (; j < count; ++j)
        s0 += x[j];
    return (s0 + s1) + (s2 + s3);
}

}  // namespace sonorel

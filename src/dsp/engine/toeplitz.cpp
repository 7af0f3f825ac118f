#include "engine/toeplitz.h"

#include <cassert>

#include "engine/levinson.h"

namespace sonorel {

bool SolveToeplitzBaseline(const float* r, const float* b, float* h, int n) {
    return LevinsonRecursion(r, b, h, n);
}

bool HasWideSolver() {
#if SONOREL_WIDE_SOLVER
    static const bool available = __builtin_cpu_supports("avx2") != 0;
    return available;
#else
    return false;
#endif
}

bool SolveToeplitz(std::span<const float> r, std::span<const float> b, std::span<float> h) {
    const int n = static_cast<int>(h.size());
    assert(static_cast<int>(r.size()) >= n && static_cast<int>(b.size()) >= n);
#if SONOREL_WIDE_SOLVER
    if (HasWideSolver()) return SolveToeplitzWide(r.data(), b.data(), h.data(), n);
#endif
    return SolveToeplitzBaseline(r.data(), b.data(), h.data(), n);
}

}  // namespace sonorel

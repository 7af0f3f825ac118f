// SolveToeplitz's recursion compiled with AVX2 (see CMakeLists.txt): four
// doubles per vector, so each sum's four partial sums are one register and a
// float-to-double conversion takes four values at once. Called only where
// the processor has AVX2 (HasWideSolver).

#include "engine/levinson.h"

namespace sonorel {

bool SolveToeplitzWide(const float* r, const float* b, float* h, int n) {
    return LevinsonRecursion(r, b, h, n);
}

}  // namespace sonorel

// Nothing is allocated per block: every global operator new is counted (the
// suite links the counting replacement), and a run of blocks after setup must
// make none.

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "kernel_runner.h"
#include "support/allocation_counter.h"

namespace sonorel {
namespace {

TEST(Kernel, AllocatesNothingPerBlock) {
    // Setup may allocate: the state, the filter designs, the tables, the FFT
    // plans (made by InitKernelTables).
    test::KernelRun run;
    run.SetShelves(3, -3);
    std::array<float, kBlockLength> left{};
    std::array<float, kBlockLength> right{};
    std::array<float, kBlockLength> out{};
    const long before = test::AllocationsInProcess();
    for (int block = 0; block < 30; ++block) {
        for (int k = 0; k < kBlockLength; ++k) {
            const int n = block * kBlockLength + k;
            left[k] = 0.3f * std::sin(0.02f * n) + ((n % 997) == 0 ? 0.8f : 0.0f);
            right[k] = 0.3f * std::sin(0.02f * n + 0.1f);
        }
        ProcessBlock(*run.state, left, right, run.params, run.filters, &run.state->hissState,
                     run.bassState, run.trebleState, out);
    }
    EXPECT_EQ(test::AllocationsInProcess() - before, 0);
}

}  // namespace
}  // namespace sonorel

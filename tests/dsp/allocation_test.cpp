// Nothing is allocated per block: every global operator new is counted (the
// suite links the counting replacement), and a run of blocks after setup must
// make none.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "engine/kernel.h"
#include "support/allocation_counter.h"

namespace sonorel {
namespace {

TEST(Kernel, AllocatesNothingPerBlock) {
    for (const int threads : {1, 2}) {
        // Setup may allocate: the kernel itself, the filter designs, the
        // tables, the FFT plans (made by Prepare) and the worker thread.
        auto kernel = std::make_unique<RestorationKernel>();
        kernel->Prepare(
            {.wL = 0.5f, .wR = 0.5f, .nfL = 1e-4f, .nfR = 1e-4f, .click = 0.25f},
            DesignToneFilters(44100, {.hissHz = 10000, .bassLiftDb = 3, .trebleLiftDb = -3}),
            threads);
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
            kernel->ProcessBlock(left, right, out);
        }
        kernel->DrainBlock(out);
        EXPECT_EQ(test::AllocationsInProcess() - before, 0) << threads << " threads";
    }
}

}  // namespace
}  // namespace sonorel

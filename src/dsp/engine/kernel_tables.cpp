#include "engine/kernel_tables.h"

#include <cmath>
#include <numbers>

namespace sonorel {
namespace {

KernelTables BuildTables() {
    KernelTables tables;
    // The four-term Blackman-Nuttall window (a0 = 0.3635819, a1 = 0.4891775,
    // a2 = 0.1365995, a3 = 0.0106411) over the 2885-point segment, written
    // as a cubic in cos(2 pi i / 2884).
    constexpr double kWindowPeriod = kAnalysisLength - 1;
    for (int i = 0; i < kWindowHalf; ++i) {
        const double c = std::cos(i * 2.0 * std::numbers::pi / kWindowPeriod);
        tables.AnalysisWindow[i] =
            static_cast<float>(0.2269824 - c * (0.4572542 - c * (0.273199 - c * 0.0425644)));
    }
    // Half a cosine period over one block.
    constexpr double kRampLength = kBlockLength;
    for (int i = 0; i < kOverlap; ++i) {
        tables.CrossfadeRamp[i] =
            static_cast<float>((1.0 + std::cos((i + 1) * std::numbers::pi / kRampLength)) / 2.0);
    }
    return tables;
}

}  // namespace

const KernelTables& GetKernelTables() {
    static const KernelTables tables = BuildTables();
    return tables;
}

}  // namespace sonorel

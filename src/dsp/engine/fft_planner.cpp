#include "engine/fft_planner.h"

namespace sonorel {

std::mutex& FftPlannerLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace sonorel

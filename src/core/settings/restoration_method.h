#pragma once

namespace sonorel {

// Which restoration a run applies: the per-block least-squares estimator
// (classic, the default) or the wall-combining method (src/dsp/enhanced).
// The index of the main window's "Method" choice and of the configuration
// key of that name.
enum class RestorationMethod : int {
    Classic = 0,
    Enhanced = 1,
};

}  // namespace sonorel

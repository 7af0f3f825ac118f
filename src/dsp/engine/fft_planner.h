#pragma once
// FFTW's planner is one per process and not thread-safe: every plan made or
// destroyed anywhere in the program (the estimator's, the pictures'
// spectra) goes under this lock. Executing a plan needs no lock.

#include <mutex>

namespace sonorel {

std::mutex& FftPlannerLock();

}  // namespace sonorel

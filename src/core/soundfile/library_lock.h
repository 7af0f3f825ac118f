#pragma once
// The sound library reports why an open failed through one process-wide
// error number, not one per thread. Every open and the query of its error
// number go under this lock, so that jobs opening files at the same time do
// not read each other's reasons.

#include <mutex>

namespace sonorel {

std::mutex& SoundLibraryOpenLock();

}  // namespace sonorel

#pragma once
// Threads for a run that has the machine to itself (the desktop program
// restores and previews one file at a time): both channels of each block at
// once where there are two or more cores, one thread otherwise.

#include <thread>

namespace sonorel {

inline int ThreadsForOneFileAtATime() {
    return std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

}  // namespace sonorel

#pragma once
// Counts global operator new calls, to prove that nothing is allocated while
// blocks are processed. A test binary gets the replacement operator new by
// linking the sonorel_test_allocation_counter object library; binaries that
// do not link it allocate as usual.

namespace sonorel::test {

// Every allocation made so far, on any thread.
long AllocationsInProcess();

// Starts or stops counting the calling thread's allocations apart.
void CountAllocationsOnThisThread(bool enabled);

// Allocations counted so far, over every thread that asked to be counted.
long CountedAllocations();

}  // namespace sonorel::test

#pragma once
// Counts the global operator new calls of threads that ask for it. The test
// binary replaces operator new for this; every other thread and every test
// that does not ask allocates as usual.

namespace sonorel::test {

// Starts or stops counting on the calling thread.
void CountAllocationsOnThisThread(bool enabled);

// Allocations counted so far, over every counting thread.
long CountedAllocations();

}  // namespace sonorel::test

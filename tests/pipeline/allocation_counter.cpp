#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
thread_local bool tCounting = false;
std::atomic<long> gCounted{0};
}  // namespace

namespace sonorel::test {
void CountAllocationsOnThisThread(bool enabled) {
    tCounting = enabled;
}
long CountedAllocations() {
    return gCounted.load();
}
}  // namespace sonorel::test

// The replacement lives in a file of its own so that no new-expression is
// compiled against these bodies (which pair malloc with free).
void* operator new(std::size_t size) {
    if (tCounting) ++gCounted;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

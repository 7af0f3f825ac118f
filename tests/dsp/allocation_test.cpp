// Nothing is allocated per block: every global operator new is counted, and
// a run of blocks after setup must make none.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "kernel_runner.h"

namespace {
std::atomic<long> allocations{0};

void* Allocate(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    const std::size_t alignment = static_cast<std::size_t>(align);
    const std::size_t rounded = (size + alignment - 1) / alignment * alignment;
    if (void* p = std::aligned_alloc(alignment, rounded == 0 ? alignment : rounded)) return p;
    throw std::bad_alloc();
}
}  // namespace

// Every replaceable form, so that allocation and release always pair up
// (the sanitizers check that they do).
void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void* operator new(std::size_t size, std::align_val_t align) {
    return AllocateAligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
    return AllocateAligned(size, align);
}
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    try {
        return AllocateAligned(size, align);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    return operator new(size, align, std::nothrow);
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
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace sonorel {
namespace {

TEST(Kernel, AllocatesNothingPerBlock) {
    // Setup may allocate: the state, the filter designs, the tables, the FFT
    // plans (made by InitKernelTables).
    test::KernelRun run;
    run.SetShelves(3, -3);
    std::array<float, kBlockLength> left{};
    std::array<float, kBlockLength> right{};
    std::array<float, kBlockLength> out{};
    const long before = allocations.load();
    for (int block = 0; block < 30; ++block) {
        for (int k = 0; k < kBlockLength; ++k) {
            const int n = block * kBlockLength + k;
            left[k] = 0.3f * std::sin(0.02f * n) + ((n % 997) == 0 ? 0.8f : 0.0f);
            right[k] = 0.3f * std::sin(0.02f * n + 0.1f);
        }
        ProcessBlock(*run.state, left, right, run.params, run.filters, &run.state->hissState,
                     run.bassState, run.trebleState, out);
    }
    EXPECT_EQ(allocations.load() - before, 0);
}

}  // namespace
}  // namespace sonorel

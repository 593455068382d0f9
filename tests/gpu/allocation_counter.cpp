#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<std::uint64_t> count{0};

}  // namespace

void* operator new(std::size_t n) {
    if (counting.load(std::memory_order_relaxed)) count.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace quixo::test {

void CountAllocations(bool on) {
    counting.store(on);
}

std::uint64_t AllocationCount() {
    return count.load();
}

}  // namespace quixo::test

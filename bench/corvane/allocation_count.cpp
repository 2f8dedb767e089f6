// The benchmark program's operator new: it counts, then takes from malloc() as the standard library's does, so the
// stock delete (which frees with free()) pairs with it. Kept apart so no caller sees the two halves inlined.
#include "allocation_count.h"

#include <cstdlib>
#include <new>

namespace {
std::size_t allocationCount = 0;
} // namespace

std::size_t AllocationCount() {
    return allocationCount;
}

void* operator new(std::size_t size) {
    ++allocationCount;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

#include "Allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> allocationCount{0};
std::atomic<void*> lastAllocation{nullptr};

void* Allocate(std::size_t size)
{
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    void* memory = std::malloc(size ? size : 1);
    if (!memory)
        throw std::bad_alloc();
    lastAllocation = memory;
    return memory;
}

void* AllocateOrNull(std::size_t size) noexcept
{
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Out of line, so that the compiler does not take the free() for a release
// of memory that did not come from malloc().
[[gnu::noinline]] void Release(void* memory)
{
    if (memory && allocations::onRelease)
        allocations::onRelease(memory);
    std::free(memory);
}

} // namespace

namespace allocations {

void (*onRelease)(void* memory) = nullptr;

long Count()
{
    return allocationCount.load(std::memory_order_relaxed);
}

void* Last()
{
    return lastAllocation;
}

} // namespace allocations

void* operator new(std::size_t size)
{
    return Allocate(size);
}

void* operator new[](std::size_t size)
{
    return Allocate(size);
}

// The nothrow forms too: the default ones call the plain forms above, but a
// sanitizer build supplies its own, whose memory free() must not release.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return AllocateOrNull(size);
}

void operator delete(void* memory) noexcept
{
    Release(memory);
}

void operator delete[](void* memory) noexcept
{
    Release(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    Release(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    Release(memory);
}

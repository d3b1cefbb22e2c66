#include "platform/sound/bigbuffer.h"

#include <cstdint>
#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#define OSTREL_HEAP_ONLY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OSTREL_HEAP_ONLY 1
#endif
#endif

namespace sound {

namespace {

constexpr std::size_t kHuge = std::size_t(2) << 20;
constexpr std::size_t kFromHere = std::size_t(1) << 20;
// no sample buffer comes near this; a request past it is a size gone wrong
constexpr std::size_t kMost = std::size_t(1) << 40;

std::size_t mappedSize(std::size_t bytes) { return (bytes + kHuge - 1) & ~(kHuge - 1); }

bool mapped(std::size_t bytes)
{
#ifdef OSTREL_HEAP_ONLY
    (void)bytes;
    return false;
#else
    return bytes >= kFromHere;
#endif
}

}  // namespace

void* bigAllocate(std::size_t bytes) noexcept
{
    if (bytes > kMost) return nullptr;
    if (!mapped(bytes)) return ::operator new(bytes ? bytes : 1, std::nothrow);
    const std::size_t size = mappedSize(bytes), span = size + kHuge;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    // keep the 2 MB aligned part, give back the rest
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHuge - 1) & ~std::uintptr_t(kHuge - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const std::uintptr_t end = start + span, used = aligned + size;
    if (end > used) munmap(reinterpret_cast<void*>(used), end - used);
    void* p = reinterpret_cast<void*>(aligned);
    // only advice: without huge pages the buffer works the same
    madvise(p, size, MADV_HUGEPAGE);
    return p;
}

void bigFree(void* p, std::size_t bytes) noexcept
{
    if (!p) return;
    if (!mapped(bytes)) {
        ::operator delete(p);
        return;
    }
    munmap(p, mappedSize(bytes));
}

}  // namespace sound

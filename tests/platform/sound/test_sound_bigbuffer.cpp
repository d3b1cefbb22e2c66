// The sample buffers the callback walks: large ones are 2 MB aligned mappings, small ones heap
// blocks; both keep their contents as a vector grows, and an impossible size is refused.
#include "platform/sound/bigbuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>

using namespace sound;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapped = false;
#else
constexpr bool kMapped = true;
#endif

}  // namespace

TEST(BigBuffer, GrowsKeepingItsSamplesAcrossTheSizeWhereItIsMapped)
{
    BigVector<std::int16_t> v;
    for (int i = 0; i < 3 * 1024 * 1024; ++i) v.push_back(std::int16_t(i * 7));  // 6 MB: heap, then mapped
    for (int i = 0; i < 3 * 1024 * 1024; i += 4099) ASSERT_EQ(v[size_t(i)], std::int16_t(i * 7)) << i;
    if (kMapped) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(v.data()) % (2u << 20), 0u);
    }
    v.resize(100);
    v.shrink_to_fit();  // back to the heap
    EXPECT_EQ(v[99], std::int16_t(99 * 7));

    BigVector<float> line(size_t(3) << 20, 0.0f);  // a delay line: zeroed, every sample writable
    for (size_t i = 0; i < line.size(); i += 1000) line[i] = 1.0f;
    EXPECT_EQ(line.back(), 0.0f);
}

TEST(BigBuffer, ImpossibleSizesAreRefusedNotWrapped)
{
    BigArray<std::int16_t> none(std::size_t(-1) / 2);
    EXPECT_FALSE(none);
    EXPECT_EQ(none.size(), 0u);
    BigArray<std::int16_t> some(std::size_t(1) << 21);
    ASSERT_TRUE(some);
    some[some.size() - 1] = 5;
    BigArray<std::int16_t> moved = std::move(some);
    EXPECT_EQ(moved[moved.size() - 1], 5);
    EXPECT_FALSE(some);
    BigAllocator<float> a;
    EXPECT_THROW((void)a.allocate(std::size_t(-1) / 2), std::bad_alloc);
}

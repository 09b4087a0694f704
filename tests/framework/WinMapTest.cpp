#include "WinMap.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

const void* handle(uintptr_t v)
{
    return reinterpret_cast<const void*>(v);
}

WindowCL* object(uintptr_t v)
{
    return reinterpret_cast<WindowCL*>(v);
}

TEST(WinMapTest, InsertLookupRemove)
{
    WinMap map;
    EXPECT_EQ(map.getBucketCount(), 97u);
    EXPECT_EQ(map.insert(handle(0x10020), object(1)), nullptr);
    EXPECT_EQ(map.insert(handle(0x10024), object(2)), nullptr);
    EXPECT_EQ(map.lookup(handle(0x10020)), object(1));
    EXPECT_EQ(map.lookup(handle(0x10024)), object(2));
    EXPECT_EQ(map.lookup(handle(0x10028)), nullptr) << "an unknown handle has no object";
    EXPECT_EQ(map.remove(handle(0x10020)), object(1));
    EXPECT_EQ(map.lookup(handle(0x10020)), nullptr);
    EXPECT_EQ(map.remove(handle(0x10020)), nullptr);
    EXPECT_EQ(map.count(), 1);
}

TEST(WinMapTest, InsertingAMappedHandleReplacesTheEntryAndReturnsTheOldObject)
{
    WinMap map;
    map.insert(handle(0x30), object(1));
    EXPECT_EQ(map.insert(handle(0x30), object(2)), object(1));
    EXPECT_EQ(map.lookup(handle(0x30)), object(2));
    EXPECT_EQ(map.count(), 1);
}

TEST(WinMapTest, HashIsTheLow32BitsTimesFourModulo97)
{
    EXPECT_EQ(WinMap::hash(handle(0x10020)), 0x40080u);
    EXPECT_EQ(WinMap::hash(handle(0x40000000)), 0u) << "times 4 wraps in 32 bits";
    WinMap map;
    EXPECT_EQ(map.bucketOf(handle(25)), 100u % 97u);
#if UINTPTR_MAX > 0xFFFFFFFFu
    // Handles that differ only above bit 31 share a bucket but stay apart.
    const void* low = handle(0x1234);
    const void* high = handle((uintptr_t(1) << 40) | 0x1234);
    EXPECT_EQ(map.bucketOf(low), map.bucketOf(high));
    map.insert(low, object(1));
    map.insert(high, object(2));
    EXPECT_EQ(map.bucketSize(map.bucketOf(low)), 2);
    EXPECT_EQ(map.lookup(low), object(1));
    EXPECT_EQ(map.lookup(high), object(2));
    EXPECT_EQ(map.remove(high), object(2));
    EXPECT_EQ(map.lookup(low), object(1));
#endif
}

TEST(WinMapTest, HandlesSpreadOverTheBuckets)
{
    WinMap map;
    // Window handles of wine and Windows step by small multiples of 2.
    for (uintptr_t h = 0x10020; h < 0x10020 + 2 * 970; h += 2)
        map.insert(handle(h), object(h));
    int largest = 0;
    for (uint32_t b = 0; b < map.getBucketCount(); ++b)
        largest = std::max(largest, map.bucketSize(b));
    EXPECT_EQ(map.count(), 970);
    EXPECT_LE(largest, 20);
}

} // namespace

// Element pools: chunk sizes as the pool grows, chunks freed when their slots
// come back, free slots reused first, one-slot chunks, sharing and locking.
#include "toolkit/core/pool.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <vector>

namespace {
TEST(PoolTest, ChunksGrowBySixteenThenBySixteenthUpToMaximum) {
    Pool* pool = PoolCreate(5, 16, 256, 2);   // odd size: the slot rounds up
    ASSERT_NE(nullptr, pool);
    struct { uint32_t alive; uint32_t total; } steps[] = {
        {1, 16}, {16, 16}, {17, 32}, {512, 512}, {513, 544}, {545, 576}, {768, 768},
        {769, 816}, {3921, 4160}, {4161, 4416}, {4417, 4672},  // 4160/16 = 260: max
    };
    std::vector<unsigned char*> elements;
    for (const auto& s : steps) {
        while (elements.size() < s.alive) {
            elements.push_back(static_cast<unsigned char*>(PoolAlloc(pool)));
            ASSERT_NE(nullptr, elements.back());
            memset(elements.back(), static_cast<int>(elements.size()), 5);
        }
        EXPECT_EQ(s.total, PoolTotalSlots(pool)) << s.alive;
    }
    for (size_t i = 0; i < elements.size(); ++i)   // no two slots overlap
        ASSERT_EQ(static_cast<unsigned char>(i + 1), elements[i][4]) << i;
    PoolClear(pool);
    EXPECT_EQ(0u, PoolTotalSlots(pool));
    EXPECT_NE(nullptr, PoolAlloc(pool));
    PoolDestroy(pool);
}

TEST(PoolTest, ChunkGoesWhenItsSlotsAreBackAndFreedSlotsComeFirst) {
    Pool* pool = PoolCreate(16, 16, 256, POOL_LOCKED);
    std::vector<void*> first, second;
    for (int i = 0; i < 16; ++i) first.push_back(PoolAlloc(pool));
    for (int i = 0; i < 3; ++i) second.push_back(PoolAlloc(pool));
    ASSERT_EQ(32u, PoolTotalSlots(pool));
    PoolFree(pool, second[1]);
    PoolFree(pool, second[0]);
    EXPECT_EQ(second[0], PoolAlloc(pool));        // most recently freed first
    PoolFree(pool, second[0]);
    EXPECT_EQ(32u, PoolTotalSlots(pool));
    PoolFree(pool, second[2]);                     // 3 handed out, 3 back
    EXPECT_EQ(16u, PoolTotalSlots(pool));
    // The full chunk moves back to the partial list and serves the next call.
    PoolFree(pool, first[7]);
    EXPECT_EQ(first[7], PoolAlloc(pool));
    EXPECT_EQ(16u, PoolTotalSlots(pool));
    for (void* e : first) PoolFree(pool, e);
    EXPECT_EQ(0u, PoolTotalSlots(pool));
    PoolDestroy(pool);
}

TEST(PoolTest, OneSlotChunkWhenTheLargerOneCannotBeHad) {
    Pool* pool = PoolCreate(8, 16, 256, 2);
    PoolChunkRefusalSet(2);
    void* a = PoolAlloc(pool);
    void* b = PoolAlloc(pool);
    EXPECT_TRUE(a && b && a != b);
    EXPECT_EQ(2u, PoolTotalSlots(pool));
    PoolFree(pool, a);
    EXPECT_EQ(1u, PoolTotalSlots(pool));
    PoolChunkRefusalSet(1);                        // not even one slot
    EXPECT_EQ(nullptr, PoolAlloc(pool));
    PoolChunkRefusalSet(0);
    PoolFree(pool, b);
    EXPECT_EQ(0u, PoolTotalSlots(pool));
    PoolDestroy(pool);
    EXPECT_EQ(nullptr, PoolCreate(0xFFFFFFFFu, 16, 256, 0));
    EXPECT_EQ(nullptr, PoolCreate(0xFFFFFFFFu, 16, 256, POOL_SHARED));
}

TEST(PoolTest, SharedPoolIsCountedThroughTheRegistry) {
    // 7 and 8 bytes round to the same slot size on either architecture.
    Pool* a = PoolCreate(8, 16, 256, POOL_SHARED);
    Pool* b = PoolCreate(7, 16, 256, POOL_SHARED);
    Pool* wider = PoolCreate(64, 16, 256, POOL_SHARED);
    Pool* locked = PoolCreate(8, 16, 256, POOL_SHARED | POOL_LOCKED);
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(wider && locked && a != wider && a != locked && wider != locked);
    PoolAlloc(a);
    PoolDestroy(b);                                // a reference remains
    EXPECT_EQ(16u, PoolTotalSlots(a));
    PoolDestroy(a);                                // the last one: gone
    Pool* again = PoolCreate(8, 16, 256, POOL_SHARED);
    EXPECT_EQ(0u, PoolTotalSlots(again));
    for (Pool* p : {again, wider, locked}) PoolDestroy(p);
}

struct Churn { HANDLE go; Pool* pool; int faults; };

DWORD WINAPI churn(void* parameter) {
    Churn* c = static_cast<Churn*>(parameter);
    WaitForSingleObject(c->go, 10000);             // start together, so they overlap
    int* held[40];
    for (int round = 0; round < 5000; ++round) {
        for (int i = 0; i < 40; ++i) {
            held[i] = static_cast<int*>(PoolAlloc(c->pool));
            if (held[i]) *held[i] = round * 40 + i;
            else ++c->faults;
        }
        for (int i = 0; i < 40; ++i) {
            if (held[i] && *held[i] != round * 40 + i) ++c->faults;
            PoolFree(c->pool, held[i]);
        }
    }
    return 0;
}

TEST(PoolTest, ThreadsShareALockedPoolWithoutLosingSlots) {
    Pool* pool = PoolCreate(sizeof(int), 16, 256, POOL_LOCKED);
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Churn work[4];
    HANDLE threads[4];
    for (int i = 0; i < 4; ++i) {
        work[i] = {go, pool, 0};
        threads[i] = CreateThread(nullptr, 0, churn, &work[i], 0, nullptr);
        ASSERT_NE(nullptr, threads[i]);
    }
    SetEvent(go);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(4, threads, TRUE, 60000));
    for (int i = 0; i < 4; ++i) {
        CloseHandle(threads[i]);
        EXPECT_EQ(0, work[i].faults) << i;
    }
    CloseHandle(go);
    EXPECT_EQ(0u, PoolTotalSlots(pool));           // every chunk came back
    PoolDestroy(pool);
}
}  // namespace

// Element pools: chunk sizes as the pool grows, chunks freed when their slots
// come back, free slots reused first, one-slot chunks, sharing and locking.
#include "toolkit/core/pool.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <vector>

namespace {
class PoolTest : public ::testing::Test {
protected:
    void TearDown() override {
        PoolChunkRefusalSet(0);
        for (Pool* p : made_) PoolDestroy(p);
    }
    Pool* create(uint32_t elementSize, uint32_t minSlots, uint32_t maxSlots, uint32_t flags) {
        Pool* p = PoolCreate(elementSize, minSlots, maxSlots, flags);
        if (p) made_.push_back(p);
        return p;
    }
    std::vector<Pool*> made_;
};

TEST_F(PoolTest, ChunksGrowBySixteenThenBySixteenthUpToMaximum) {
    Pool* pool = create(8, 16, 256, 2);
    ASSERT_NE(nullptr, pool);
    EXPECT_EQ(0u, PoolTotalSlots(pool));
    // Total slots after the n-th element alive at once.
    struct { uint32_t alive; uint32_t total; } steps[] = {
        {1, 16}, {16, 16}, {17, 32}, {500, 512}, {512, 512}, {513, 544},
        {545, 576}, {768, 768}, {769, 816}, {3921, 4160},
        {4161, 4416}, {4417, 4672},   // 4160 / 16 = 260: held to the maximum
    };
    uint32_t alive = 0;
    for (const auto& s : steps) {
        while (alive < s.alive) {
            ASSERT_NE(nullptr, PoolAlloc(pool));
            ++alive;
        }
        SCOPED_TRACE(s.alive);
        EXPECT_EQ(s.total, PoolTotalSlots(pool));
    }
}

TEST_F(PoolTest, ElementsAreDistinctAlignedAndHoldTheirBytes) {
    const uint32_t size = 5;   // odd on purpose: the slot must round up
    Pool* pool = create(size, 16, 256, 2);
    std::vector<unsigned char*> elements;
    for (int i = 0; i < 100; ++i) {
        unsigned char* e = static_cast<unsigned char*>(PoolAlloc(pool));
        ASSERT_NE(nullptr, e);
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(e) % sizeof(void*));
        memset(e, i, size);
        elements.push_back(e);
    }
    for (int i = 0; i < 100; ++i) {
        SCOPED_TRACE(i);
        for (uint32_t k = 0; k < size; ++k) ASSERT_EQ(i, elements[i][k]);
    }
}

TEST_F(PoolTest, ChunkIsFreedWhenAllItsSlotsComeBack) {
    Pool* pool = create(16, 16, 256, 2);
    std::vector<void*> first, second;
    for (int i = 0; i < 16; ++i) first.push_back(PoolAlloc(pool));
    for (int i = 0; i < 3; ++i) second.push_back(PoolAlloc(pool));
    ASSERT_EQ(32u, PoolTotalSlots(pool));
    // Handed out 3 of 16: the chunk goes once those 3 are back.
    PoolFree(pool, second[1]);
    PoolFree(pool, second[0]);
    EXPECT_EQ(32u, PoolTotalSlots(pool));
    PoolFree(pool, second[2]);
    EXPECT_EQ(16u, PoolTotalSlots(pool));
    // The full chunk goes back to the partial list with its first free slot,
    // and hands that slot out again rather than making a chunk.
    PoolFree(pool, first[7]);
    EXPECT_EQ(first[7], PoolAlloc(pool));
    EXPECT_EQ(16u, PoolTotalSlots(pool));
    for (void* e : first) PoolFree(pool, e);
    EXPECT_EQ(0u, PoolTotalSlots(pool));
}

TEST_F(PoolTest, MostRecentlyFreedSlotIsHandedOutFirst) {
    Pool* pool = create(4, 16, 256, 2);
    void* keep = PoolAlloc(pool);   // keeps the chunk alive
    void* a = PoolAlloc(pool);
    void* b = PoolAlloc(pool);
    PoolFree(pool, a);
    PoolFree(pool, b);
    EXPECT_EQ(b, PoolAlloc(pool));
    EXPECT_EQ(a, PoolAlloc(pool));
    void* fresh = PoolAlloc(pool);
    EXPECT_NE(keep, fresh);
    EXPECT_NE(a, fresh);
    EXPECT_NE(b, fresh);
    EXPECT_EQ(16u, PoolTotalSlots(pool));
}

TEST_F(PoolTest, OneSlotChunkWhenTheLargerOneCannotBeHad) {
    Pool* pool = create(8, 16, 256, 2);
    PoolChunkRefusalSet(2);
    void* a = PoolAlloc(pool);
    void* b = PoolAlloc(pool);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(2u, PoolTotalSlots(pool));
    PoolFree(pool, a);
    EXPECT_EQ(1u, PoolTotalSlots(pool));
    PoolChunkRefusalSet(1);        // not even one slot: no element
    EXPECT_EQ(nullptr, PoolAlloc(pool));
    EXPECT_EQ(1u, PoolTotalSlots(pool));
    PoolChunkRefusalSet(0);
    PoolFree(pool, b);
    EXPECT_EQ(0u, PoolTotalSlots(pool));
}

TEST_F(PoolTest, ClearEmptiesThePoolWhichStaysUsable) {
    Pool* pool = create(8, 16, 256, POOL_LOCKED);
    for (int i = 0; i < 40; ++i) PoolAlloc(pool);
    ASSERT_EQ(48u, PoolTotalSlots(pool));
    PoolClear(pool);
    EXPECT_EQ(0u, PoolTotalSlots(pool));
    EXPECT_NE(nullptr, PoolAlloc(pool));
    EXPECT_EQ(16u, PoolTotalSlots(pool));
}

TEST_F(PoolTest, ImpossibleElementSizeGivesNoPool) {
    EXPECT_EQ(nullptr, PoolCreate(0xFFFFFFFFu, 16, 256, 0));
    EXPECT_EQ(nullptr, PoolCreate(0xFFFFFFFFu, 16, 256, POOL_SHARED));
}

TEST(PoolSharedTest, SameSlotSizeAndFlagsShareOnePoolByReference) {
    // 7 and 8 bytes round to the same slot on either architecture.
    Pool* a = PoolCreate(8, 16, 256, POOL_SHARED);
    Pool* b = PoolCreate(7, 16, 256, POOL_SHARED);
    Pool* wider = PoolCreate(64, 16, 256, POOL_SHARED);
    Pool* locked = PoolCreate(8, 16, 256, POOL_SHARED | POOL_LOCKED);
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, wider);
    EXPECT_NE(a, locked);
    EXPECT_NE(wider, locked);
    void* e = PoolAlloc(a);
    ASSERT_NE(nullptr, e);
    PoolDestroy(b);                 // one reference left: still the same pool
    EXPECT_EQ(16u, PoolTotalSlots(a));
    PoolFree(a, e);
    PoolAlloc(a);
    PoolDestroy(a);                 // last reference: gone from the registry
    Pool* again = PoolCreate(8, 16, 256, POOL_SHARED);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(0u, PoolTotalSlots(again));
    PoolDestroy(again);
    PoolDestroy(wider);
    PoolDestroy(locked);
}

struct Churn {
    Pool* pool;
    int rounds;
    int faults;
};

DWORD WINAPI churn(void* parameter) {
    Churn* c = static_cast<Churn*>(parameter);
    std::vector<int*> held;
    for (int r = 0; r < c->rounds; ++r) {
        int* e = static_cast<int*>(PoolAlloc(c->pool));
        if (!e) { ++c->faults; continue; }
        *e = r;
        held.push_back(e);
        if (held.size() == 40) {
            for (size_t i = 0; i < held.size(); ++i)
                if (*held[i] != r - 39 + static_cast<int>(i)) ++c->faults;
            for (int* h : held) PoolFree(c->pool, h);
            held.clear();
        }
    }
    for (int* h : held) PoolFree(c->pool, h);
    return 0;
}

TEST(PoolLockedTest, ThreadsShareALockedPoolWithoutLosingSlots) {
    Pool* pool = PoolCreate(sizeof(int), 16, 256, POOL_LOCKED);
    ASSERT_NE(nullptr, pool);
    Churn work[4];
    HANDLE threads[4];
    for (int i = 0; i < 4; ++i) {
        work[i] = {pool, 20000, 0};
        threads[i] = CreateThread(nullptr, 0, churn, &work[i], 0, nullptr);
        ASSERT_NE(nullptr, threads[i]);
    }
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(4, threads, TRUE, 60000));
    for (int i = 0; i < 4; ++i) {
        CloseHandle(threads[i]);
        EXPECT_EQ(0, work[i].faults);
    }
    EXPECT_EQ(0u, PoolTotalSlots(pool));   // every chunk went back
    PoolDestroy(pool);
}
}  // namespace

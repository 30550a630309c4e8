// Record lists (order, links, unlinking anywhere) and RunOnce on both of its
// paths, alone and with threads racing to it.
#include "toolkit/core/record_list.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>

namespace {
std::vector<void*> walk(void* head) {
    std::vector<void*> order;
    for (void* r = head; r; r = RecordListNext(r)) order.push_back(r);
    return order;
}

// The list read backwards from its oldest record, to check the other links.
std::vector<void*> walkBack(void* head) {
    void* tail = head;
    while (tail && RecordListNext(tail)) tail = RecordListNext(tail);
    std::vector<void*> order;
    for (void* r = tail; r; r = RecordListPrevious(r)) order.insert(order.begin(), r);
    return order;
}

TEST(RecordListTest, NewestAtTheHeadZeroedAndLinkedBothWays) {
    void* head = nullptr;
    void* a = RecordListAdd(&head, 24);
    void* b = RecordListAdd(&head, 24);
    void* c = RecordListAdd(&head, 24);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(c, head);
    EXPECT_EQ((std::vector<void*>{c, b, a}), walk(head));
    EXPECT_EQ(walk(head), walkBack(head));
    EXPECT_EQ(nullptr, RecordListPrevious(c));
    const unsigned char* bytes = static_cast<unsigned char*>(b);
    for (int i = 0; i < 24; ++i) ASSERT_EQ(0, bytes[i]);
    for (void* r : {a, b, c}) RecordListRemove(&head, r);
}

TEST(RecordListTest, RemoveFromAnyPlaceKeepsTheRestLinked) {
    // Which of five records goes: the head, a middle one, the oldest.
    for (int gone : {4, 2, 0}) {
        SCOPED_TRACE(gone);
        void* head = nullptr;
        std::vector<void*> records;
        for (int i = 0; i < 5; ++i) records.push_back(RecordListAdd(&head, 8));
        RecordListRemove(&head, records[gone]);
        std::vector<void*> expected;
        for (int i = 4; i >= 0; --i)
            if (i != gone) expected.push_back(records[i]);
        EXPECT_EQ(expected, walk(head));
        EXPECT_EQ(expected, walkBack(head));
        while (head) RecordListRemove(&head, head);
    }
}

TEST(RecordListTest, LastRecordRemovedLeavesAnEmptyHead) {
    void* head = nullptr;
    void* only = RecordListAdd(&head, 0);
    ASSERT_NE(nullptr, only);
    RecordListRemove(&head, only);
    EXPECT_EQ(nullptr, head);
    RecordListRemove(&head, nullptr);   // nothing to do, nothing to break
    EXPECT_EQ(nullptr, head);
}

volatile LONG g_runs = 0;
volatile LONG g_finished = 0;

void countedRun() {
    InterlockedIncrement(&g_runs);
    Sleep(50);                       // long enough for racers to arrive
    InterlockedExchange(&g_finished, 1);
}

struct Racer {
    HANDLE go;
    void** flag;
    LONG sawFinished;
};

DWORD WINAPI race(void* parameter) {
    Racer* r = static_cast<Racer*>(parameter);
    WaitForSingleObject(r->go, 10000);
    RunOnce(r->flag, countedRun);
    // Nobody may return before the one run has finished.
    r->sawFinished = g_finished;
    return 0;
}

class RunOnceTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        RunOnceFallbackForce(GetParam());
        g_runs = 0;
        g_finished = 0;
    }
    void TearDown() override { RunOnceFallbackForce(0); }
};

TEST_P(RunOnceTest, SameFlagRunsOnceNewFlagRunsAgain) {
    void* flag = nullptr;
    RunOnce(&flag, countedRun);
    RunOnce(&flag, countedRun);
    EXPECT_EQ(1, g_runs);
    EXPECT_NE(nullptr, flag);
    void* other = nullptr;
    RunOnce(&other, countedRun);
    EXPECT_EQ(2, g_runs);
}

TEST_P(RunOnceTest, RacingThreadsRunItOnceAndWaitForIt) {
    void* flag = nullptr;
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, go);
    const int count = 6;
    Racer racers[count];
    HANDLE threads[count];
    for (int i = 0; i < count; ++i) {
        racers[i] = {go, &flag, -1};
        threads[i] = CreateThread(nullptr, 0, race, &racers[i], 0, nullptr);
        ASSERT_NE(nullptr, threads[i]);
    }
    SetEvent(go);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(count, threads, TRUE, 30000));
    for (int i = 0; i < count; ++i) {
        CloseHandle(threads[i]);
        EXPECT_EQ(1, racers[i].sawFinished) << "racer " << i;
    }
    CloseHandle(go);
    EXPECT_EQ(1, g_runs);
}

TEST(RunOnceFallbackTest, FlagEndsInTheDoneState) {
    RunOnceFallbackForce(1);
    void* flag = nullptr;
    RunOnce(&flag, [] {});
    RunOnceFallbackForce(0);
    EXPECT_EQ(reinterpret_cast<void*>(2), flag);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, RunOnceTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Fallback") : std::string("InitOnce");
                         });
}  // namespace

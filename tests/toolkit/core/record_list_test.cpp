// Record lists (order, both links, unlinking anywhere) and RunOnce on both of
// its paths with threads racing to it.
#include "toolkit/core/record_list.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>

namespace {
// The records from the head, and the same read back from the oldest one.
void walkBothWays(void* head, std::vector<void*>* forward, std::vector<void*>* backward) {
    void* last = nullptr;
    for (void* r = head; r; r = RecordListNext(r)) forward->push_back(last = r);
    for (void* r = last; r; r = RecordListPrevious(r)) backward->insert(backward->begin(), r);
}

TEST(RecordListTest, NewestFirstZeroedAndRemovableAnywhere) {
    for (int gone : {4, 2, 0}) {                   // the head, a middle one, the oldest
        SCOPED_TRACE(gone);
        void* head = nullptr;
        std::vector<void*> records;
        for (int i = 0; i < 5; ++i) records.push_back(RecordListAdd(&head, 12));
        EXPECT_EQ(records[4], head);
        EXPECT_EQ(0, static_cast<int*>(records[2])[2]);
        RecordListRemove(&head, records[gone]);
        std::vector<void*> expected, forward, backward;
        for (int i = 4; i >= 0; --i)
            if (i != gone) expected.push_back(records[i]);
        walkBothWays(head, &forward, &backward);
        EXPECT_EQ(expected, forward);
        EXPECT_EQ(expected, backward);
        while (head) RecordListRemove(&head, head);
    }
}

volatile LONG g_runs = 0;
volatile LONG g_finished = 0;

void countedRun() {
    InterlockedIncrement(&g_runs);
    Sleep(50);                                     // racers arrive meanwhile
    InterlockedExchange(&g_finished, 1);
}

struct Racer { HANDLE go; void** flag; LONG sawFinished; };

DWORD WINAPI race(void* parameter) {
    Racer* r = static_cast<Racer*>(parameter);
    WaitForSingleObject(r->go, 10000);
    RunOnce(r->flag, countedRun);
    r->sawFinished = g_finished;                   // none may return early
    return 0;
}

class RunOnceTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { RunOnceFallbackForce(GetParam()); }
    void TearDown() override { RunOnceFallbackForce(0); }
};

TEST_P(RunOnceTest, RacingThreadsRunItOnceAndWaitForIt) {
    g_runs = g_finished = 0;
    void* flag = nullptr;
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Racer racers[6];
    HANDLE threads[6];
    for (int i = 0; i < 6; ++i) {
        racers[i] = {go, &flag, -1};
        threads[i] = CreateThread(nullptr, 0, race, &racers[i], 0, nullptr);
        ASSERT_NE(nullptr, threads[i]);
    }
    SetEvent(go);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(6, threads, TRUE, 30000));
    for (int i = 0; i < 6; ++i) {
        CloseHandle(threads[i]);
        EXPECT_EQ(1, racers[i].sawFinished) << i;
    }
    CloseHandle(go);
    RunOnce(&flag, countedRun);                    // later calls: nothing
    EXPECT_EQ(1, g_runs);
    if (GetParam()) EXPECT_EQ(reinterpret_cast<void*>(2), flag);   // the done state
    void* other = nullptr;                         // another flag runs again
    RunOnce(&other, countedRun);
    EXPECT_EQ(2, g_runs);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, RunOnceTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param ? "Fallback" : "InitOnce");
                         });
}  // namespace

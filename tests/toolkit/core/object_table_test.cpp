// Object tables: record reuse and release, slot growth and its limit, numbers
// that were never handed out, iteration while removing, module state records.
#include "toolkit/core/object_table.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
struct Thing {
    intptr_t handle;   // nonzero while the object exists
    int payload[3];
};

ObjectTable* g_table = nullptr;
std::vector<ObjectNumber> g_released;

// Behaves like the toolkit's release functions: absent objects are left alone.
void thingRelease(ObjectNumber number) {
    g_released.push_back(number);
    if (ObjectFind(g_table, number)) ObjectRemove(g_table, number);
}

class ObjectTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_released.clear();
        g_table = ObjectTableCreate(sizeof(Thing), 16, thingRelease);
    }
    static Thing* make(ObjectNumber number, intptr_t handle) {
        Thing* t = static_cast<Thing*>(ObjectNew(g_table, number));
        if (t) t->handle = handle;
        return t;
    }
    static ObjectNumber numberOf(const Thing* t) { return reinterpret_cast<ObjectNumber>(t); }
};

TEST_F(ObjectTableTest, NumberInUseIsReleasedOnceAndItsRecordReused) {
    Thing* first = make(0, 0x111);
    first->payload[0] = 7;
    ASSERT_TRUE(g_released.empty());
    Thing* second = static_cast<Thing*>(ObjectNew(g_table, 0));
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::vector<ObjectNumber>{0}, g_released);
    // The release function removed the object, so the reused record is zero.
    EXPECT_EQ(0, second->handle);
    EXPECT_EQ(0, second->payload[0]);
}

TEST_F(ObjectTableTest, ReleaseRunsForAnEmptySlotRecordToo) {
    make(2, 0x222);
    ObjectRemove(g_table, 2);
    g_released.clear();
    ObjectNew(g_table, 2);
    EXPECT_EQ(std::vector<ObjectNumber>{2}, g_released);
}

TEST_F(ObjectTableTest, RemovedSlotIsAbsentAndComesBackZeroed) {
    Thing* t = make(0, 0x111);
    t->payload[2] = 9;
    EXPECT_EQ(t, ObjectFind(g_table, 0));
    ObjectRemove(g_table, 0);
    EXPECT_EQ(nullptr, ObjectFind(g_table, 0));
    g_released.clear();
    Thing* again = static_cast<Thing*>(ObjectNew(g_table, 0));
    EXPECT_EQ(t, again);
    EXPECT_EQ(0, again->payload[2]);
}

TEST_F(ObjectTableTest, GrowsToNumberPlusStepWithNullSlots) {
    EXPECT_EQ(16u, ObjectTableSlotCount(g_table));
    make(3, 0x333);
    Thing* t = make(20, 0x2020);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(36u, ObjectTableSlotCount(g_table));
    EXPECT_EQ(t, ObjectFind(g_table, 20));
    ASSERT_NE(nullptr, ObjectFind(g_table, 3));           // kept across the move
    EXPECT_EQ(0x333, static_cast<Thing*>(ObjectFind(g_table, 3))->handle);
    for (ObjectNumber n = 16; n < 36; ++n) {
        if (n == 20) continue;
        SCOPED_TRACE(n);
        EXPECT_EQ(nullptr, ObjectFind(g_table, n));
    }
    // A fresh slot past the old end gets no release call: it was null.
    EXPECT_TRUE(g_released.empty());
}

TEST_F(ObjectTableTest, NumbersThatCanNeverBeSlotsAreRefused) {
    Thing* any = make(ANY_NUMBER, 0x444);
    const ObjectNumber refused[] = {
        -2, INTPTR_MIN, OBJECT_NUMBER_LIMIT, INTPTR_MAX, numberOf(any),
    };
    for (ObjectNumber n : refused) {
        SCOPED_TRACE(n);
        EXPECT_EQ(nullptr, ObjectNew(g_table, n));
        EXPECT_EQ(16u, ObjectTableSlotCount(g_table));
    }
    // The largest number still works; the slot count stops at the limit.
    Thing* last = make(OBJECT_NUMBER_LIMIT - 1, 0x555);
    ASSERT_NE(nullptr, last);
    EXPECT_EQ(OBJECT_NUMBER_LIMIT, ObjectTableSlotCount(g_table));
    EXPECT_EQ(last, ObjectFind(g_table, OBJECT_NUMBER_LIMIT - 1));
}

TEST_F(ObjectTableTest, AnyNumberRecordIsFoundByItsAddressUntilRemoved) {
    Thing* t = make(ANY_NUMBER, 0x666);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(0, t->payload[1]);
    EXPECT_EQ(t, ObjectFind(g_table, numberOf(t)));
    ObjectRemove(g_table, numberOf(t));
    EXPECT_EQ(nullptr, ObjectFind(g_table, numberOf(t)));
    ObjectRemove(g_table, numberOf(t));   // a second remove must not free twice
}

TEST_F(ObjectTableTest, UnknownNumbersAreAbsentAndNeverTouched) {
    make(1, 0x777);
    // A live, nonzero record the table never handed out: must not be taken for one.
    Thing foreign = {0x1234, {5, 6, 7}};
    ObjectTable* other = ObjectTableCreate(sizeof(Thing), 4, nullptr);
    Thing* otherAny = static_cast<Thing*>(ObjectNew(other, ANY_NUMBER));
    otherAny->handle = 0x99;
    const ObjectNumber unknown[] = {
        -2, -1000, INTPTR_MIN, 16, 17, OBJECT_NUMBER_LIMIT, INTPTR_MAX,
        numberOf(&foreign), numberOf(otherAny),
    };
    for (ObjectNumber n : unknown) {
        SCOPED_TRACE(n);
        EXPECT_EQ(nullptr, ObjectFind(g_table, n));
        ObjectRemove(g_table, n);
    }
    EXPECT_EQ(0x1234, foreign.handle);
    EXPECT_EQ(7, foreign.payload[2]);
    EXPECT_EQ(otherAny, ObjectFind(other, numberOf(otherAny)));
    ASSERT_NE(nullptr, ObjectFind(g_table, 1));
}

TEST_F(ObjectTableTest, IterationGivesSlotsThenAnyNumberOldestFirst) {
    make(3, 0x3);
    make(0, 0x1);
    make(5, 0x5);
    ObjectRemove(g_table, 5);              // absent slots are skipped
    Thing* a = make(ANY_NUMBER, 0xA);
    Thing* b = make(ANY_NUMBER, 0xB);
    const ObjectNumber expected[] = {0, 3, numberOf(a), numberOf(b)};
    std::vector<ObjectNumber> seen;
    ObjectNumber number = 0xDEADBEEF;
    ObjectIterateStart(g_table);
    while (void* record = ObjectIterateNext(g_table, &number)) {
        EXPECT_EQ(record, ObjectFind(g_table, number));
        seen.push_back(number);
        ObjectRemove(g_table, number);     // removing the returned one is allowed
    }
    EXPECT_EQ(std::vector<ObjectNumber>(std::begin(expected), std::end(expected)), seen);
    EXPECT_EQ(nullptr, ObjectFind(g_table, 0));
    EXPECT_EQ(nullptr, ObjectFind(g_table, numberOf(b)));
}

TEST_F(ObjectTableTest, RemovingTheNextAnyNumberRecordMidIterationIsSafe) {
    Thing* a = make(ANY_NUMBER, 0xA);
    Thing* b = make(ANY_NUMBER, 0xB);
    Thing* c = make(ANY_NUMBER, 0xC);
    ObjectNumber number = 0;
    ObjectIterateStart(g_table);
    ASSERT_EQ(a, ObjectIterateNext(g_table, &number));
    ObjectRemove(g_table, numberOf(b));    // the record the cursor points at
    EXPECT_EQ(c, ObjectIterateNext(g_table, &number));
    EXPECT_EQ(numberOf(c), number);
    EXPECT_EQ(nullptr, ObjectIterateNext(g_table, &number));
}

TEST_F(ObjectTableTest, ReleaseAllReachesEveryPresentObject) {
    make(0, 0x1);
    make(7, 0x7);
    Thing* any = make(ANY_NUMBER, 0xA);
    ObjectNumber anyNumber = numberOf(any);
    ObjectReleaseAll(g_table);
    EXPECT_EQ((std::vector<ObjectNumber>{0, 7, anyNumber}), g_released);
    ObjectIterateStart(g_table);
    EXPECT_EQ(nullptr, ObjectIterateNext(g_table, nullptr));
}

TEST_F(ObjectTableTest, ReleaseAllWithoutReleaseFunctionLeavesObjects) {
    ObjectTable* plain = ObjectTableCreate(sizeof(Thing), 4, nullptr);
    static_cast<Thing*>(ObjectNew(plain, 2))->handle = 0x2;
    ObjectReleaseAll(plain);
    ASSERT_NE(nullptr, ObjectFind(plain, 2));
    // Reuse without a release function keeps the record as it was.
    EXPECT_EQ(0x2, static_cast<Thing*>(ObjectNew(plain, 2))->handle);
}

TEST(ModuleStateCreateTest, RecordIsZeroedAndGivenToTheInitialiser) {
    static void* seen = nullptr;
    static unsigned char firstByte = 0xEE;
    seen = nullptr;
    auto init = [](void* record) {
        seen = record;
        firstByte = *static_cast<unsigned char*>(record);
        static_cast<int*>(record)[9] = 42;
    };
    int* state = static_cast<int*>(ModuleStateCreate(40, init));
    EXPECT_EQ(state, seen);
    EXPECT_EQ(0, firstByte);
    EXPECT_EQ(42, state[9]);
    int* plain = static_cast<int*>(ModuleStateCreate(12, nullptr));
    EXPECT_EQ(0, plain[0] | plain[1] | plain[2]);
}
}  // namespace

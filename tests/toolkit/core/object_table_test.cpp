// Object tables: record reuse and release, slot growth and its limit, numbers
// that were never handed out, iteration while removing, module state records.
#include "toolkit/core/object_table.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
struct Thing { intptr_t handle; int payload[3]; };   // handle: nonzero while present

ObjectTable* g_table = nullptr;
std::vector<ObjectNumber> g_released;

// Like the toolkit's release functions: an absent object is left alone.
void thingRelease(ObjectNumber number) {
    g_released.push_back(number);
    if (ObjectFind(g_table, number)) ObjectRemove(g_table, number);
}

ObjectNumber numberOf(const void* record) { return reinterpret_cast<ObjectNumber>(record); }

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
};

TEST_F(ObjectTableTest, SlotRecordIsReleasedOnReuseAndComesBackZeroed) {
    Thing* first = make(0, 0x111);
    first->payload[0] = 7;
    EXPECT_EQ(first, ObjectFind(g_table, 0));
    EXPECT_EQ(first, ObjectNew(g_table, 0));
    EXPECT_EQ(std::vector<ObjectNumber>{0}, g_released);
    EXPECT_EQ(0, first->handle | first->payload[0]);
    EXPECT_EQ(nullptr, ObjectFind(g_table, 0));
    // An absent record in its slot still gets the release call on reuse.
    g_released.clear();
    EXPECT_EQ(first, ObjectNew(g_table, 0));
    EXPECT_EQ(std::vector<ObjectNumber>{0}, g_released);
}

TEST_F(ObjectTableTest, GrowsToNumberPlusStepUpToTheLimit) {
    make(3, 0x333);
    Thing* t = make(20, 0x2020);
    EXPECT_EQ(36u, ObjectTableSlotCount(g_table));
    EXPECT_EQ(t, ObjectFind(g_table, 20));
    ASSERT_NE(nullptr, ObjectFind(g_table, 3));            // kept across the move
    for (ObjectNumber n = 16; n < 36; ++n)
        if (n != 20) EXPECT_EQ(nullptr, ObjectFind(g_table, n)) << n;
    EXPECT_TRUE(g_released.empty());                       // new slots were null
    Thing* any = make(ANY_NUMBER, 0x444);
    for (ObjectNumber n : {ObjectNumber(-2), INTPTR_MIN, ObjectNumber(OBJECT_NUMBER_LIMIT),
                           INTPTR_MAX, numberOf(any)}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(nullptr, ObjectNew(g_table, n));
        EXPECT_EQ(36u, ObjectTableSlotCount(g_table));
    }
    Thing* last = make(OBJECT_NUMBER_LIMIT - 1, 0x555);
    EXPECT_EQ(OBJECT_NUMBER_LIMIT, ObjectTableSlotCount(g_table));
    EXPECT_EQ(last, ObjectFind(g_table, OBJECT_NUMBER_LIMIT - 1));
}

TEST_F(ObjectTableTest, OnlyNumbersHandedOutAreEverRead) {
    Thing* any = make(ANY_NUMBER, 0x666);
    EXPECT_EQ(any, ObjectFind(g_table, numberOf(any)));
    // Live nonzero records the table never handed out must not pass for its own.
    Thing foreign = {0x1234, {5, 6, 7}};
    ObjectTable* other = ObjectTableCreate(sizeof(Thing), 4, nullptr);
    Thing* otherAny = static_cast<Thing*>(ObjectNew(other, ANY_NUMBER));
    otherAny->handle = 0x99;
    for (ObjectNumber n : {ObjectNumber(-2), INTPTR_MIN, ObjectNumber(16), ObjectNumber(17),
                           INTPTR_MAX, numberOf(&foreign), numberOf(otherAny)}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(nullptr, ObjectFind(g_table, n));
        ObjectRemove(g_table, n);
    }
    EXPECT_EQ(0x1234, foreign.handle);
    EXPECT_EQ(otherAny, ObjectFind(other, numberOf(otherAny)));
    ObjectRemove(g_table, numberOf(any));
    EXPECT_EQ(nullptr, ObjectFind(g_table, numberOf(any)));
    ObjectRemove(g_table, numberOf(any));                  // freed once only
}

TEST_F(ObjectTableTest, IterationGivesSlotsThenAnyNumberOldestFirst) {
    make(3, 0x3);
    make(0, 0x1);
    make(5, 0x5);
    ObjectRemove(g_table, 5);                              // absent: skipped
    Thing* a = make(ANY_NUMBER, 0xA);
    Thing* b = make(ANY_NUMBER, 0xB);
    std::vector<ObjectNumber> seen;
    ObjectNumber number = 0xDEADBEEF;
    ObjectIterateStart(g_table);
    while (void* record = ObjectIterateNext(g_table, &number)) {
        EXPECT_EQ(record, ObjectFind(g_table, number));
        seen.push_back(number);
        ObjectRemove(g_table, number);                     // allowed mid-iteration
    }
    EXPECT_EQ((std::vector<ObjectNumber>{0, 3, numberOf(a), numberOf(b)}), seen);
}

TEST_F(ObjectTableTest, RemovingTheNextAnyNumberRecordMidIterationIsSafe) {
    Thing* a = make(ANY_NUMBER, 0xA);
    Thing* b = make(ANY_NUMBER, 0xB);
    Thing* c = make(ANY_NUMBER, 0xC);
    ObjectNumber number = 0;
    ObjectIterateStart(g_table);
    ASSERT_EQ(a, ObjectIterateNext(g_table, &number));
    ObjectRemove(g_table, numberOf(b));                    // the cursor's record
    EXPECT_EQ(c, ObjectIterateNext(g_table, &number));
    EXPECT_EQ(nullptr, ObjectIterateNext(g_table, &number));
}

TEST_F(ObjectTableTest, ReleaseAllUsesTheReleaseFunctionIfThereIsOne) {
    make(0, 0x1);
    make(7, 0x7);
    ObjectNumber any = numberOf(make(ANY_NUMBER, 0xA));
    ObjectReleaseAll(g_table);
    EXPECT_EQ((std::vector<ObjectNumber>{0, 7, any}), g_released);
    ObjectTable* plain = ObjectTableCreate(sizeof(Thing), 4, nullptr);
    static_cast<Thing*>(ObjectNew(plain, 2))->handle = 0x2;
    ObjectReleaseAll(plain);
    EXPECT_NE(nullptr, ObjectFind(plain, 2));
}

TEST(ModuleStateCreateTest, RecordIsZeroedAndGivenToTheInitialiser) {
    static int seenFirst = -1;
    int* state = static_cast<int*>(ModuleStateCreate(40, [](void* record) {
        seenFirst = static_cast<int*>(record)[9];
        static_cast<int*>(record)[9] = 42;
    }));
    EXPECT_EQ(0, seenFirst);
    EXPECT_EQ(42, state[9]);
}
}  // namespace

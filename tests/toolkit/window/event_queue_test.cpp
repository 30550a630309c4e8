// The event queue: order, the no-repeat rule, purges and the pool behind it.
#include "toolkit/window/event_queue.h"
#include "toolkit/window/event_codes.h"
#include "toolkit/core/pool.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {

struct Posted { int32_t code; ObjectNumber gadget, window; int32_t type; };
bool operator==(const Posted& a, const Posted& b) {
    return a.code == b.code && a.gadget == b.gadget && a.window == b.window && a.type == b.type;
}
typedef std::vector<Posted> Events;

const Posted MOVED_1 = {EVENT_WINDOW_MOVED, 1, 1, 0}, SIZED_1 = {EVENT_WINDOW_SIZED, 0, 1, 0};
const Posted REPAINT_1 = {EVENT_WINDOW_REPAINT, 0, 1, 0}, REPAINT_2 = {EVENT_WINDOW_REPAINT, 0, 2, 0};
const Posted CLOSE_2 = {EVENT_CLOSE_WINDOW, 2, 2, 0};
const Posted GADGET_0 = {EVENT_GADGET, 0, 1, 0}, GADGET_7 = {EVENT_GADGET, 7, 2, 0};

class EventQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        EventQueueStart();
        state_ = EventStateCreate();
        while (EventQueuePop()) {}
    }
    void TearDown() override { PoolChunkRefusalSet(0); }
    static void post(const Events& events) {
        for (const Posted& e : events) EventPost(e.code, e.gadget, e.window, e.type);
    }
    // Empties the queue, reading each event as the event state receives it.
    Events popAll() {
        Events out;
        while (int32_t code = EventQueuePop())
            out.push_back({code, state_->current.gadget, state_->current.window, state_->current.type});
        return out;
    }
    EventState* state_ = nullptr;
};

TEST_F(EventQueueTest, PopsInOrderIntoTheEventState) {
    post({MOVED_1, CLOSE_2, SIZED_1});
    EXPECT_EQ((Events{MOVED_1, CLOSE_2, SIZED_1}), popAll());
    state_->current.gadget = state_->current.window = state_->current.type = 0x5EED;
    EXPECT_EQ(0, EventQueuePop());  // empty: the event state is left alone
    EXPECT_EQ(0x5EED, state_->current.gadget);
    EXPECT_EQ(0x5EED, state_->current.window);
    EXPECT_EQ(0x5EED, state_->current.type);
}

TEST_F(EventQueueTest, NeverQueuesTheSameEventTwiceInARow) {
    const Posted typed = {EVENT_WINDOW_REPAINT, 0, 1, 1};
    struct Case { const char* name; Events posts, popped; };
    const Case cases[] = {
        {"two erasures of one window", {REPAINT_1, REPAINT_1}, {REPAINT_1}},
        {"another window between", {REPAINT_1, REPAINT_2, REPAINT_1}, {REPAINT_1, REPAINT_2, REPAINT_1}},
        {"only the type differs", {REPAINT_1, typed}, {REPAINT_1, typed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        post(c.posts);
        EXPECT_EQ(c.popped, popAll());
    }
}

TEST_F(EventQueueTest, PurgeWindowKeepsTheRestAndMendsTheTail) {
    post({MOVED_1, CLOSE_2, SIZED_1, REPAINT_2});
    EventQueuePurgeWindow(2);
    post({SIZED_1, REPAINT_1});  // SIZED_1 is the tail again, so it is refused
    EXPECT_EQ((Events{MOVED_1, SIZED_1, REPAINT_1}), popAll());
    post({REPAINT_2});
    EventQueuePurgeWindow(2);
    post({CLOSE_2});  // an emptied queue takes new events at its head
    EXPECT_EQ((Events{CLOSE_2}), popAll());
}

TEST_F(EventQueueTest, PurgeRemovesOnlyWhatTheFilterNames) {
    const Events all = {GADGET_0, MOVED_1, GADGET_7, SIZED_1, CLOSE_2};
    struct Case { const char* name; Posted filter; Events kept; };
    const Case cases[] = {
        // A destroyed gadget 0 must not take window events that carry gadget 0.
        {"gadget 0 destroyed", {EVENT_GADGET, 0, -1, -1}, {MOVED_1, GADGET_7, SIZED_1, CLOSE_2}},
        {"any code of window 2", {-1, -1, 2, -1}, {GADGET_0, MOVED_1, SIZED_1}},
        {"no match", {EVENT_GADGET, 0, 2, -1}, all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        post(all);
        EventQueuePurge(c.filter.code, c.filter.gadget, c.filter.window, c.filter.type);
        EXPECT_EQ(c.kept, popAll());
    }
}

TEST_F(EventQueueTest, HundredThousandEventsUseABoundedPool) {
    EXPECT_EQ(16u, EventQueuePoolSlots());  // the first chunk is kept for good
    uint32_t most = 0;
    for (int round = 0; round < 1000; ++round) {
        for (int i = 0; i < 100; ++i) EventPost(EVENT_WINDOW_MOVED, i, round, 0);
        most = std::max(most, EventQueuePoolSlots());
        for (int i = 0; i < 100; ++i) ASSERT_EQ(EVENT_WINDOW_MOVED, EventQueuePop());
    }
    EXPECT_LE(most, 112u);  // 101 nodes in 16-slot chunks
    EXPECT_EQ(16u, EventQueuePoolSlots());
}

TEST_F(EventQueueTest, ShortHeapDropsTheEvent) {
    for (int i = 0; i < 15; ++i) EventPost(EVENT_WINDOW_MOVED, i, 1, 0);  // fills chunk one
    PoolChunkRefusalSet(1);
    post({CLOSE_2});
    EXPECT_EQ(15u, EventQueueLength());
    PoolChunkRefusalSet(0);
    post({CLOSE_2});
    EXPECT_EQ(16u, popAll().size());
}

}  // namespace

// The toolkit's own promised costs: intermediate texts take no heap block,
// and a long stream of events reuses the queue's pool chunks.
#include "bench_driver.h"
#include "heap_count.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/text.h"
#include "toolkit/window/event_codes.h"
#include "toolkit/window/event_queue.h"
#include <stdio.h>

static const int EXPRESSIONS = 10000;
static const int EVENTS = 100000;

// One expression of several intermediate texts, compared and dropped.
static int expressionRun(int i) {
    const uint32_t start = WorkspacePosition();
    TextAppend("-f -h -t ");
    IntegerToText(i, WorkspacePosition());
    TextSpace(i % 7, WorkspacePosition());
    TextMid("psshutdown", 2, 4, WorkspacePosition());
    TextLeft(WorkspaceAt(start), 5, WorkspacePosition());
    int equal = TextEqual(WorkspaceAt(start), "-f -h -t 60");
    WorkspacePositionSet(start);
    return equal;
}

static void textCosts() {
    TextVar kept = nullptr;
    expressionRun(0);  // the workspace's first growth happens here
    HeapCalls before = HeapCountRead();
    int matches = 0;
    for (int i = 0; i < EXPRESSIONS; ++i) matches += expressionRun(i);
    HeapCalls middle = HeapCountRead();
    for (int i = 0; i < EXPRESSIONS; ++i) {
        TextExpression e;
        TextAppend("-f -h -t ");
        IntegerToText(i % 10 + 10, WorkspacePosition());  // same length every time
        e.storeInto(&kept);
    }
    HeapCalls after = HeapCountRead();
    printf("text expressions %d matches %d allocs %ld reallocs %ld\n", EXPRESSIONS, matches,
           middle.allocs - before.allocs, middle.reallocs - before.reallocs);
    printf("text stores %d allocs %ld reallocs %ld\n", EXPRESSIONS, after.allocs - middle.allocs,
           after.reallocs - middle.reallocs);
    TextRelease(kept);
}

// Posting alternates two gadgets, since an event equal to the newest queued
// one is not queued again.
static void eventCosts(const char* name, int batch) {
    HeapCalls before = HeapCountRead();
    const uint32_t slotsBefore = EventQueuePoolSlots();
    int popped = 0;
    for (int done = 0; done < EVENTS; done += batch) {
        for (int i = 0; i < batch; ++i) EventPost(EVENT_GADGET, i % 2, 0, done + i);
        while (EventQueuePop()) ++popped;
    }
    HeapCalls after = HeapCountRead();
    printf("events %s posted %d popped %d allocs %ld slots %u %u\n", name, EVENTS, popped,
           after.allocs - before.allocs, slotsBefore, EventQueuePoolSlots());
}

int ToolkitCostsRun() {
    if (!HeapCountStart()) {
        printf("error heap counting unavailable\n");
        return 1;
    }
    ProgramHeapSet(HeapCreate(0, 4096, 0));
    TextStart();
    EventQueueStart();
    textCosts();
    eventCosts("shallow", 10);  // the queue never holds more than a chunk
    eventCosts("deep", 100);
    eventCosts("burst", EVENTS);
    eventCosts("again", EVENTS);  // a second burst shows whether chunks are kept
    TextEnd();
    return 0;
}

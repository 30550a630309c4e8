// The event state that the window procedure writes the current event into,
// and the queue of posted events that EventWait hands out one per call.
#pragma once
#include "toolkit/core/object_table.h"
#include <windows.h>
#include <stdint.h>

// One event as EventWait sees it. Numbers are pointer-sized because an
// ANY_NUMBER object's number is its record's address; wParam and lParam are
// those of the message returned as a raw event, 0 for other events.
struct EventFields {
    ObjectNumber gadget;
    ObjectNumber window;
    int32_t type;      // -1 when none; for EVENT_GADGET the notification code
    int32_t pending;   // code set by the window procedure during a dispatch, 0 if none
    WPARAM wParam;
    LPARAM lParam;
};

struct EventState {
    EventFields current;
    EventFields last;  // copied at the end of every EventWait that returns
};

// Made once by the window layer's start step, zeroed; later calls return the
// record already made. EventStateGet is null until then.
EventState* EventStateCreate();
EventState* EventStateGet();

// Creates the queue and its node pool; a second call keeps the first queue.
void EventQueueStart();

// Appends an event unless the newest queued event is the same one; when no
// node can be had the event is dropped.
void EventPost(int32_t code, ObjectNumber gadget, ObjectNumber window, int32_t type);

// The oldest event's code, 0 when the queue is empty; its gadget number,
// window number and type go into the event state's current fields.
int32_t EventQueuePop();

// Drops every queued event of that window number.
void EventQueuePurgeWindow(ObjectNumber window);

// Drops every queued event that matches the filter; -1 in a field matches any
// value there.
void EventQueuePurge(int32_t code, ObjectNumber gadget, ObjectNumber window, int32_t type);

// Number of events waiting, and slots held by the node pool (for tests and
// measurements).
uint32_t EventQueueLength();
uint32_t EventQueuePoolSlots();

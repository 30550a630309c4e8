// What the window tests share: a toolkit whose window layer is up, a fixture
// that leaves no window, font or message behind, and an EventWait that
// cannot hang.
#pragma once
#include "toolkit/window/event_codes.h"
#include "toolkit/window/event_loop.h"
#include "toolkit/window/event_queue.h"
#include "toolkit/window/fonts.h"
#include "toolkit/window/gadgets.h"
#include "toolkit/window/windows.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

// EventWait's answer when nothing came within the limit.
const int32_t TIMED_OUT = -1000;

// EventWait that cannot hang: TIMED_OUT when it had nothing to return within ms.
int32_t EventWaitWithin(DWORD ms);

struct SeenEvent {
    int32_t code;
    ObjectNumber gadget;
    bool operator==(const SeenEvent& o) const { return code == o.code && gadget == o.gadget; }
};

inline void PrintTo(const SeenEvent& e, std::ostream* out) {
    *out << "{" << e.code << ", gadget " << static_cast<long long>(e.gadget) << "}";
}

// Every event EventWait returns until nothing more comes for quietMs (at most
// limit calls): the queue, then whatever messages are still waiting.
std::vector<SeenEvent> EventsDrain(DWORD quietMs = 100, int limit = 200);

// Only the queued events, taken one per EventWait while the queue holds any.
std::vector<SeenEvent> QueuedEventsTake();

std::string ClassNameOf(HWND window);

// Whether a window carries a property at all (GetPropA cannot tell a stored 0
// from a missing property).
bool PropertyPresent(HWND window, const char* name);

// Closes every window, deletes every font and drops every message before and
// after each test.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

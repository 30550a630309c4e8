// What the window tests share: the window layer started once, a fixture that
// leaves no window, font or message behind, and an EventWait that cannot hang.
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
#include <string>
#include <vector>

const uint32_t CANCEL_STYLE = 0xC80000;  // WS_CAPTION + WS_SYSMENU
const int32_t TIMED_OUT = -1000;         // EventWaitWithin: nothing came

inline HWND AsWindow(intptr_t result) { return reinterpret_cast<HWND>(result); }
inline HFONT AsFont(intptr_t result) { return reinterpret_cast<HFONT>(result); }

// EventWait, but TIMED_OUT when it had nothing to return within ms.
int32_t EventWaitWithin(DWORD ms);

// The codes EventWait returns until nothing more comes for quietMs; with
// queuedOnly, only while the event queue holds any.
std::vector<int32_t> EventsDrain(DWORD quietMs, bool queuedOnly = false);

inline int Occurrences(const std::vector<int32_t>& codes, int32_t code) {
    return static_cast<int>(std::count(codes.begin(), codes.end(), code));
}

std::string ClassNameOf(HWND window);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { SetUp(); }
};

// The sizing mode: resizes a toolkit window with a sizing frame by mouse or
// arrow keys without the system's modal loop, so that EventWait keeps running.
#pragma once
#include <windows.h>
#include <stdint.h>

struct SizingState {
    int32_t active;
    int32_t keyboardStart;  // started from the system menu; cursor goes back at the end
    POINT cursor;           // where the cursor was when a keyboard start began
    RECT rect;              // the tracked window rectangle, screen coordinates
    int32_t edge;           // WMSZ_ code, 0 while no edge is chosen
    MINMAXINFO limits;      // only the tracking sizes are used
    HWND window;            // the window being sized; others are left alone
};

// Made once by the window layer's start step, zeroed; later calls return the
// record already made. SizingStateGet is null until then.
SizingState* SizingStateCreate();
SizingState* SizingStateGet();

// The first step of the toolkit's window procedure: starts the mode on SC_SIZE
// and runs it while active. Returns a message result or RESULT_NOT_HANDLED.
LRESULT SizingMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The event codes that EventWait returns besides raw message numbers, and the
// result by which a toolkit message handler passes a message on.
#pragma once
#include <windows.h>
#include <stdint.h>

// Queued window events. The first five share their numbers with WM_DESTROY,
// WM_MOVE, WM_SIZE, WM_PAINT and WM_CLOSE, so a raw WM_PAINT or WM_CLOSE reads the same.
const int32_t EVENT_WINDOW_DESTROYED = 2;  // a child window went with its parent
const int32_t EVENT_WINDOW_MOVED = 3;
const int32_t EVENT_WINDOW_SIZED = 5;
const int32_t EVENT_WINDOW_REPAINT = 15;
const int32_t EVENT_CLOSE_WINDOW = 16;
const int32_t EVENT_WINDOW_ACTIVATED = 13104;
const int32_t EVENT_WINDOW_MINIMIZED = 13107;
const int32_t EVENT_WINDOW_MAXIMIZED = 13108;
const int32_t EVENT_WINDOW_RESTORED = 13109;

// A gadget was activated: set as the pending code of a dispatch, never queued.
const int32_t EVENT_GADGET = 13100;

// Sign-extended, so that the value survives a trip through 32 bits on x86_64.
const LRESULT RESULT_NOT_HANDLED = static_cast<LRESULT>(static_cast<int32_t>(0xD0D0D0D1u));

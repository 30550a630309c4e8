// Numbered windows: top-level ones, and children of a window of any process;
// each with a class of its own, a Tab accelerator table (top-level only), and
// a window procedure that turns messages into toolkit events.
#pragma once
#include "toolkit/core/object_table.h"
#include <windows.h>
#include <stdint.h>

// Paints a window's whole client area of width x height pixels into dc.
typedef void (*WindowPainter)(HDC dc, int32_t width, int32_t height);

struct WindowRecord {
    HWND window;          // 0 while the number has no window, or once it went with its parent
    ACCEL* accelerators;  // two entries from the program heap
    HACCEL table;
    int32_t acceleratorCount;
    int32_t minimizedOrMaximized;  // decides whether a restore is reported
    WindowPainter painter;         // null: the class brush and the event loop paint
    int32_t embedded;              // 1 for a child of a window the toolkit did not make
};

// Toolkit flags of WindowOpen; every other bit is window style.
const uint32_t WINDOW_CENTER_SCREEN = 1;
const uint32_t WINDOW_CENTER_ACTIVE = 2;
const uint32_t WINDOW_TOOL_STYLE = 4;
const uint32_t WINDOW_KEEP_GADGET_LIST = 8;
const uint32_t WINDOW_HIDDEN = 0x10000000;  // the bit of WS_VISIBLE, meaning the opposite

// As x or y: let the system place the window.
const int32_t POSITION_DEFAULT = -65535;

// Commands of the two accelerator entries.
const WORD COMMAND_FOCUS_NEXT = 0xFA01;
const WORD COMMAND_FOCUS_PREVIOUS = 0xFA02;

void WindowsStart();
void WindowsEnd();

// Opens a window whose client area is width x height with its outer top-left
// corner at (x, y), all in 96-dpi units (screen_scale.h). For an explicit number the window handle, for ANY_NUMBER
// the allocated number, 0 on failure.
intptr_t WindowOpen(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                    const char* title, uint32_t flags);

// Opens a child window filling the client area of parent, a window of this or
// another process, and shown at once. It goes when its parent goes; the
// program then gets EVENT_WINDOW_DESTROYED. The window handle, or for
// ANY_NUMBER the allocated number; 0 when parent names no window.
intptr_t WindowChildOpen(ObjectNumber number, HWND parent);

// Makes painter paint the window of number on every WM_PAINT, instead of the
// class brush; null gives the brush back.
void WindowPainterSet(ObjectNumber number, WindowPainter painter);

// The window whose handle text names in decimal, as Windows passes one on a
// command line; null for any other text or a handle that names no window.
HWND WindowFromText(const char* text);

// The window table's release function.
void WindowClose(ObjectNumber number);

ObjectTable* WindowTable();

// The number of the toolkit window that is or contains window, -1 for none;
// numbered receives the window that carries the number (null for none).
ObjectNumber WindowNumberOf(HWND window, HWND* numbered);

LRESULT CALLBACK WindowClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WindowMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT GadgetMessageHook(HWND control, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam);

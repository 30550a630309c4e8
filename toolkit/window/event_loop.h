// The toolkit's event loop: queued events one per call, otherwise one Win32
// message taken, offered to the Tab accelerators, dispatched and reported.
#pragma once
#include "toolkit/core/object_table.h"
#include <windows.h>
#include <stdint.h>

// Blocks until an event is available. Returns a toolkit event code or, when a
// dispatched message set none, the raw message number.
int32_t EventWait();

// The gadget number of the last event EventWait returned.
ObjectNumber EventGadgetNumber();

// The accelerator table to offer a message to while window is active, or
// null when the focused control needs the key itself or window is no
// toolkit window of this process.
HACCEL WindowAcceleratorsGet(HWND window);

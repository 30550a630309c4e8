// The toolkit's modal one-line text-input dialog: a prompt, a field holding a
// default text and an "OK" button, modal for the whole calling thread.
#pragma once
#include <stdint.h>
#include <windows.h>

// Control identifiers and commands of the dialog.
const int REQUESTER_FIELD = 10;
const int REQUESTER_OK = 1000;      // the "OK" button and the Enter key
const int REQUESTER_CANCEL = 1001;  // the Escape key; no control carries it

// Shows the dialog and runs its own message loop until it ends, then delivers
// the field's text into the workspace at `at` when the user confirmed with OK
// or Enter, and "" on Escape, a close request, a quit message or a dialog that
// could not be made. Any text may be null (read as absent). Returns 1 when the
// user confirmed, so that a confirmed empty field differs from a cancel.
//
// With an owner that is a window (of any process), the dialog is its owned,
// modal dialog: the owner takes no input while it is open, and the dialog is
// centred on it, kept whole on its monitor's work area. Without one, the
// process's foreground window, if any, owns it and it is centred on the
// primary screen.
int InputRequesterShow(const char* title, const char* prompt, const char* defaultText,
                       uint32_t at, HWND owner = nullptr);

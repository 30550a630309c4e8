// Keyboard navigation between a window's tab stops and the focus cues
// (focus rectangles and keyboard underlines) that go with it.
#pragma once
#include <windows.h>

// show nonzero: make the cues visible; 0: hide them.
void FocusCuesUpdate(HWND window, int show);

// Moves the focus to the next tab stop of the active window, or with backward
// nonzero to the previous one, wrapping around at either end.
void FocusNavigate(int backward);

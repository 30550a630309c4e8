// Positions and sizes stated in 96-dpi units, turned into this screen's
// pixels: the one place the windows, gadgets and the input requester scale.
#pragma once
#include <stdint.h>

// The screen's LOGPIXELSY, asked once per process (a program gets one DPI for
// its whole life); 96 when the screen cannot be asked.
int32_t ScreenDpi();

// units at 96 dpi as pixels of this screen, rounded as MulDiv rounds; at 96 dpi
// exactly what it was given.
int32_t ScreenPixels(int32_t units);

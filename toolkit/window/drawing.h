// Drawing into any device context, a window's or a bitmap's: a filled
// rectangle, the program's own icon and one line of text. Every GDI object
// made here is deleted, and every selection undone, before the call returns.
#pragma once
#include <windows.h>
#include <stdint.h>

// Fills box with one colour.
void RectangleFill(HDC dc, const RECT& box, COLORREF colour);

// The program's icon group 1 at size x size pixels, its top-left corner at
// (left, top); 0 when the icon could not be had or drawn.
int IconDraw(HDC dc, int32_t left, int32_t top, int32_t size);

// One line of text centred in box, in face at a character height of
// pixelHeight pixels (not points: the same at every screen DPI), in colour on
// whatever lies beneath; a line too long for box ends in an ellipsis.
void TextLineDraw(HDC dc, const RECT& box, const char* text, const char* face,
                  int32_t pixelHeight, COLORREF colour);

// The preview: what Somnaro draws into the small screen of Windows' Screen
// Saver dialog, painted into any DC so that a bitmap shows the same.
#pragma once
#include <windows.h>
#include <stdint.h>

// Where the moon and the lines go in a preview of width x height pixels; all
// from the height, so the picture is the same at every screen DPI.
struct PreviewLayout {
    RECT icon;        // empty where no size of the icon fits
    RECT lines[2];    // the first line, then the second where there is one
    int32_t textHeight;
};
PreviewLayout PreviewLayoutOf(int32_t width, int32_t height);

const COLORREF PREVIEW_BACKGROUND = RGB(0, 0, 0);
const COLORREF PREVIEW_TEXT = RGB(224, 224, 224);
const COLORREF PREVIEW_WARNING = RGB(255, 176, 32);

// The whole preview: the moon, and below it the delay the saver would use,
// or, where anything in missing (tool.h) would stop it, a warning.
void PreviewPaint(HDC dc, int32_t width, int32_t height, const char* delay, uint32_t missing);

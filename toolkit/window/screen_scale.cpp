// The screen's DPI, read once, and the one conversion from 96-dpi units to
// its pixels. Fonts follow the same LOGPIXELSY on their own (fonts.cpp).
#include "toolkit/window/screen_scale.h"
#include <windows.h>

namespace {
class ScreenDcOwner {  // the screen's DC from GetDC(nullptr); not copyable
public:
    ScreenDcOwner() : dc_(GetDC(nullptr)) {}
    ScreenDcOwner(const ScreenDcOwner&) = delete;
    ScreenDcOwner& operator=(const ScreenDcOwner&) = delete;
    ~ScreenDcOwner() { if (dc_) ReleaseDC(nullptr, dc_); }
    HDC get() const { return dc_; }
private:
    HDC dc_;
};

const int32_t UNIT_DPI = 96;
}  // namespace

static int32_t g_screenDpi = 0;  // 0 until first asked

static int32_t screenDpiRead() {
    ScreenDcOwner screen;
    int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : UNIT_DPI;
}

int32_t ScreenDpi() {
    // Two threads asking at once both read the same value; either store holds.
    if (!g_screenDpi) g_screenDpi = screenDpiRead();
    return g_screenDpi;
}

int32_t ScreenPixels(int32_t units) {
    return MulDiv(units, ScreenDpi(), UNIT_DPI);
}

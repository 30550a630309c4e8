// A 32-bit top-down bitmap with a DC of its own, to paint into as into a
// window and read back; pixels read as 0x00RRGGBB. Header-only, so that the
// tools that make the docs' pictures share it with the tests.
#pragma once
#include <windows.h>

class Canvas {  // one DC with its bitmap selected; not copyable
public:
    Canvas(int width, int height) : width_(width), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<DWORD*>(bits);
        if (!pixels_) return;
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i) pixels_[i] = 0x00123456;  // a colour nobody draws
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() {
        if (old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    bool ready() const { return pixels_ != nullptr; }
    // Every row, top first, once GDI has finished drawing.
    const DWORD* pixels() const {
        GdiFlush();
        return pixels_;
    }
    DWORD at(int x, int y) const { return pixels()[y * width_ + x] & 0xFFFFFF; }
private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    DWORD* pixels_ = nullptr;
};

// Drawing into any device context: each GDI object has one owner, and each
// selection is undone by its own, in reverse order of making.
#include "toolkit/window/drawing.h"
#include "toolkit/window/window_names.h"

namespace {
template <typename Handle>
class GdiObjectOwner {  // one GDI object made here; not copyable
public:
    explicit GdiObjectOwner(Handle object) : object_(object) {}
    GdiObjectOwner(const GdiObjectOwner&) = delete;
    GdiObjectOwner& operator=(const GdiObjectOwner&) = delete;
    ~GdiObjectOwner() { if (object_) DeleteObject(object_); }
    Handle get() const { return object_; }
private:
    Handle object_;
};

class SelectionOwner {  // one object selected into a DC; the old one put back
public:
    SelectionOwner(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectionOwner(const SelectionOwner&) = delete;
    SelectionOwner& operator=(const SelectionOwner&) = delete;
    ~SelectionOwner() { if (old_) SelectObject(dc_, old_); }
private:
    HDC dc_;
    HGDIOBJ old_;
};

class IconOwner {  // one icon loaded at a size of its own; not copyable
public:
    explicit IconOwner(HICON icon) : icon_(icon) {}
    IconOwner(const IconOwner&) = delete;
    IconOwner& operator=(const IconOwner&) = delete;
    ~IconOwner() { if (icon_) DestroyIcon(icon_); }
    HICON get() const { return icon_; }
private:
    HICON icon_;
};
}  // namespace

void RectangleFill(HDC dc, const RECT& box, COLORREF colour) {
    GdiObjectOwner<HBRUSH> brush(CreateSolidBrush(colour));
    if (brush.get()) FillRect(dc, &box, brush.get());
}

int IconDraw(HDC dc, int32_t left, int32_t top, int32_t size) {
    // Loaded at the size asked for, so Windows picks that image of the group
    // rather than stretching the one it would take for a standard icon.
    IconOwner icon(static_cast<HICON>(LoadImageA(ModuleInstance(), MAKEINTRESOURCEA(1),
                                                 IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon.get()) return 0;
    return DrawIconEx(dc, left, top, icon.get(), size, size, 0, nullptr, DI_NORMAL) ? 1 : 0;
}

void TextLineDraw(HDC dc, const RECT& box, const char* text, const char* face,
                  int32_t pixelHeight, COLORREF colour) {
    if (!text) return;
    // Negative: the character height, internal leading excluded.
    GdiObjectOwner<HFONT> font(CreateFontA(-pixelHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                           DEFAULT_PITCH | FF_DONTCARE, face));
    if (!font.get()) return;
    SelectionOwner selected(dc, font.get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, colour);
    RECT line = box;
    DrawTextA(dc, text, -1, &line,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

// Numbered GDI fonts: loaded by face and point size, deleted when their number
// is reused or at shut-down.
#include "toolkit/window/fonts.h"
#include "toolkit/core/text.h"

static ObjectTable* g_fontTable = nullptr;

namespace {
class DisplayDcOwner {  // one DC made by CreateDCA; not copyable
public:
    DisplayDcOwner() : dc_(CreateDCA("DISPLAY", nullptr, nullptr, nullptr)) {}
    DisplayDcOwner(const DisplayDcOwner&) = delete;
    DisplayDcOwner& operator=(const DisplayDcOwner&) = delete;
    ~DisplayDcOwner() { if (dc_) DeleteDC(dc_); }
    HDC get() const { return dc_; }
private:
    HDC dc_;
};
}  // namespace

void FontsStart() {
    if (g_fontTable) return;  // started once per process; a repeat keeps the fonts
    g_fontTable = ObjectTableCreate(sizeof(FontRecord), 16, FontFree);
}

void FontsEnd() {
    ObjectNumber number = 0;
    ObjectIterateStart(g_fontTable);
    // The iteration has moved past a font before returning it, so freeing it
    // here does not disturb the walk.
    while (ObjectIterateNext(g_fontTable, &number)) FontFree(number);
}

intptr_t FontLoad(ObjectNumber number, const char* face, int32_t size) {
    TextOwner faceCopy(face);
    FontRecord* record = static_cast<FontRecord*>(ObjectNew(g_fontTable, number));
    if (!record) return 0;
    const bool chosen = number == ANY_NUMBER;
    if (chosen) number = reinterpret_cast<ObjectNumber>(record);

    intptr_t result = 0;
    {
        DisplayDcOwner dc;
        if (dc.get()) {
            // Negative: a character height of size points, internal leading excluded.
            int height = -MulDiv(size, GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
            HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                     faceCopy.get());
            if (font) {
                record->font = font;
                result = chosen ? number : reinterpret_cast<intptr_t>(font);
            }
        }
    }
    // A failed load leaves no record behind, so an ANY_NUMBER attempt costs nothing.
    if (!result) ObjectRemove(g_fontTable, number);
    return result;
}

HFONT FontHandle(ObjectNumber number) {
    FontRecord* record = static_cast<FontRecord*>(ObjectFind(g_fontTable, number));
    return record ? record->font : nullptr;
}

void FontFree(ObjectNumber number) {
    FontRecord* record = static_cast<FontRecord*>(ObjectFind(g_fontTable, number));
    if (!record) return;
    DeleteObject(record->font);
    ObjectRemove(g_fontTable, number);
}

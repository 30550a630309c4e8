// The gadget table and the push button: creating, registering, re-fonting and
// releasing numbered controls.
#include "toolkit/window/gadgets.h"
#include "toolkit/core/system_libraries.h"
#include "toolkit/core/text.h"
#include "toolkit/window/event_codes.h"
#include "toolkit/window/event_queue.h"
#include "toolkit/window/screen_scale.h"
#include "toolkit/window/window_names.h"
#include <commctrl.h>

static ObjectTable* g_gadgetTable = nullptr;
static GadgetListState* g_listState = nullptr;
static HFONT g_stockFont = nullptr;

// The push button has no hooks; all buttons share this one kind.
static const GadgetKind g_buttonKind = {GADGET_KIND_BUTTON, nullptr, nullptr, nullptr};

// A button: child, visible, starts a group, tab stop, BS_PUSHBUTTON.
static const DWORD BUTTON_STYLE = 0x50030000;

static void listStateInit(void* record) {
    static_cast<GadgetListState*>(record)->defaultFont = g_stockFont;
}

void GadgetsStart() {
    if (g_gadgetTable) return;  // started once per process; a repeat keeps the gadgets
    g_stockFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    g_gadgetTable = ObjectTableCreate(sizeof(GadgetRecord), 50, GadgetFree);
    g_listState = static_cast<GadgetListState*>(
        ModuleStateCreate(sizeof(GadgetListState), listStateInit));
    CommonControlsInit(0xB48);  // result ignored: buttons need none of these
}

void GadgetsEnd() {
    // Gadgets are children of toolkit windows; WindowsEnd has destroyed them.
}

GadgetListState* GadgetListStateGet() { return g_listState; }

ObjectTable* GadgetTable() { return g_gadgetTable; }

HFONT GadgetStockFont() { return g_stockFont; }

intptr_t ButtonCreate(ObjectNumber number, int32_t x, int32_t y, int32_t width,
                      int32_t height, const char* text) {
    TextOwner caption(text);
    // Created with ID -1 and no record yet: until GadgetRegister runs, the
    // control is nobody's gadget.
    HWND control = CreateWindowExA(0, "Button", caption.get(), BUTTON_STYLE, ScreenPixels(x),
                                   ScreenPixels(y), ScreenPixels(width), ScreenPixels(height),
                                   g_listState->current,
                                   reinterpret_cast<HMENU>(static_cast<intptr_t>(-1)),
                                   ModuleInstance(), nullptr);
    if (!control) return 0;
    GadgetRecord* record = static_cast<GadgetRecord*>(ObjectNew(g_gadgetTable, number));
    if (!record) {
        DestroyWindow(control);
        return 0;
    }
    return GadgetRegister(number, record, control, &g_buttonKind);
}

intptr_t GadgetRegister(ObjectNumber number, GadgetRecord* record, HWND control,
                        const GadgetKind* kind) {
    const bool chosen = number == ANY_NUMBER;
    if (chosen) number = reinterpret_cast<ObjectNumber>(record);
    record->control = control;
    record->kind = kind;
    record->previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetProc)));
    SetWindowLongPtrA(control, GWLP_ID, number);
    SetPropA(control, PROPERTY_GADGET_ID, reinterpret_cast<HANDLE>(number));
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_listState->defaultFont), TRUE);
    return chosen ? number : reinterpret_cast<intptr_t>(control);
}

intptr_t GadgetFontSet(ObjectNumber number, HFONT font) {
    if (font == FONT_STOCK_DEFAULT) font = g_stockFont;
    if (number == ANY_NUMBER) {
        g_listState->defaultFont = font;
        return 1;
    }
    GadgetRecord* record = static_cast<GadgetRecord*>(ObjectFind(g_gadgetTable, number));
    if (!record) return 0;
    if (record->kind && record->kind->fontHook) return record->kind->fontHook(record, font);
    return SendMessageA(record->control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// After the control's last message: the gadget's number is free again.
static void gadgetRelease(HWND control, ObjectNumber number, GadgetRecord* record) {
    if (record->kind && record->kind->destroyHook) record->kind->destroyHook(record);
    RemovePropA(control, PROPERTY_GADGET_ID);
    SetWindowLongPtrA(control, GWLP_ID, -1);
    // No gadget event is ever queued (it is always the pending event of a
    // dispatch), so this finds nothing today; it keeps a stale one from
    // outliving the gadget should one ever be queued.
    EventQueuePurge(EVENT_GADGET, number, -1, -1);
    ObjectRemove(g_gadgetTable, number);
}

LRESULT CALLBACK GadgetProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    ObjectNumber number = GetWindowLongPtrA(control, GWLP_ID);
    if (number == -1) return DefWindowProcA(control, message, wParam, lParam);
    GadgetRecord* record = static_cast<GadgetRecord*>(ObjectFind(g_gadgetTable, number));
    // Only the record that owns this very control may pass the message on or
    // be released with it; a number reused by another control is left alone.
    if (!record || record->control != control)
        return DefWindowProcA(control, message, wParam, lParam);
    LRESULT result = CallWindowProcA(record->previous, control, message, wParam, lParam);
    if (message == WM_NCDESTROY) gadgetRelease(control, number, record);
    return result;
}

void GadgetFree(ObjectNumber number) {
    GadgetRecord* record = static_cast<GadgetRecord*>(ObjectFind(g_gadgetTable, number));
    if (record) DestroyWindow(record->control);
}

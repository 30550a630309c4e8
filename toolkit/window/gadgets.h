// Gadgets: numbered Win32 controls made as children of the current gadget
// window, each subclassed so that its record goes when its control goes.
#pragma once
#include "toolkit/core/object_table.h"
#include <windows.h>
#include <stdint.h>

struct GadgetRecord;

// What a kind of gadget may add to the common handling; each hook is optional.
struct GadgetKind {
    int32_t code;
    LRESULT (*messageHook)(GadgetRecord* gadget, HWND window, UINT message,
                           WPARAM wParam, LPARAM lParam);
    void (*destroyHook)(GadgetRecord* gadget);
    LRESULT (*fontHook)(GadgetRecord* gadget, HFONT font);
};

const int32_t GADGET_KIND_BUTTON = 1;

struct GadgetRecord {
    HWND control;     // 0 while the gadget is absent
    const GadgetKind* kind;
    WNDPROC previous; // the control class's own procedure
};

// The gadget layer's state: where new gadgets go and which font they get.
struct GadgetListState {
    HWND current;        // current gadget window, or none
    HFONT defaultFont;   // the stock DEFAULT_GUI_FONT until changed
};

// Attached to a window under the property GadgetStackProperty() while the
// window is subclassed by GadgetListProc.
struct GadgetListRecord {
    HWND window;
    WNDPROC previous;
};

void GadgetsStart();
void GadgetsEnd();

GadgetListState* GadgetListStateGet();
ObjectTable* GadgetTable();
HFONT GadgetStockFont();

// "ZV_GadgetStack_" followed by the module instance as a signed decimal.
const char* GadgetStackProperty();

// Makes a freshly opened window the parent of gadgets created from now on;
// returns the previous current gadget window.
HWND GadgetListSet(HWND window);
LRESULT CALLBACK GadgetListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A push button in the current gadget window, placed and sized in 96-dpi
// units (screen_scale.h). For an explicit number the control handle, for
// ANY_NUMBER the allocated number, 0 on failure.
intptr_t ButtonCreate(ObjectNumber number, int32_t x, int32_t y, int32_t width,
                      int32_t height, const char* text);

// Binds a created control to its gadget number and record.
intptr_t GadgetRegister(ObjectNumber number, GadgetRecord* record, HWND control,
                        const GadgetKind* kind);

// The font value that stands for the stock DEFAULT_GUI_FONT.
const HFONT FONT_STOCK_DEFAULT = reinterpret_cast<HFONT>(static_cast<intptr_t>(-1));

// ANY_NUMBER: the font of gadgets created from now on (nonzero result).
// Otherwise the font of that gadget, 0 when there is no such gadget.
intptr_t GadgetFontSet(ObjectNumber number, HFONT font);

LRESULT CALLBACK GadgetProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// The gadget table's release function: destroys the control of a number.
void GadgetFree(ObjectNumber number);

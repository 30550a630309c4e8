// The current gadget window: the window that new gadgets are made in, and the
// subclass that forgets it and frees its gadget-list record when it goes.
#include "toolkit/core/program_heap.h"
#include "toolkit/window/gadgets.h"
#include "toolkit/window/window_names.h"

const char* GadgetStackProperty() {
    static char name[NAME_SIZE];
    if (!name[0])
        NameFormat(name, "ZV_GadgetStack_",
                   reinterpret_cast<intptr_t>(ModuleInstance()));
    return name;
}

HWND GadgetListSet(HWND window) {
    GadgetListState* state = GadgetListStateGet();
    HWND previous = state->current;
    GadgetListRecord* record = static_cast<GadgetListRecord*>(
        HeapAlloc(ProgramHeap(), HEAP_ZERO_MEMORY, sizeof(GadgetListRecord)));
    if (!record) MemoryExhausted();
    record->window = window;
    SetPropA(window, GadgetStackProperty(), record);
    record->previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetListProc)));
    state->current = window;
    return previous;
}

LRESULT CALLBACK GadgetListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GadgetListRecord* record =
        static_cast<GadgetListRecord*>(GetPropA(window, GadgetStackProperty()));
    if (!record) return DefWindowProcA(window, message, wParam, lParam);
    WNDPROC previous = record->previous;
    if (message == WM_NCDESTROY) {
        GadgetListState* state = GadgetListStateGet();
        if (state->current == window) state->current = nullptr;
        HeapFree(ProgramHeap(), 0, record);
        RemovePropA(window, GadgetStackProperty());
    }
    if (previous) return CallWindowProcA(previous, window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

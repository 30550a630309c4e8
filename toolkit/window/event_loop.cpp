// The toolkit's event loop and the accelerator lookup that turns Tab and
// Shift+Tab into focus commands.
#include "toolkit/window/event_loop.h"
#include "toolkit/window/event_queue.h"
#include "toolkit/window/focus_navigation.h"
#include "toolkit/window/window_names.h"
#include "toolkit/window/windows.h"
#include <richedit.h>
#include <string.h>

static bool modifierDown() {
    return (GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_SHIFT) & 0x8000) ||
           (GetKeyState(VK_MENU) & 0x8000);
}

// An editable rich-edit control takes the Tab key itself.
static bool focusWantsTab(HWND focus) {
    char className[5] = {};
    GetClassNameA(focus, className, sizeof className);
    if (memcmp(className, "Rich", 4) != 0) return false;
    return !(SendMessageA(focus, EM_GETOPTIONS, 0, 0) & ECO_READONLY);
}

HACCEL WindowAcceleratorsGet(HWND window) {
    HWND focus = GetFocus();
    if (focus && (GetKeyState(VK_TAB) & 0x80) && !modifierDown() && focusWantsTab(focus))
        return nullptr;
    if (window && modifierDown()) FocusCuesUpdate(window, 1);
    if (focus && GetPropA(focus, PROPERTY_HOTKEY)) return nullptr;

    if (!window) return nullptr;
    intptr_t stored = reinterpret_cast<intptr_t>(GetPropA(window, PROPERTY_WINDOW_ID));
    if (!stored) return nullptr;
    DWORD process = 0;
    if (!GetWindowThreadProcessId(window, &process) || process != GetCurrentProcessId())
        return nullptr;
    WindowRecord* record = static_cast<WindowRecord*>(ObjectFind(WindowTable(), stored - 1));
    return record ? record->table : nullptr;
}

int32_t EventWait() {
    EventState* state = EventStateGet();
    EventFields& current = state->current;
    current.type = -1;
    current.pending = 0;

    int32_t result = EventQueuePop();
    if (result) {
        current.pending = result;
        current.wParam = 0;
        current.lParam = 0;
    } else {
        MSG message = {};
        // Not examined: WM_QUIT is dispatched like any message and comes back as 18.
        GetMessageA(&message, nullptr, 0, 0);
        HWND active = GetActiveWindow();
        HACCEL table = WindowAcceleratorsGet(active);
        if (table && TranslateAcceleratorA(active, table, &message)) {
            if (active) FocusCuesUpdate(active, 1);
        } else {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (current.pending) {
            result = current.pending;
            current.pending = 0;
        } else {
            result = static_cast<int32_t>(message.message);
            current.wParam = message.wParam;
            current.lParam = message.lParam;
        }
    }
    state->last = current;
    return result;
}

ObjectNumber EventGadgetNumber() {
    return EventStateGet()->last.gadget;
}

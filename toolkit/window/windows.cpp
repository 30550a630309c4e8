// Opening and closing numbered windows, top-level or inside another's: class,
// style, size and place, properties, accelerators and the current gadget window.
#include "toolkit/window/windows.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/text.h"
#include "toolkit/window/event_queue.h"
#include "toolkit/window/gadgets.h"
#include "toolkit/window/screen_scale.h"
#include "toolkit/window/sizing_mode.h"
#include "toolkit/window/window_names.h"

static ObjectTable* g_windowTable = nullptr;
static HICON g_classIcon = nullptr;
static HCURSOR g_classCursor = nullptr;

static const char CLASS_PREFIX[] = "WindowClass_";

// Tab and Shift+Tab, the same for every window.
static const ACCEL ACCELERATOR_ENTRIES[2] = {
    {FVIRTKEY | FNOINVERT, VK_TAB, COMMAND_FOCUS_NEXT},
    {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, COMMAND_FOCUS_PREVIOUS},
};

void WindowsStart() {
    if (g_windowTable) return;  // started once per process; a repeat keeps the windows
    g_windowTable = ObjectTableCreate(sizeof(WindowRecord), 16, WindowClose);
    EventStateCreate();
    SizingStateCreate();
    g_classIcon = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(1));
    g_classCursor = LoadCursorA(nullptr, IDC_ARROW);
}

void WindowsEnd() {
    ObjectReleaseAll(g_windowTable);
}

ObjectTable* WindowTable() { return g_windowTable; }

ObjectNumber WindowNumberOf(HWND window, HWND* numbered) {
    for (HWND w = window; w; w = GetParent(w)) {
        intptr_t stored = reinterpret_cast<intptr_t>(GetPropA(w, PROPERTY_WINDOW_ID));
        if (stored) {
            if (numbered) *numbered = w;
            return stored - 1;
        }
    }
    if (numbered) *numbered = nullptr;
    return -1;
}

namespace {
struct WindowShape {
    DWORD style;
    DWORD exStyle;
    bool hidden;
    bool keepGadgetList;
};
}  // namespace

// Splits the flags of WindowOpen into window style and toolkit choices.
static WindowShape shapeFromFlags(uint32_t flags) {
    WindowShape shape = {};
    shape.keepGadgetList = (flags & WINDOW_KEEP_GADGET_LIST) != 0;
    flags &= ~WINDOW_KEEP_GADGET_LIST;
    // Nothing but centring and hiding asked for: a plain captioned window.
    if (!(flags & ~(WINDOW_CENTER_SCREEN | WINDOW_CENTER_ACTIVE | WINDOW_HIDDEN)))
        flags |= WS_CAPTION;
    shape.hidden = (flags & WINDOW_HIDDEN) != 0;
    flags &= ~WINDOW_HIDDEN;
    if (flags & WINDOW_TOOL_STYLE) {
        flags &= ~(WS_MINIMIZE | WS_MAXIMIZE | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
        flags |= WS_CAPTION;
        shape.exStyle = WS_EX_TOOLWINDOW;
    }
    shape.style = flags & ~(WINDOW_CENTER_SCREEN | WINDOW_CENTER_ACTIVE | WINDOW_TOOL_STYLE);
    return shape;
}

// Where the outer window goes; may cut its size to the screen.
static void placeWindow(uint32_t flags, int32_t* x, int32_t* y, int32_t* outerWidth,
                        int32_t* outerHeight) {
    const bool centring = (flags & (WINDOW_CENTER_SCREEN | WINDOW_CENTER_ACTIVE)) != 0;
    if ((*x == POSITION_DEFAULT || *y == POSITION_DEFAULT) && !centring) {
        *x = CW_USEDEFAULT;
        *y = CW_USEDEFAULT;
    }
    if (flags & WINDOW_CENTER_SCREEN) {
        int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        if (*outerWidth > screenWidth) *outerWidth = screenWidth;
        if (*outerHeight > screenHeight) *outerHeight = screenHeight;
        *x = (screenWidth - *outerWidth) / 2;
        *y = (screenHeight - *outerHeight) / 2;
    } else if (flags & WINDOW_CENTER_ACTIVE) {
        HWND reference = GetActiveWindow();
        RECT r;
        if (!reference || !GetWindowRect(reference, &r)) return;
        *x = r.left + (r.right - r.left - *outerWidth) / 2;
        *y = r.top + (r.bottom - r.top - *outerHeight) / 2;
        // Kept on the screen at the top and left only.
        if (*x < 0) *x = 0;
        if (*y < 0) *y = 0;
    }
}

static void classNameFormat(char* out, ObjectNumber number) {
    NameFormat(out, CLASS_PREFIX, number);
}

static void classRegister(const char* className) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowClassProc;
    windowClass.hInstance = ModuleInstance();
    windowClass.hIcon = g_classIcon;
    windowClass.hCursor = g_classCursor;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = className;
    // Not tested: a class of that name still registered serves just as well.
    RegisterClassA(&windowClass);
}

// The record of a window about to be made, with its class registered; for
// ANY_NUMBER the record's address becomes its number. Null when the table has
// no room.
static WindowRecord* recordMake(ObjectNumber* number, char* className) {
    WindowRecord* record = static_cast<WindowRecord*>(ObjectNew(g_windowTable, *number));
    if (!record) return nullptr;
    if (*number == ANY_NUMBER) *number = reinterpret_cast<ObjectNumber>(record);
    classNameFormat(className, *number);
    classRegister(className);
    return record;
}

// The record takes the window made for it; where none was made, the class
// and the record go again.
static bool windowAdopt(WindowRecord* record, ObjectNumber number, const char* className,
                        HWND window) {
    record->window = window;
    if (!window) {
        UnregisterClassA(className, ModuleInstance());
        ObjectRemove(g_windowTable, number);
        return false;
    }
    SetPropA(window, PROPERTY_WINDOW_ID, reinterpret_cast<HANDLE>(number + 1));
    return true;
}

intptr_t WindowOpen(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                    const char* title, uint32_t flags) {
    TextOwner caption(title);
    const bool chosen = number == ANY_NUMBER;
    char className[NAME_SIZE];
    WindowRecord* record = recordMake(&number, className);
    if (!record) return 0;

    const WindowShape shape = shapeFromFlags(flags);
    // The caller's place and client size are 96-dpi units; the frame that
    // AdjustWindowRectEx adds is already in this screen's pixels.
    if (x != POSITION_DEFAULT) x = ScreenPixels(x);
    if (y != POSITION_DEFAULT) y = ScreenPixels(y);
    RECT outer = {0, 0, ScreenPixels(width), ScreenPixels(height)};
    AdjustWindowRectEx(&outer, shape.style, FALSE, shape.exStyle);
    int32_t outerWidth = outer.right - outer.left;
    int32_t outerHeight = outer.bottom - outer.top;
    placeWindow(flags, &x, &y, &outerWidth, &outerHeight);

    HWND window = CreateWindowExA(shape.exStyle, className, caption.get(), shape.style, x, y,
                                  outerWidth, outerHeight, nullptr, nullptr, ModuleInstance(),
                                  nullptr);
    if (!windowAdopt(record, number, className, window)) return 0;

    if (!shape.hidden) {
        int show = SW_SHOWNORMAL;
        if (shape.style & WS_MAXIMIZE) show = SW_SHOWMAXIMIZED;
        else if (shape.style & WS_MINIMIZE) show = SW_SHOWMINIMIZED;
        ShowWindow(window, show);
    }

    record->minimizedOrMaximized = (shape.style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
    record->acceleratorCount = 2;
    record->accelerators =
        static_cast<ACCEL*>(HeapAlloc(ProgramHeap(), 0, sizeof ACCELERATOR_ENTRIES));
    // Without the block the window simply has no Tab navigation.
    if (record->accelerators) {
        CopyMemory(record->accelerators, ACCELERATOR_ENTRIES, sizeof ACCELERATOR_ENTRIES);
        record->table = CreateAcceleratorTableA(record->accelerators, 2);
    }

    if (!shape.keepGadgetList) GadgetListSet(window);
    return chosen ? number : reinterpret_cast<intptr_t>(window);
}

intptr_t WindowChildOpen(ObjectNumber number, HWND parent) {
    RECT client;
    if (!parent || !GetClientRect(parent, &client)) return 0;
    const bool chosen = number == ANY_NUMBER;
    char className[NAME_SIZE];
    WindowRecord* record = recordMake(&number, className);
    if (!record) return 0;
    // No parent notification: the parent's thread, perhaps another program's,
    // need not answer for this window to be made. The parent's client area is
    // in its own pixels already.
    HWND window = CreateWindowExA(WS_EX_NOPARENTNOTIFY, className, nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, client.right,
                                  client.bottom, parent, nullptr, ModuleInstance(), nullptr);
    if (!windowAdopt(record, number, className, window)) return 0;
    record->embedded = 1;
    return chosen ? number : reinterpret_cast<intptr_t>(window);
}

void WindowPainterSet(ObjectNumber number, WindowPainter painter) {
    WindowRecord* record = static_cast<WindowRecord*>(ObjectFind(g_windowTable, number));
    if (!record || !record->window) return;
    record->painter = painter;
    InvalidateRect(record->window, nullptr, TRUE);
}

HWND WindowFromText(const char* text) {
    if (!text || !*text) return nullptr;
    uint64_t value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return nullptr;
        if (value > (UINT64_MAX - 9) / 10) return nullptr;  // more digits than any handle has
        value = value * 10 + static_cast<uint64_t>(*p - '0');
    }
    if (value > UINTPTR_MAX) return nullptr;
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
    return IsWindow(window) ? window : nullptr;
}

void WindowClose(ObjectNumber number) {
    WindowRecord* record = static_cast<WindowRecord*>(ObjectFind(g_windowTable, number));
    if (!record) return;
    // A child that went with its parent left its record behind, and only that.
    HWND window = record->window;
    if (window) {
        HWND owner = GetWindow(window, GW_OWNER);
        if (owner) SetActiveWindow(owner);
        // From here the window procedure finds no number, so the destruction
        // posts no events.
        RemovePropA(window, PROPERTY_WINDOW_ID);
        DestroyWindow(window);
    }
    char className[NAME_SIZE];
    classNameFormat(className, number);
    UnregisterClassA(className, ModuleInstance());
    if (record->accelerators) {
        HeapFree(ProgramHeap(), 0, record->accelerators);
        DestroyAcceleratorTable(record->table);
    }
    EventQueuePurgeWindow(number);
    ObjectRemove(g_windowTable, number);
}

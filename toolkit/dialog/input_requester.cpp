// Opening the input requester, its own message loop, the window procedure of
// the "InputRequester" class, and the delivery of the confirmed text.
#include "toolkit/dialog/input_requester.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/text.h"
#include "toolkit/dialog/suspended_windows.h"
#include "toolkit/window/screen_scale.h"
#include <string.h>
#include <windows.h>

namespace {
const char CLASS_NAME[] = "InputRequester";

// Process-wide, so only one requester may be open in the process at a time.
struct RequesterState {
    int32_t done;           // set when the dialog window is destroyed
    int32_t confirmed;      // set by OK or Enter, while a requester waits for the text
    HWND owner;             // the caller's window, else the process's foreground window
    int32_t ownerDisabled;  // 1 while the requester keeps the owner disabled
    HWND field;
    HFONT font;             // a stock object: fetched once, never deleted
};

// A private copy of a text argument in the program heap; one that cannot be
// allocated counts as absent, like an absent argument.
class HeapTextCopy {
public:
    explicit HeapTextCopy(const char* text) {
        if (!text) return;
        size_t size = strlen(text) + 1;
        text_ = static_cast<char*>(HeapAlloc(ProgramHeap(), 0, size));
        if (text_) memcpy(text_, text, size);
    }
    HeapTextCopy(const HeapTextCopy&) = delete;
    HeapTextCopy& operator=(const HeapTextCopy&) = delete;
    ~HeapTextCopy() { if (text_) HeapFree(ProgramHeap(), 0, text_); }
    const char* get() const { return text_; }
private:
    char* text_ = nullptr;
};

class AcceleratorOwner {  // one accelerator table; not copyable
public:
    explicit AcceleratorOwner(HACCEL table) : table_(table) {}
    AcceleratorOwner(const AcceleratorOwner&) = delete;
    AcceleratorOwner& operator=(const AcceleratorOwner&) = delete;
    ~AcceleratorOwner() { reset(); }
    HACCEL get() const { return table_; }
    void reset() { if (table_) DestroyAcceleratorTable(table_); table_ = nullptr; }
private:
    HACCEL table_ = nullptr;
};

struct Route { UINT msg; LRESULT (*run)(HWND dialog, WPARAM, LPARAM); };
struct CommandRoute { WORD id; void (*run)(HWND dialog); };
}  // namespace

static RequesterState g_requester = {};

static HINSTANCE instanceHandle() { return GetModuleHandleA(nullptr); }

// The foreground window, but only when this process owns it.
static HWND processForegroundWindow() {
    HWND window = GetForegroundWindow();
    if (!window) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId() ? window : nullptr;
}

// Runs before the dialog goes, so the owner and the other windows are enabled
// again while it still exists and activation can fall back to them.
static void restoreStep() {
    if (g_requester.ownerDisabled == 1) {
        EnableWindow(g_requester.owner, TRUE);
        g_requester.ownerDisabled = 0;  // a second restore must not enable it again
    }
    ThreadWindowsRestore();
}

static void closeStep(HWND dialog) {
    restoreStep();
    DestroyWindow(dialog);
}

static void textKeep(HWND dialog) {
    char** slot = reinterpret_cast<char**>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    // A dialog whose requester has returned has no slot left to fill.
    if (!slot) return;
    g_requester.confirmed = 1;
    int length = GetWindowTextLengthA(g_requester.field);
    char* block = static_cast<char*>(HeapAlloc(ProgramHeap(), 0, length + 1));
    if (!block) return;  // the requester then returns ""
    block[0] = 0;        // a field that is not there leaves the buffer untouched
    GetWindowTextA(g_requester.field, block, length + 1);
    if (*slot) HeapFree(ProgramHeap(), 0, *slot);
    *slot = block;
}

static void onOk(HWND dialog) {
    textKeep(dialog);
    closeStep(dialog);
}

static const CommandRoute COMMAND_ROUTES[] = {
    {REQUESTER_OK, onOk},
    {REQUESTER_CANCEL, closeStep},
};

static LRESULT onCommand(HWND dialog, WPARAM wp, LPARAM) {
    for (const CommandRoute& r : COMMAND_ROUTES)
        if (r.id == LOWORD(wp)) r.run(dialog);
    return 0;  // the field's notifications end here too
}

static LRESULT onClose(HWND dialog, WPARAM, LPARAM) {
    closeStep(dialog);
    return 0;
}

static LRESULT onDestroy(HWND, WPARAM, LPARAM) {
    // Refused while this window still exists: see classUnregister.
    UnregisterClassA(CLASS_NAME, instanceHandle());
    g_requester.done = 1;
    return 0;
}

static const Route ROUTES[] = {
    {WM_COMMAND, onCommand},
    {WM_CLOSE, onClose},
    {WM_DESTROY, onDestroy},
};

static LRESULT CALLBACK requesterProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    for (const Route& r : ROUTES)
        if (r.msg == m) return r.run(w, wp, lp);
    return DefWindowProcA(w, m, wp, lp);
}

static void classRegister() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = requesterProcedure;
    wc.hInstance = instanceHandle();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = CLASS_NAME;
    // Ignored on failure: the class may still be registered from an earlier requester.
    RegisterClassExA(&wc);
}

// The system refuses to unregister a class while a window of it exists, which
// is still so when WM_DESTROY asks; asked once the dialog is gone (or was never
// made), the class does not outlive the requester.
static void classUnregister() {
    UnregisterClassA(CLASS_NAME, instanceHandle());
}

// The caller's window, where it names one, may belong to another process:
// the window Windows asks a screen saver's settings for.
static void ownerSuspend(HWND given) {
    g_requester.owner = given && IsWindow(given) ? given : processForegroundWindow();
    g_requester.ownerDisabled = 0;
    if (g_requester.owner && IsWindowEnabled(g_requester.owner)) {
        EnableWindow(g_requester.owner, FALSE);
        g_requester.ownerDisabled = 1;
    }
}

// The layout below is in 96-dpi units, scaled here for every control.
static HWND controlCreate(HWND dialog, DWORD exStyle, const char* className, const char* text,
                          DWORD style, int left, int top, int width, int height, int id) {
    HWND control = CreateWindowExA(exStyle, className, text, style, ScreenPixels(left),
                                   ScreenPixels(top), ScreenPixels(width), ScreenPixels(height),
                                   dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   instanceHandle(), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_requester.font), TRUE);
    return control;
}

static void controlsCreate(HWND dialog, const char* prompt, const char* defaultText) {
    controlCreate(dialog, 0, "STATIC", prompt, WS_CHILD | WS_VISIBLE | SS_SIMPLE,
                  10, 10, 280, 22, 0);
    HWND field = controlCreate(dialog, WS_EX_CLIENTEDGE, "EDIT", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                               10, 32, 275, 21, REQUESTER_FIELD);
    g_requester.field = field;
    SetFocus(field);
    if (defaultText) {
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(defaultText));
        // Caret after the last character, nothing selected: typing appends.
        WPARAM end = strlen(defaultText);
        SendMessageA(field, EM_SETSEL, end, static_cast<LPARAM>(end));
    }
    controlCreate(dialog, 0, "BUTTON", "OK",
                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                  110, 67, 80, 25, REQUESTER_OK);
}

// The outer place of the dialog, whose centre is `half` from its corner:
// centred on the primary screen, never on a window of this process; centred
// on a caller's owner and kept whole on the work area of the owner's monitor.
static POINT dialogPlace(HWND givenOwner, SIZE size, SIZE half) {
    POINT at = {GetSystemMetrics(SM_CXSCREEN) / 2 - half.cx,
                GetSystemMetrics(SM_CYSCREEN) / 2 - half.cy};
    RECT owner;
    if (!givenOwner || !GetWindowRect(givenOwner, &owner)) return at;
    at.x = (owner.left + owner.right) / 2 - half.cx;
    at.y = (owner.top + owner.bottom) / 2 - half.cy;
    const int width = size.cx, height = size.cy;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(givenOwner, MONITOR_DEFAULTTONEAREST), &monitor))
        return at;
    const RECT& work = monitor.rcWork;
    // The top-left corner wins where the work area is smaller than the dialog.
    if (at.x + width > work.right) at.x = work.right - width;
    if (at.y + height > work.bottom) at.y = work.bottom - height;
    if (at.x < work.left) at.x = work.left;
    if (at.y < work.top) at.y = work.top;
    return at;
}

static HACCEL acceleratorsCreate() {
    ACCEL keys[2] = {
        {FVIRTKEY, VK_RETURN, REQUESTER_OK},
        {FVIRTKEY, VK_ESCAPE, REQUESTER_CANCEL},
    };
    return CreateAcceleratorTableA(keys, 2);
}

// Returns 1 when the loop ended on the thread's quit message, with its code.
static int messageLoop(HWND dialog, HACCEL keys, WPARAM* quitCode) {
    MSG msg;
    while (!g_requester.done) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            *quitCode = msg.wParam;
            return 1;
        }
        if (got < 0) return 0;  // only for a bad argument; never spin on it
        // No dialog-message processing: Tab stays in the field.
        if (TranslateAcceleratorA(dialog, keys, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

static void resultDeliver(char* block, uint32_t at) {
    uint32_t length = block ? static_cast<uint32_t>(strlen(block)) : 0;
    char* out = WorkspaceReserve(static_cast<int32_t>(length), at);
    if (length) memcpy(out, block, length);
    out[length] = 0;
    if (block) HeapFree(ProgramHeap(), 0, block);
}

int InputRequesterShow(const char* title, const char* prompt, const char* defaultText,
                       uint32_t at, HWND owner) {
    HeapTextCopy titleCopy(title);  // made first, freed last
    HeapTextCopy promptCopy(prompt);
    HeapTextCopy defaultCopy(defaultText);
    if (!g_requester.font) g_requester.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    classRegister();
    g_requester.done = 0;
    g_requester.confirmed = 0;
    if (owner && !IsWindow(owner)) owner = nullptr;  // a handle that names no window: as if none
    ThreadWindowsSuspend();
    ownerSuspend(owner);

    // 300 x 130 units with its caption, which the system draws in this
    // screen's pixels as well.
    const SIZE size = {ScreenPixels(300), ScreenPixels(130)};
    const POINT place = dialogPlace(owner, size, {ScreenPixels(150), ScreenPixels(65)});
    HWND dialog = CreateWindowExA(0, CLASS_NAME, titleCopy.get(), WS_VISIBLE | WS_CAPTION,
                                  place.x, place.y, size.cx, size.cy,
                                  owner ? owner : processForegroundWindow(), nullptr,
                                  instanceHandle(), nullptr);
    if (!dialog) {
        restoreStep();
        classUnregister();
        resultDeliver(nullptr, at);
        return 0;
    }

    char* slot = nullptr;  // receives the confirmed text's block
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&slot));
    controlsCreate(dialog, promptCopy.get(), defaultCopy.get());
    AcceleratorOwner keys(acceleratorsCreate());
    SetForegroundWindow(dialog);
    BringWindowToTop(dialog);

    WPARAM quitCode = 0;
    int quit = messageLoop(dialog, keys.get(), &quitCode);
    if (!g_requester.done) {
        // The slot dies with this call: cut the dialog off from it and take the
        // dialog down now, so it can never write into a requester that returned.
        SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
        closeStep(dialog);
    }
    classUnregister();
    keys.reset();
    resultDeliver(slot, at);
    // The quit belongs to the caller's loop, which must still see it.
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return g_requester.confirmed;
}

// The procedure of every toolkit window: a table of routes from Win32 messages
// to toolkit events, and the hand-over of control notifications to gadgets.
#include "toolkit/window/event_codes.h"
#include "toolkit/window/event_queue.h"
#include "toolkit/window/focus_navigation.h"
#include "toolkit/window/gadgets.h"
#include "toolkit/window/sizing_mode.h"
#include "toolkit/window/window_names.h"
#include "toolkit/window/windows.h"

namespace {
// What every route gets: the message, and the toolkit window it belongs to.
struct MessageContext {
    HWND window;            // the window the message is for
    HWND numbered;          // the window carrying the number, or null
    ObjectNumber number;    // -1 when no toolkit window was found
    WindowRecord* record;   // null when the number has no window
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Route {
    UINT message;
    LRESULT (*run)(const MessageContext& m);
};
}  // namespace

// Events name the window they came from. A window that carries no number yet
// (being created) or any more (being closed) produces none.
static void post(const MessageContext& m, int32_t code, ObjectNumber gadget) {
    if (m.number == -1) return;
    EventPost(code, gadget, m.number, 0);
}

static bool ownMessage(const MessageContext& m) {
    return m.record && m.window == m.numbered;
}

static LRESULT onMoveOrClose(const MessageContext& m) {
    // The close request is the program's to decide: the window stays.
    if (ownMessage(m)) post(m, static_cast<int32_t>(m.message), m.number);
    return 0;
}

static LRESULT onSize(const MessageContext& m) {
    if (!ownMessage(m)) return 1;
    WindowRecord& record = *m.record;
    switch (m.wParam) {
    case SIZE_RESTORED:
        if (record.minimizedOrMaximized) {
            record.minimizedOrMaximized = 0;
            post(m, EVENT_WINDOW_RESTORED, 0);
        }
        post(m, EVENT_WINDOW_SIZED, 0);
        break;
    case SIZE_MINIMIZED:
        record.minimizedOrMaximized = 1;
        post(m, EVENT_WINDOW_MINIMIZED, 0);
        break;
    case SIZE_MAXIMIZED:
        record.minimizedOrMaximized = 1;
        post(m, EVENT_WINDOW_MAXIMIZED, 0);
        post(m, EVENT_WINDOW_SIZED, 0);
        break;
    default:
        post(m, EVENT_WINDOW_SIZED, 0);
        break;
    }
    return 0;
}

// Activation never reaches DefWindowProcA: the toolkit restores the focus it
// saved itself, and a first activation sets none.
static LRESULT onActivate(const MessageContext& m) {
    if (LOWORD(m.wParam)) {
        HWND saved = static_cast<HWND>(GetPropA(m.window, PROPERTY_FOCUS));
        if (saved) SetFocus(saved);
        post(m, EVENT_WINDOW_ACTIVATED, 0);
    } else {
        SetPropA(m.window, PROPERTY_FOCUS, GetFocus());
        FocusCuesUpdate(m.window, 0);
    }
    return 1;
}

static LRESULT onEraseBackground(const MessageContext& m) {
    post(m, EVENT_WINDOW_REPAINT, 0);
    // A painter paints every pixel itself; erasing first would only flicker.
    if (ownMessage(m) && m.record->painter) return 1;
    return RESULT_NOT_HANDLED;  // the class brush still paints
}

namespace {
class PaintOwner {  // one BeginPaint, ended by EndPaint; not copyable
public:
    explicit PaintOwner(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    PaintOwner(const PaintOwner&) = delete;
    PaintOwner& operator=(const PaintOwner&) = delete;
    ~PaintOwner() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }
private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_ = nullptr;
};
}  // namespace

static LRESULT onPaint(const MessageContext& m) {
    if (!ownMessage(m) || !m.record->painter) return RESULT_NOT_HANDLED;
    RECT client = {};
    GetClientRect(m.window, &client);
    PaintOwner paint(m.window);
    if (paint.get()) m.record->painter(paint.get(), client.right, client.bottom);
    return 0;
}

// A child of another window goes with it, unasked: the record forgets the
// handle, and the program hears of it even while its loop sleeps in
// GetMessageA, which a sent destruction does not wake.
static LRESULT onDestroy(const MessageContext& m) {
    if (!ownMessage(m) || !m.record->embedded) return RESULT_NOT_HANDLED;
    m.record->window = nullptr;
    post(m, EVENT_WINDOW_DESTROYED, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    return 0;
}

static BOOL CALLBACK sysColorForward(HWND child, LPARAM) {
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

static LRESULT onSysColorChange(const MessageContext& m) {
    if (m.record) EnumChildWindows(m.window, sysColorForward, 0);
    return RESULT_NOT_HANDLED;
}

static LRESULT onGetMinMaxInfo(const MessageContext& m) {
    if (!m.record) return RESULT_NOT_HANDLED;
    // A tool window may be made as narrow as its frame allows.
    if (GetWindowLongPtrA(m.window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
        reinterpret_cast<MINMAXINFO*>(m.lParam)->ptMinTrackSize.x = 1;
    return 0;
}

static LRESULT onNotify(const MessageContext& m) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(m.lParam);
    if (!header) return RESULT_NOT_HANDLED;
    return GadgetMessageHook(header->hwndFrom, m.window, m.message, m.wParam, m.lParam);
}

static LRESULT onControlMessage(const MessageContext& m) {
    return GadgetMessageHook(reinterpret_cast<HWND>(m.lParam), m.window, m.message, m.wParam,
                             m.lParam);
}

static LRESULT onNcDestroy(const MessageContext& m) {
    RemovePropA(m.window, PROPERTY_FOCUS);
    return 1;
}

static LRESULT onCommand(const MessageContext& m) {
    HWND control = reinterpret_cast<HWND>(m.lParam);
    if (GadgetMessageHook(control, m.window, m.message, m.wParam, m.lParam) !=
        RESULT_NOT_HANDLED)
        return 0;
    if (control) {
        // Not queued: EventWait returns it from the dispatch that caused it.
        EventFields& current = EventStateGet()->current;
        current.pending = EVENT_GADGET;
        current.type = HIWORD(m.wParam);
        current.gadget = GetWindowLongPtrA(control, GWLP_ID);
    } else if (HIWORD(m.wParam)) {
        if (LOWORD(m.wParam) == COMMAND_FOCUS_NEXT) FocusNavigate(0);
        else if (LOWORD(m.wParam) == COMMAND_FOCUS_PREVIOUS) FocusNavigate(1);
    }
    return 0;
}

static const Route ROUTES[] = {
    {WM_MOVE, onMoveOrClose},
    {WM_CLOSE, onMoveOrClose},
    {WM_SIZE, onSize},
    {WM_ACTIVATE, onActivate},
    {WM_ERASEBKGND, onEraseBackground},
    {WM_PAINT, onPaint},
    {WM_DESTROY, onDestroy},
    {WM_SYSCOLORCHANGE, onSysColorChange},
    {WM_GETMINMAXINFO, onGetMinMaxInfo},
    {WM_NOTIFY, onNotify},
    {WM_NCDESTROY, onNcDestroy},
    {WM_COMMAND, onCommand},
    {WM_HSCROLL, onControlMessage},
    {WM_VSCROLL, onControlMessage},
    {WM_CTLCOLOREDIT, onControlMessage},
    {WM_CTLCOLORLISTBOX, onControlMessage},
    {WM_CTLCOLORBTN, onControlMessage},
    {WM_CTLCOLORSTATIC, onControlMessage},
};

LRESULT WindowMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT sized = SizingMessageHandler(window, message, wParam, lParam);
    if (sized != RESULT_NOT_HANDLED) return sized;

    MessageContext m = {window, nullptr, -1, nullptr, message, wParam, lParam};
    if (window) m.number = WindowNumberOf(window, &m.numbered);
    if (m.number != -1)
        m.record = static_cast<WindowRecord*>(ObjectFind(WindowTable(), m.number));
    EventStateGet()->current.window = m.number;

    for (const Route& route : ROUTES)
        if (route.message == message) return route.run(m);
    return RESULT_NOT_HANDLED;
}

LRESULT CALLBACK WindowClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = WindowMessageHandler(window, message, wParam, lParam);
    SetLastError(0);
    if (result == RESULT_NOT_HANDLED) return DefWindowProcA(window, message, wParam, lParam);
    return result;
}

LRESULT GadgetMessageHook(HWND control, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    if (!control) return RESULT_NOT_HANDLED;
    ObjectNumber number = GetWindowLongPtrA(control, GWLP_ID);
    // A control is a gadget only when its "ZV_ID" matches its ID.
    if (reinterpret_cast<ObjectNumber>(GetPropA(control, PROPERTY_GADGET_ID)) != number)
        return RESULT_NOT_HANDLED;
    GadgetRecord* gadget = static_cast<GadgetRecord*>(ObjectFind(GadgetTable(), number));
    // A foreign control with ID 0 and no property matches too; only the
    // gadget's own control may reach its hook.
    if (!gadget || gadget->control != control || !gadget->kind ||
        !gadget->kind->messageHook)
        return RESULT_NOT_HANDLED;
    return gadget->kind->messageHook(gadget, window, message, wParam, lParam);
}

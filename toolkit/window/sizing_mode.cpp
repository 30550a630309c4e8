// The sizing mode: a non-modal replacement for the system's sizing loop,
// driven by the window's own mouse and key messages while it holds the capture.
#include "toolkit/window/sizing_mode.h"
#include "toolkit/window/event_codes.h"
#include "toolkit/core/object_table.h"

static const WPARAM COMMAND_SIZE = 0xF000;  // SC_SIZE; the low four bits carry the edge
static const int STEP = 10;                 // pixels per arrow key
static const int GRIP = 2;                  // the cursor sits this far inside an edge

static const WORD CURSOR_NWSE = 32642;  // IDC_SIZENWSE
static const WORD CURSOR_NESW = 32643;  // IDC_SIZENESW
static const WORD CURSOR_WE = 32644;    // IDC_SIZEWE
static const WORD CURSOR_NS = 32645;    // IDC_SIZENS
static const WORD CURSOR_SIZEALL = 32646;  // IDC_SIZEALL

static SizingState* g_sizing = nullptr;

SizingState* SizingStateCreate() {
    if (!g_sizing)
        g_sizing = static_cast<SizingState*>(ModuleStateCreate(sizeof(SizingState), nullptr));
    return g_sizing;
}

SizingState* SizingStateGet() {
    return g_sizing;
}

static bool edgeHasLeft(int32_t edge) {
    return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}
static bool edgeHasRight(int32_t edge) {
    return edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
}
static bool edgeHasTop(int32_t edge) {
    return edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
}
static bool edgeHasBottom(int32_t edge) {
    return edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
}

// The extent between the fixed side and the moving one, kept within the
// tracking limits; returns where the moving side goes.
static LONG sideWithin(LONG fixed, LONG moving, LONG minimum, LONG maximum, bool movingIsLower) {
    LONG extent = movingIsLower ? fixed - moving : moving - fixed;
    if (extent < minimum) extent = minimum;
    else if (extent > maximum) extent = maximum;
    return movingIsLower ? fixed - extent : fixed + extent;
}

static void rectangleTrack(SizingState& s, POINT p) {
    RECT& r = s.rect;
    const POINT& least = s.limits.ptMinTrackSize;
    const POINT& most = s.limits.ptMaxTrackSize;
    const bool topLeft = s.edge == WMSZ_TOPLEFT;
    if (edgeHasLeft(s.edge)) {
        r.left = topLeft ? p.x - GRIP : p.x;
        r.left = sideWithin(r.right, r.left, least.x, most.x, true);
    }
    if (edgeHasRight(s.edge)) r.right = sideWithin(r.left, p.x + GRIP, least.x, most.x, false);
    if (edgeHasTop(s.edge)) {
        r.top = topLeft ? p.y - GRIP : p.y;
        r.top = sideWithin(r.bottom, r.top, least.y, most.y, true);
    }
    if (edgeHasBottom(s.edge)) r.bottom = sideWithin(r.top, p.y + GRIP, least.y, most.y, false);
}

// What a mouse move does once its point is in screen coordinates.
static void sizingFollow(SizingState& s, HWND window, POINT p) {
    rectangleTrack(s, p);
    SendMessageA(window, WM_SIZING, s.edge, reinterpret_cast<LPARAM>(&s.rect));
    RECT place = s.rect;
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    MoveWindow(window, place.left, place.top, place.right - place.left, place.bottom - place.top,
               TRUE);
}

static void cursorShow(WORD id) {
    SetCursor(static_cast<HCURSOR>(LoadImageA(nullptr, MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0, 0,
                                              LR_SHARED | LR_DEFAULTSIZE)));
}

static void limitsDefault(HWND window, MINMAXINFO& limits) {
    limits = MINMAXINFO{};
    limits.ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    if (GetWindowLongA(window, GWL_STYLE) & WS_BORDER)
        limits.ptMaxPosition = {GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER)};
    else if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_WINDOWEDGE)
        limits.ptMaxPosition = {GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE)};
    limits.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    limits.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
}

static LRESULT sizingStart(SizingState& s, HWND window, WPARAM command) {
    BOOL fullWindows = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullWindows, 0);
    if (!fullWindows) return RESULT_NOT_HANDLED;  // outline sizing: the system's loop does it

    s.edge = static_cast<int32_t>(command & 0xF);
    s.active = 1;
    s.window = window;
    s.keyboardStart = 0;
    GetWindowRect(window, &s.rect);
    limitsDefault(window, s.limits);
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&s.limits));

    if (GetKeyState(VK_LBUTTON) == 0) SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SetCapture(window);
    PostMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    if (s.edge == 0) {  // Size from the system menu: the keys choose the edge
        GetCursorPos(&s.cursor);
        s.keyboardStart = 1;
        cursorShow(CURSOR_SIZEALL);
    }
    return 0;
}

namespace {

// One row of the arrow-key table: with this key and this edge, choose a new
// edge with its cursor at a point named by the corner it sits near.
enum Spot { AT_LEFT, AT_TOP, AT_RIGHT, AT_BOTTOM, AT_TOP_LEFT, AT_TOP_RIGHT, AT_BOTTOM_LEFT,
            AT_BOTTOM_RIGHT };

struct EdgeChoice {
    WPARAM key;
    int32_t edgeNow;
    int32_t edgeNew;
    WORD cursor;
    Spot spot;
};

}  // namespace

static const EdgeChoice EDGE_CHOICES[] = {
    {VK_LEFT, 0, WMSZ_LEFT, CURSOR_WE, AT_LEFT},
    {VK_LEFT, WMSZ_TOP, WMSZ_TOPLEFT, CURSOR_NWSE, AT_TOP_LEFT},
    {VK_LEFT, WMSZ_BOTTOM, WMSZ_BOTTOMLEFT, CURSOR_NESW, AT_BOTTOM_LEFT},
    {VK_UP, 0, WMSZ_TOP, CURSOR_NS, AT_TOP},
    {VK_UP, WMSZ_RIGHT, WMSZ_TOPRIGHT, CURSOR_NESW, AT_TOP_RIGHT},
    {VK_UP, WMSZ_LEFT, WMSZ_TOPLEFT, CURSOR_NWSE, AT_TOP_LEFT},
    {VK_RIGHT, 0, WMSZ_RIGHT, CURSOR_WE, AT_RIGHT},
    {VK_RIGHT, WMSZ_TOP, WMSZ_TOPRIGHT, CURSOR_NESW, AT_TOP_RIGHT},
    {VK_RIGHT, WMSZ_BOTTOM, WMSZ_BOTTOMRIGHT, CURSOR_NWSE, AT_BOTTOM_RIGHT},
    {VK_DOWN, 0, WMSZ_BOTTOM, CURSOR_NS, AT_BOTTOM},
    {VK_DOWN, WMSZ_RIGHT, WMSZ_BOTTOMRIGHT, CURSOR_NWSE, AT_BOTTOM_RIGHT},
    {VK_DOWN, WMSZ_LEFT, WMSZ_BOTTOMLEFT, CURSOR_NESW, AT_BOTTOM_LEFT},
};

// The cursor point for a chosen edge: on the side itself, or GRIP inside it
// where the tracking adds GRIP back, so that choosing moves no side.
static POINT spotPoint(const RECT& r, Spot spot, POINT p) {
    switch (spot) {
    case AT_LEFT: return {r.left, p.y};
    case AT_TOP: return {p.x, r.top};
    case AT_RIGHT: return {r.right - GRIP, p.y};
    case AT_BOTTOM: return {p.x, r.bottom - GRIP};
    case AT_TOP_LEFT: return {r.left + GRIP, r.top + GRIP};
    case AT_TOP_RIGHT: return {r.right - GRIP, r.top};
    case AT_BOTTOM_LEFT: return {r.left, r.bottom - GRIP};
    case AT_BOTTOM_RIGHT: return {r.right - GRIP, r.bottom - GRIP};
    }
    return p;
}

static void sizingArrow(SizingState& s, HWND window, WPARAM key) {
    POINT p;
    GetCursorPos(&p);
    for (const EdgeChoice& choice : EDGE_CHOICES) {
        if (choice.key != key || choice.edgeNow != s.edge) continue;
        s.edge = choice.edgeNew;
        POINT at = spotPoint(s.rect, choice.spot, p);
        SetCursorPos(at.x, at.y);
        cursorShow(choice.cursor);
        return;
    }
    switch (key) {
    case VK_LEFT: p.x -= STEP; break;
    case VK_RIGHT: p.x += STEP; break;
    case VK_UP: p.y -= STEP; break;
    default: p.y += STEP; break;
    }
    SetCursorPos(p.x, p.y);
    sizingFollow(s, window, p);
}

static bool isArrow(WPARAM key) {
    return key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
}

LRESULT SizingMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SizingState* state = g_sizing;
    if (!state) return RESULT_NOT_HANDLED;
    SizingState& s = *state;

    if (!s.active) {
        if (message != WM_SYSCOMMAND || (wParam & 0xFFF0) != COMMAND_SIZE) return RESULT_NOT_HANDLED;
        // Only a window with a sizing frame is offered for sizing.
        if (!(GetWindowLongA(window, GWL_STYLE) & WS_THICKFRAME)) return RESULT_NOT_HANDLED;
        return sizingStart(s, window, wParam);
    }
    if (window != s.window) return RESULT_NOT_HANDLED;

    switch (message) {
    case WM_MOUSEMOVE: {
        s.keyboardStart = 0;
        POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        MapWindowPoints(window, nullptr, &p, 1);
        sizingFollow(s, window, p);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            ReleaseCapture();  // Escape too keeps the size reached so far
            return 0;
        }
        if (isArrow(wParam)) sizingArrow(s, window, wParam);
        return RESULT_NOT_HANDLED;
    case WM_LBUTTONUP:
        ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        // Taking the capture again for the same window loses nothing.
        if (reinterpret_cast<HWND>(lParam) == window) return 0;
        PostMessageA(window, WM_EXITSIZEMOVE, 0, 0);
        s.active = 0;
        s.window = nullptr;
        if (s.keyboardStart) SetCursorPos(s.cursor.x, s.cursor.y);
        return 0;
    default:
        return RESULT_NOT_HANDLED;
    }
}

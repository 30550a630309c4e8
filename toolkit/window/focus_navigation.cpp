// Tab and Shift+Tab between the tab stops of the active window, with compound
// controls counted as one stop, and the focus cues shown on keyboard use.
#include "toolkit/window/focus_navigation.h"
#include <string.h>

static const UINT UI_STATE_QUERY = 0x129;         // WM_QUERYUISTATE
static const UINT UI_STATE_UPDATE = 0x128;        // WM_UPDATEUISTATE
static const LRESULT CUES_HIDDEN_FOCUS = 1;       // UISF_HIDEFOCUS
static const LRESULT CUES_HIDDEN_ACCEL = 2;       // UISF_HIDEACCEL
static const WPARAM CUES_CLEAR_BOTH = 0x30002;    // UIS_CLEAR for both flags
static const WPARAM CUES_SET_BOTH = 0x30001;      // UIS_SET for both flags
static const int CLASS_NAME_SIZE = 50;

void FocusCuesUpdate(HWND window, int show) {
    const LRESULT hidden = CUES_HIDDEN_FOCUS | CUES_HIDDEN_ACCEL;
    LRESULT state = SendMessageA(window, UI_STATE_QUERY, 0, 0);
    if (show) {
        if (state & hidden) SendMessageA(window, UI_STATE_UPDATE, CUES_CLEAR_BOTH, 0);
    } else if ((state & hidden) != hidden) {
        SendMessageA(window, UI_STATE_UPDATE, CUES_SET_BOTH, 0);
    }
}

namespace {

// What one pass over the container's descendants learns about its tab stops
// relative to the current one.
struct TabStopScan {
    HWND current;
    HWND first;
    HWND last;
    HWND before;        // the stop just before current
    HWND after;         // the stop just after current
    bool currentFound;  // current is itself a tab stop
};

}  // namespace

static bool isTabStop(HWND window) {
    return IsWindowEnabled(window) && IsWindowVisible(window) &&
           (GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP);
}

static BOOL CALLBACK tabStopVisit(HWND window, LPARAM data) {
    TabStopScan& scan = *reinterpret_cast<TabStopScan*>(data);
    if (!isTabStop(window)) return TRUE;
    if (!scan.first) scan.first = window;
    // Stops inside the current one belong to it: the next stop lies beyond.
    if (scan.currentFound && !scan.after && !IsChild(scan.current, window)) scan.after = window;
    if (window == scan.current) {
        scan.currentFound = true;
        scan.before = scan.last;
    }
    scan.last = window;
    return TRUE;
}

static bool classIs(HWND window, const char* name) {
    char found[CLASS_NAME_SIZE];
    if (!GetClassNameA(window, found, sizeof found)) return false;
    return strcmp(found, name) == 0;
}

// The focused control, or the compound control around it that stands for it
// as a stop; an MDI child on the way up becomes the container whose stops
// count. Outer matches win over inner ones.
static HWND currentStop(HWND focus, HWND* container) {
    HWND current = focus;
    for (HWND window = focus; window; window = GetParent(window)) {
        if (classIs(window, "MDI_ChildClass")) {
            *container = window;
            if (window == focus) current = nullptr;
        } else if (classIs(window, "ComboBoxEx32")) {
            // The simple and drop-down-list kinds keep the focus in an inner control.
            if (GetWindowLongA(window, GWL_STYLE) & 0x1) current = window;
        } else if (classIs(window, "SysIPAddress32")) {
            current = window;
        }
    }
    return current;
}

// A control inside a tab stop of the container (the edit of a drop-down combo
// box, the inner combo box of an extended one) counts as that stop, the outermost
// one; otherwise the focus could never leave such a control with Tab.
static HWND enclosingStop(HWND current, HWND container) {
    HWND stop = current;
    for (HWND window = GetParent(current); window && window != container;
         window = GetParent(window))
        if (isTabStop(window)) stop = window;
    return stop;
}

void FocusNavigate(int backward) {
    HWND container = GetActiveWindow();
    HWND focus = GetFocus();
    HWND current = nullptr;
    if (IsChild(container, focus)) current = currentStop(focus, &container);
    if (current) current = enclosingStop(current, container);

    TabStopScan scan = {};
    scan.current = current;
    EnumChildWindows(container, tabStopVisit, reinterpret_cast<LPARAM>(&scan));
    if (!scan.first) return;  // no tab stops: nothing moves

    HWND target;
    if (!backward) {
        if (!current) target = scan.first;
        else if (!scan.currentFound) return;  // focus outside the stops stays put
        else target = scan.after ? scan.after : scan.first;  // wraps past the last
    } else {
        target = scan.currentFound && scan.before ? scan.before : scan.last;
    }
    SetFocus(target);
}

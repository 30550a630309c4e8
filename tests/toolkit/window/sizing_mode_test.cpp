// The sizing mode driven by real posted messages on a window with a sizing
// frame, through a test window procedure that puts the sizing handler first.
#include "toolkit/window/sizing_mode.h"
#include "toolkit/window/event_codes.h"
#include <gtest/gtest.h>

// RECT lives in the global namespace, where lookup finds its comparisons.
static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }
static std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace {

const RECT START = {300, 200, 600, 400};  // outer rectangle, screen coordinates
struct Seen { int enter, exit, buttonDown, sizing; } g_seen;
bool g_snap = false;  // WM_SIZING rounds the width down to a multiple of 50

LRESULT CALLBACK testProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = SizingMessageHandler(w, m, wp, lp);
    if (r != RESULT_NOT_HANDLED) return r;
    if (m == WM_ENTERSIZEMOVE) ++g_seen.enter;
    if (m == WM_EXITSIZEMOVE) ++g_seen.exit;
    if (m == WM_LBUTTONDOWN) ++g_seen.buttonDown;
    if (m == WM_GETMINMAXINFO) {  // the tracking limits this window asks for
        reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {120, 100};
        reinterpret_cast<MINMAXINFO*>(lp)->ptMaxTrackSize = {500, 400};
        return 0;
    }
    if (m == WM_SIZING) {
        RECT* rect = reinterpret_cast<RECT*>(lp);
        if (g_snap) rect->right = rect->left + (rect->right - rect->left) / 50 * 50;
        ++g_seen.sizing;
        return TRUE;
    }
    if (m == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_SIZE) return 0;  // never the system's loop
    return DefWindowProcA(w, m, wp, lp);
}

class SizingModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        state_ = SizingStateCreate();
        SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &dragFull_, 0);
        // Wine starts with outline dragging; the mode needs full-window dragging.
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = testProc;
        wc.lpszClassName = "SizingModeTest";
        RegisterClassA(&wc);
        window_ = open(WS_OVERLAPPEDWINDOW | WS_VISIBLE, START, nullptr);
        ASSERT_TRUE(window_);
        SetForegroundWindow(window_);
        g_seen = Seen{};
        g_snap = false;
    }
    void TearDown() override {
        ReleaseCapture();
        pump(0);
        DestroyWindow(window_);
        UnregisterClassA("SizingModeTest", nullptr);
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, dragFull_, nullptr, 0);
    }
    static HWND open(DWORD style, const RECT& r, HWND parent) {
        return CreateWindowExA(0, "SizingModeTest", "", style, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    }
    // Dispatches until a message with this number has gone through (0: until
    // the queue is empty); false when it never came within two seconds.
    static bool pump(UINT until) {
        MSG msg;
        for (DWORD end = GetTickCount() + 2000; GetTickCount() < end;) {
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!until) return true;
                Sleep(5);
                continue;
            }
            DispatchMessageA(&msg);
            if (until && msg.message == until) return true;
        }
        return false;
    }
    static bool post(HWND w, UINT m, WPARAM wp, LPARAM lp = 0) {
        return PostMessageA(w, m, wp, lp) && pump(m);
    }
    static bool mouseTo(HWND w, POINT p) {  // the message carries client coordinates
        ScreenToClient(w, &p);
        return post(w, WM_MOUSEMOVE, 0, MAKELPARAM(short(p.x), short(p.y)));
    }
    static RECT rect(HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return r;
    }
    SizingState* state_ = nullptr;
    BOOL dragFull_ = FALSE;
    HWND window_ = nullptr;
};

TEST_F(SizingModeTest, MouseMovesEachEdgeWithinTheLimits) {
    struct Case { const char* name; int edge; POINT at; RECT expected; bool snap; };
    const Case cases[] = {
        {"left", WMSZ_LEFT, {250, 300}, {250, 200, 600, 400}},
        {"right", WMSZ_RIGHT, {649, 300}, {300, 200, 651, 400}},
        {"top", WMSZ_TOP, {400, 150}, {300, 150, 600, 400}},
        {"bottom", WMSZ_BOTTOM, {400, 449}, {300, 200, 600, 451}},
        {"top-left", WMSZ_TOPLEFT, {252, 152}, {250, 150, 600, 400}},
        {"top-right", WMSZ_TOPRIGHT, {649, 150}, {300, 150, 651, 400}},
        {"bottom-left", WMSZ_BOTTOMLEFT, {250, 449}, {250, 200, 600, 451}},
        {"bottom-right", WMSZ_BOTTOMRIGHT, {649, 449}, {300, 200, 651, 451}},
        {"right below minimum", WMSZ_RIGHT, {350, 300}, {300, 200, 420, 400}},
        {"left above maximum", WMSZ_LEFT, {50, 300}, {100, 200, 600, 400}},
        {"top above maximum", WMSZ_TOP, {400, -50}, {300, 0, 600, 400}},
        {"top-left below both", WMSZ_TOPLEFT, {590, 390}, {480, 300, 600, 400}},
        {"WM_SIZING has the last word", WMSZ_RIGHT, {672, 300}, {300, 200, 650, 400}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MoveWindow(window_, START.left, START.top, 300, 200, TRUE);
        g_seen = Seen{};
        g_snap = c.snap;
        ASSERT_TRUE(post(window_, WM_SYSCOMMAND, SC_SIZE | c.edge));
        EXPECT_EQ(window_, GetCapture());
        EXPECT_EQ(1, g_seen.buttonDown);  // the left button is up, so one is sent
        ASSERT_TRUE(mouseTo(window_, c.at));
        EXPECT_EQ(c.expected, rect(window_));
        EXPECT_EQ(1, g_seen.sizing);
        ASSERT_TRUE(post(window_, WM_LBUTTONUP, 0));
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_EQ(0, state_->active);
        ASSERT_TRUE(pump(WM_EXITSIZEMOVE));
        EXPECT_EQ(1, g_seen.enter);
        EXPECT_EQ(1, g_seen.exit);
    }
}

TEST_F(SizingModeTest, ArrowKeysChooseEdgesAndStep) {
    SetCursorPos(700, 600);
    ASSERT_TRUE(post(window_, WM_SYSCOMMAND, SC_SIZE));  // Size from the system menu
    EXPECT_EQ(1, state_->keyboardStart);
    struct Step { WPARAM key; int edge; POINT cursor; RECT expected; };
    const Step steps[] = {
        {VK_RIGHT, WMSZ_RIGHT, {598, 600}, {300, 200, 600, 400}},  // chooses, moves nothing
        {VK_RIGHT, WMSZ_RIGHT, {608, 600}, {300, 200, 610, 400}},
        {VK_LEFT, WMSZ_RIGHT, {598, 600}, {300, 200, 600, 400}},
        {VK_LEFT, WMSZ_RIGHT, {588, 600}, {300, 200, 590, 400}},
        {VK_DOWN, WMSZ_BOTTOMRIGHT, {588, 398}, {300, 200, 590, 400}},
        {VK_DOWN, WMSZ_BOTTOMRIGHT, {588, 408}, {300, 200, 590, 410}},
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(post(window_, WM_KEYDOWN, s.key));
        POINT cursor;
        GetCursorPos(&cursor);
        SCOPED_TRACE(::testing::Message() << "cursor " << cursor.x << "," << cursor.y);
        EXPECT_EQ(s.edge, state_->edge);
        EXPECT_TRUE(cursor.x == s.cursor.x && cursor.y == s.cursor.y);
        EXPECT_EQ(s.expected, rect(window_));
    }
    // Posted messages come before the cursor's own moves, so none of those has
    // ended the keyboard start: Escape puts the cursor back where it began.
    ASSERT_TRUE(post(window_, WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ((RECT{300, 200, 590, 410}), rect(window_));  // Escape keeps the size reached
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_TRUE(cursor.x == 700 && cursor.y == 600) << cursor.x << "," << cursor.y;
    EXPECT_TRUE(pump(WM_EXITSIZEMOVE));
}

TEST_F(SizingModeTest, ChildWindowMovesInItsParentsCoordinates) {
    HWND child = open(WS_CHILD | WS_VISIBLE | WS_THICKFRAME, {20, 30, 220, 180}, window_);
    RECT before = rect(child);
    ASSERT_TRUE(post(child, WM_SYSCOMMAND, SC_SIZE | WMSZ_RIGHT));
    ASSERT_TRUE(mouseTo(child, {before.right + 48, before.top + 5}));
    EXPECT_EQ((RECT{before.left, before.top, before.right + 50, before.bottom}), rect(child));
    ASSERT_TRUE(post(child, WM_LBUTTONUP, 0));
    EXPECT_EQ(0, state_->active);
}

TEST_F(SizingModeTest, LeavesAloneWhatItDoesNotSize) {
    HWND fixed = open(WS_CAPTION | WS_SYSMENU | WS_VISIBLE, START, nullptr);  // no sizing frame
    ASSERT_TRUE(fixed);
    struct Case { const char* name; HWND w; UINT m; WPARAM wp; BOOL fullDrag; };
    const Case cases[] = {
        {"outline dragging", window_, WM_SYSCOMMAND, SC_SIZE | WMSZ_LEFT, FALSE},
        {"no sizing frame", fixed, WM_SYSCOMMAND, SC_SIZE | WMSZ_LEFT, TRUE},
        {"moving, not sizing", window_, WM_SYSCOMMAND, SC_MOVE, TRUE},
    };
    for (const Case& c : cases) {  // called directly: DefWindowProcA would size modally
        SCOPED_TRACE(c.name);
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, c.fullDrag, nullptr, 0);
        EXPECT_EQ(RESULT_NOT_HANDLED, SizingMessageHandler(c.w, c.m, c.wp, 0));
        EXPECT_EQ(0, state_->active);
        EXPECT_EQ(nullptr, GetCapture());
    }
    // While one window is sized, another one's messages pass by untouched.
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    ASSERT_TRUE(post(window_, WM_SYSCOMMAND, SC_SIZE | WMSZ_RIGHT));
    EXPECT_EQ(RESULT_NOT_HANDLED, SizingMessageHandler(fixed, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)));
    EXPECT_EQ(RESULT_NOT_HANDLED, SizingMessageHandler(fixed, WM_LBUTTONUP, 0, 0));
    EXPECT_EQ(START, rect(window_));
    EXPECT_EQ(window_, GetCapture());
    DestroyWindow(fixed);
}

}  // namespace

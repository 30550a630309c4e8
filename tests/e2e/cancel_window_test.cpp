// Saver mode's cancel window in the real Somnaro.scr: how it looks from
// outside, and what the button, the ways of closing and moving it do.
#include "support/child.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);
const char* SETTINGS = "SOFTWARE\\Veltrix\\Somnaro";
const std::string SCHEDULE_LINE = "\"psshutdown\" -f -h -t 60\r\n";
const std::string ABORT_LINE = "\"psshutdown\" -a\r\n";

// A window property read from another process; GetPropA alone cannot tell
// a property holding 0 from a missing one.
struct PropertySearch {
    const char* name;
    bool found;
    HANDLE value;
};

BOOL CALLBACK propertyMatch(HWND, LPSTR name, HANDLE value, ULONG_PTR lp) {
    PropertySearch* s = reinterpret_cast<PropertySearch*>(lp);
    // Names stored as atoms arrive as small integers, not as text.
    if (!IS_INTRESOURCE(name) && lstrcmpA(name, s->name) == 0) {
        s->found = true;
        s->value = value;
        return FALSE;
    }
    return TRUE;
}

// The property's value, or -1 when the window has no such property.
intptr_t propertyOf(HWND window, const char* name) {
    PropertySearch s = {name, false, nullptr};
    EnumPropsExA(window, propertyMatch, reinterpret_cast<LPARAM>(&s));
    return s.found ? reinterpret_cast<intptr_t>(s.value) : -1;
}

std::string classOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string textOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<HWND> childrenOf(HWND window) {
    std::vector<HWND> found;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        found.push_back(c);
    return found;
}

HWND focusOf(DWORD threadId) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

// One saver-mode process and the handles of its cancel window.
struct Saver {
    ChildProcess process;
    HWND window = nullptr;
    HWND button = nullptr;
    DWORD thread = 0;

    // Milliseconds from since until the process ended, or -1 when it was
    // still running after the limit.
    long exitWait(DWORD since) {
        if (!process.wait(LIMIT_MS)) return -1;
        return static_cast<long>(GetTickCount() - since);
    }
};

class CancelWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS);  // so the delay is the default 60
        ToolLogUse();
    }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS); }

    // Starts saver mode and waits for the tool's schedule line, the window
    // and its button; false (with a failure) when any of them does not come.
    // The line comes first, so that no test leaves it to land in the next
    // test's log.
    static bool saverOpen(Saver& s) {
        if (!s.process.start(ScrCommand("/s"))) {
            ADD_FAILURE() << "Somnaro.scr did not start";
            return false;
        }
        if (!toolLogWait(1)) {
            ADD_FAILURE() << "no schedule line: \"" << ToolLogRead() << "\"";
            return false;
        }
        s.window = ProcessWindowWait(s.process.id(), "WindowClass_0", LIMIT_MS);
        if (!s.window) {
            ADD_FAILURE() << "no cancel window";
            return false;
        }
        s.thread = GetWindowThreadProcessId(s.window, nullptr);
        s.button = ChildWindowWait(s.window, "Button", LIMIT_MS);
        if (!s.button) {
            ADD_FAILURE() << "no button in the cancel window";
            return false;
        }
        Sleep(100);  // let the loop start waiting for events
        return true;
    }

    // The tool runs detached: waits until the log holds that many lines, then
    // a little longer so that a line too many would show as well.
    static bool toolLogWait(size_t lines) {
        std::string log = ToolLogWait(lines, LIMIT_MS);
        return static_cast<size_t>(std::count(log.begin(), log.end(), '\n')) >= lines;
    }

    Saver saver_;
};

TEST_F(CancelWindowTest, WindowAndButtonAreLaidOutAsDesigned) {
    ASSERT_TRUE(saverOpen(saver_));

    EXPECT_EQ("WindowClass_0", classOf(saver_.window));
    EXPECT_EQ("Somnaro v0.5", textOf(saver_.window));
    RECT outer = {};
    ASSERT_TRUE(GetWindowRect(saver_.window, &outer));
    EXPECT_EQ(300, outer.left);
    EXPECT_EQ(300, outer.top);
    RECT client = {};
    ASSERT_TRUE(GetClientRect(saver_.window, &client));
    EXPECT_EQ(240, client.right - client.left);
    EXPECT_EQ(80, client.bottom - client.top);
    LONG_PTR style = GetWindowLongPtrA(saver_.window, GWL_STYLE);
    EXPECT_EQ(WS_CAPTION, style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_EQ(1, propertyOf(saver_.window, "ZV_WindowID"));  // window number + 1

    ASSERT_EQ(std::vector<HWND>{saver_.button}, childrenOf(saver_.window));  // nothing else inside
    EXPECT_EQ("Cancel Hibernate", textOf(saver_.button));
    RECT button = {};
    ASSERT_TRUE(GetWindowRect(saver_.button, &button));
    MapWindowPoints(nullptr, saver_.window, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(10, button.left);
    EXPECT_EQ(10, button.top);
    EXPECT_EQ(220, button.right - button.left);
    EXPECT_EQ(60, button.bottom - button.top);
    EXPECT_EQ(0, GetDlgCtrlID(saver_.button));
    EXPECT_EQ(0, propertyOf(saver_.button, "ZV_ID"));
    LONG_PTR buttonStyle = GetWindowLongPtrA(saver_.button, GWL_STYLE);
    EXPECT_TRUE(buttonStyle & WS_TABSTOP);
    EXPECT_TRUE(buttonStyle & WS_VISIBLE);
    EXPECT_EQ(BS_PUSHBUTTON, buttonStyle & BS_TYPEMASK);

    PostMessageA(saver_.window, WM_CLOSE, 0, 0);
    EXPECT_NE(-1, saver_.exitWait(GetTickCount()));
}

TEST_F(CancelWindowTest, ClickAbortsThenEndsAfterTwoHundredMs) {
    ASSERT_TRUE(saverOpen(saver_));
    const LPARAM middle = MAKELPARAM(110, 30);  // in the button's client area
    ASSERT_TRUE(PostMessageA(saver_.button, WM_LBUTTONDOWN, MK_LBUTTON, middle));
    DWORD clicked = GetTickCount();
    ASSERT_TRUE(PostMessageA(saver_.button, WM_LBUTTONUP, 0, middle));

    long took = saver_.exitWait(clicked);
    ASSERT_NE(-1, took) << "still running after the click";
    EXPECT_EQ(0u, saver_.process.exitCode());
    // The abort is started first, then the program waits 200 ms; a little
    // slack for the tick counter's granularity.
    EXPECT_GE(took, 180);
    EXPECT_LT(took, 5000);
    std::cout << "click to exit: " << took << " ms\n";
    ASSERT_TRUE(toolLogWait(2));
    EXPECT_EQ(SCHEDULE_LINE + ABORT_LINE, ToolLogRead());
}

TEST_F(CancelWindowTest, TabFocusesTheButtonAndSpaceAborts) {
    ASSERT_TRUE(saverOpen(saver_));
    HWND before = focusOf(saver_.thread);
    ASSERT_NE(saver_.button, before) << "the button had the focus before Tab";
    HWND target = before ? before : saver_.window;
    ASSERT_TRUE(PostMessageA(target, WM_KEYDOWN, VK_TAB, 0x000F0001));
    ASSERT_TRUE(PostMessageA(target, WM_KEYUP, VK_TAB, 0xC00F0001));
    DWORD begin = GetTickCount();
    while (focusOf(saver_.thread) != saver_.button && GetTickCount() - begin < LIMIT_MS) Sleep(20);
    ASSERT_EQ(saver_.button, focusOf(saver_.thread)) << "Tab did not move the focus to the button";
    EXPECT_EQ(SCHEDULE_LINE, ToolLogRead());  // focusing alone aborts nothing

    ASSERT_TRUE(PostMessageA(saver_.button, WM_KEYDOWN, VK_SPACE, 0x00390001));
    DWORD pressed = GetTickCount();
    ASSERT_TRUE(PostMessageA(saver_.button, WM_KEYUP, VK_SPACE, 0xC0390001));
    ASSERT_NE(-1, saver_.exitWait(pressed)) << "still running after Space";
    EXPECT_EQ(0u, saver_.process.exitCode());
    ASSERT_TRUE(toolLogWait(2));
    EXPECT_EQ(SCHEDULE_LINE + ABORT_LINE, ToolLogRead());
}

TEST_F(CancelWindowTest, EveryWayOfClosingEndsWithoutAbort) {
    const struct {
        const char* name;
        bool toFocus;  // sent where the keyboard input would go
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } cases[] = {
        {"close box", false, WM_SYSCOMMAND, SC_CLOSE, 0},
        {"WM_CLOSE", false, WM_CLOSE, 0, 0},
        // Alt held (context bit 29) with scan code 0x3E: the default handling
        // turns it into SC_CLOSE for the top-level window.
        {"Alt+F4", true, WM_SYSKEYDOWN, VK_F4, 0x203E0001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ToolLogUse();
        Saver saver;
        ASSERT_TRUE(saverOpen(saver));
        HWND target = saver.window;
        if (c.toFocus && focusOf(saver.thread)) target = focusOf(saver.thread);
        DWORD sent = GetTickCount();
        ASSERT_TRUE(PostMessageA(target, c.message, c.wParam, c.lParam));
        long took = saver.exitWait(sent);
        ASSERT_NE(-1, took) << "still running after closing";
        EXPECT_EQ(0u, saver.process.exitCode());
        std::cout << c.name << " to exit: " << took << " ms\n";
        Sleep(500);  // an abort started at the end would log by now
        EXPECT_EQ(SCHEDULE_LINE, ToolLogRead());
    }
}

TEST_F(CancelWindowTest, MovingOrRepaintingChangesNothing) {
    ASSERT_TRUE(saverOpen(saver_));
    ASSERT_TRUE(SetWindowPos(saver_.window, nullptr, 420, 350, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(InvalidateRect(saver_.window, nullptr, TRUE));
    ASSERT_TRUE(RedrawWindow(saver_.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN));
    EXPECT_FALSE(saver_.process.wait(1000)) << "the saver ended on being moved";
    RECT outer = {};
    ASSERT_TRUE(GetWindowRect(saver_.window, &outer));
    EXPECT_EQ(420, outer.left);
    EXPECT_EQ(350, outer.top);
    EXPECT_EQ(saver_.button, FindWindowExA(saver_.window, nullptr, "Button", nullptr));
    EXPECT_EQ(SCHEDULE_LINE, ToolLogRead());

    PostMessageA(saver_.window, WM_CLOSE, 0, 0);
    ASSERT_NE(-1, saver_.exitWait(GetTickCount()));
    EXPECT_EQ(0u, saver_.process.exitCode());
}

TEST_F(CancelWindowTest, TimeFromStartToWindowShown) {
    std::vector<DWORD> times;
    for (int run = 0; run < 5; ++run) {
        SCOPED_TRACE(run);
        ChildProcess saver;
        DWORD begin = GetTickCount();
        ASSERT_TRUE(saver.start(ScrCommand("/s")));
        HWND window = ProcessWindowWait(saver.id(), "WindowClass_0", LIMIT_MS);
        ASSERT_NE(nullptr, window);
        times.push_back(GetTickCount() - begin);
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(saver.wait(LIMIT_MS));
        EXPECT_EQ(0u, saver.exitCode());
    }
    std::sort(times.begin(), times.end());
    RecordProperty("window_shown_median_ms", static_cast<int>(times[2]));
    std::cout << "start to cancel window shown, median of 5: " << times[2] << " ms (range "
              << times.front() << "-" << times.back() << ")\n";
}
}  // namespace

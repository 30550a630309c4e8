// The toolkit window procedure: which messages become which queued events,
// what it consumes, and the focus it keeps across deactivation.
#include "window_test_support.h"

namespace {
const uint32_t CANCEL_STYLE = 0xC80000;

class WindowProcedureTest : public WindowTest {
protected:
    // A window with number 3, so that an event's window number can be told
    // from a gadget number 0; its opening events are taken away.
    HWND open(uint32_t flags = CANCEL_STYLE) {
        HWND window = reinterpret_cast<HWND>(WindowOpen(3, 20, 20, 200, 100, "p", flags));
        EventsDrain(20);
        return window;
    }
};

TEST_F(WindowProcedureTest, SizeMessagesTrackMinimisedAndMaximised) {
    HWND window = open(WS_OVERLAPPEDWINDOW);
    ASSERT_NE(nullptr, window);
    const struct Step {
        WPARAM kind;
        std::vector<SeenEvent> events;
    } steps[] = {
        {SIZE_RESTORED, {{EVENT_WINDOW_SIZED, 0}}},
        {SIZE_MINIMIZED, {{EVENT_WINDOW_MINIMIZED, 0}}},  // no size event
        {SIZE_RESTORED, {{EVENT_WINDOW_RESTORED, 0}, {EVENT_WINDOW_SIZED, 0}}},
        {SIZE_RESTORED, {{EVENT_WINDOW_SIZED, 0}}},       // restored once only
        {SIZE_MAXIMIZED, {{EVENT_WINDOW_MAXIMIZED, 0}, {EVENT_WINDOW_SIZED, 0}}},
        {SIZE_MAXSHOW, {{EVENT_WINDOW_SIZED, 0}}},
        {SIZE_RESTORED, {{EVENT_WINDOW_RESTORED, 0}, {EVENT_WINDOW_SIZED, 0}}},
    };
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        EXPECT_EQ(0, SendMessageA(window, WM_SIZE, step.kind, MAKELPARAM(200, 100)));
        EXPECT_EQ(step.events, QueuedEventsTake());
        // Every one of them names window 3.
        EXPECT_EQ(3, EventStateGet()->last.window);
    }
}

TEST_F(WindowProcedureTest, RealMaximiseAndRestore) {
    HWND window = open(WS_OVERLAPPEDWINDOW);
    ShowWindow(window, SW_MAXIMIZE);
    std::vector<SeenEvent> seen = QueuedEventsTake();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(1, std::count(seen.begin(), seen.end(), SeenEvent{EVENT_WINDOW_MAXIMIZED, 0}));
    ShowWindow(window, SW_RESTORE);
    seen = QueuedEventsTake();
    EXPECT_EQ(1, std::count(seen.begin(), seen.end(), SeenEvent{EVENT_WINDOW_RESTORED, 0}));
}

TEST_F(WindowProcedureTest, MoveAndCloseNameTheWindowAsGadget) {
    HWND window = open();
    EXPECT_EQ(0, SendMessageA(window, WM_MOVE, 0, MAKELPARAM(5, 5)));
    EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
    EXPECT_EQ((std::vector<SeenEvent>{{EVENT_WINDOW_MOVED, 3}, {EVENT_CLOSE_WINDOW, 3}}),
              QueuedEventsTake());
    EXPECT_TRUE(IsWindow(window));  // the close request is only reported

    SetWindowPos(window, nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<SeenEvent> seen = QueuedEventsTake();
    EXPECT_EQ(1, std::count(seen.begin(), seen.end(), SeenEvent{EVENT_WINDOW_MOVED, 3}));
}

TEST_F(WindowProcedureTest, EraseIsReportedOncePerRunAndStillPainted) {
    HWND window = open();
    HDC dc = GetDC(window);
    SetPixel(dc, 1, 1, RGB(1, 2, 3));
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    // Passed on: the class brush painted over the pixel.
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(dc, 1, 1));
    ReleaseDC(window, dc);
    EXPECT_EQ((std::vector<SeenEvent>{{EVENT_WINDOW_REPAINT, 0}}), QueuedEventsTake());
}

TEST_F(WindowProcedureTest, MinimumTrackWidthOfToolWindows) {
    const struct Case {
        uint32_t flags;
        LONG minimumWidth;
    } cases[] = {
        {CANCEL_STYLE | WINDOW_TOOL_STYLE, 1},
        {CANCEL_STYLE, 0x5A5A5A5A},  // left as it was
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        HWND window = open(c.flags);
        MINMAXINFO info;
        memset(&info, 0x5A, sizeof info);
        EXPECT_EQ(0, SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)));
        EXPECT_EQ(c.minimumWidth, info.ptMinTrackSize.x);
        EXPECT_EQ(0x5A5A5A5A, info.ptMinTrackSize.y);
    }
}

TEST_F(WindowProcedureTest, FocusSavedOnDeactivationComesBack) {
    HWND window = open();
    HWND first = reinterpret_cast<HWND>(ButtonCreate(0, 0, 0, 60, 20, "a"));
    HWND second = reinterpret_cast<HWND>(ButtonCreate(1, 0, 30, 60, 20, "b"));
    ASSERT_EQ(window, GetActiveWindow());
    SetFocus(second);
    HWND other = reinterpret_cast<HWND>(WindowOpen(4, 300, 20, 100, 50, "other", CANCEL_STYLE));
    ASSERT_EQ(other, GetActiveWindow());
    EXPECT_EQ(second, GetPropA(window, "ZV_Focus"));
    EventsDrain(20);

    SetActiveWindow(window);
    EXPECT_EQ(second, GetFocus());
    EXPECT_NE(first, GetFocus());
    std::vector<SeenEvent> seen = QueuedEventsTake();
    EXPECT_EQ(1, std::count(seen.begin(), seen.end(), SeenEvent{EVENT_WINDOW_ACTIVATED, 0}));
}

TEST_F(WindowProcedureTest, UnknownMessagesGoToTheDefaultProcedure) {
    HWND window = open();
    EXPECT_EQ(RESULT_NOT_HANDLED, WindowMessageHandler(window, WM_SETTEXT, 0,
                                                       reinterpret_cast<LPARAM>("x")));
    // Through the class procedure DefWindowProcA sets the text.
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("renamed"));
    char title[32] = "sentinel";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ("renamed", title);
    // A control that is no gadget has no hook.
    HWND foreign = CreateWindowExA(0, "Button", "f", WS_CHILD, 0, 0, 10, 10, window,
                                   reinterpret_cast<HMENU>(0), nullptr, nullptr);
    EXPECT_EQ(RESULT_NOT_HANDLED,
              GadgetMessageHook(foreign, window, WM_COMMAND, 0, reinterpret_cast<LPARAM>(foreign)));
    EXPECT_EQ(RESULT_NOT_HANDLED, GadgetMessageHook(nullptr, window, WM_COMMAND, 0, 0));
}

}  // namespace

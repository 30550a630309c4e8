// The toolkit window procedure: which messages become which queued events,
// what it consumes, and the focus it keeps across deactivation.
#include "window_test_support.h"

namespace {
class WindowProcedureTest : public WindowTest {
protected:
    // Number 3, so that a window number is told from gadget number 0; the
    // opening events are taken away.
    HWND open(uint32_t flags = CANCEL_STYLE) {
        HWND window = AsWindow(WindowOpen(3, 20, 20, 200, 100, "p", flags));
        EventsDrain(20);
        return window;
    }
};

TEST_F(WindowProcedureTest, SizeMessagesTrackMinimisedAndMaximised) {
    HWND window = open(WS_OVERLAPPEDWINDOW);
    const struct Step {
        WPARAM kind;
        std::vector<int32_t> events;
    } steps[] = {
        {SIZE_RESTORED, {EVENT_WINDOW_SIZED}},
        {SIZE_MINIMIZED, {EVENT_WINDOW_MINIMIZED}},  // no size event
        {SIZE_RESTORED, {EVENT_WINDOW_RESTORED, EVENT_WINDOW_SIZED}},
        {SIZE_RESTORED, {EVENT_WINDOW_SIZED}},       // restored once only
        {SIZE_MAXIMIZED, {EVENT_WINDOW_MAXIMIZED, EVENT_WINDOW_SIZED}},
        {SIZE_MAXSHOW, {EVENT_WINDOW_SIZED}},
        {SIZE_RESTORED, {EVENT_WINDOW_RESTORED, EVENT_WINDOW_SIZED}},
    };
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        EXPECT_EQ(0, SendMessageA(window, WM_SIZE, step.kind, MAKELPARAM(200, 100)));
        EXPECT_EQ(step.events, EventsDrain(500, true));
        EXPECT_EQ(3, EventStateGet()->last.window);
        EXPECT_EQ(0, EventGadgetNumber());
    }
    // The same through the system's own minimise and restore.
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_EQ(1, Occurrences(EventsDrain(500, true), EVENT_WINDOW_MINIMIZED));
    ShowWindow(window, SW_RESTORE);
    EXPECT_EQ(1, Occurrences(EventsDrain(500, true), EVENT_WINDOW_RESTORED));
}

TEST_F(WindowProcedureTest, MoveAndCloseNameTheWindowAsGadget) {
    HWND window = open();
    for (UINT message : {WM_MOVE, WM_CLOSE}) {
        SCOPED_TRACE(message);
        EXPECT_EQ(0, SendMessageA(window, message, 0, 0));
        EXPECT_EQ(std::vector<int32_t>{static_cast<int32_t>(message)}, EventsDrain(500, true));
        EXPECT_EQ(3, EventGadgetNumber());
    }
    EXPECT_TRUE(IsWindow(window));  // the close request is only reported
}

TEST_F(WindowProcedureTest, EraseIsReportedOncePerRunAndStillPainted) {
    HWND window = open();
    HDC dc = GetDC(window);
    SetPixel(dc, 1, 1, RGB(1, 2, 3));
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(dc, 1, 1));  // passed on to be painted
    ReleaseDC(window, dc);
    EXPECT_EQ(std::vector<int32_t>{EVENT_WINDOW_REPAINT}, EventsDrain(500, true));
}

TEST_F(WindowProcedureTest, FocusSavedOnDeactivationComesBack) {
    HWND window = open();
    ButtonCreate(0, 0, 0, 60, 20, "a");
    HWND second = AsWindow(ButtonCreate(1, 0, 30, 60, 20, "b"));
    ASSERT_EQ(window, GetActiveWindow());
    SetFocus(second);
    HWND other = AsWindow(WindowOpen(4, 300, 20, 100, 50, "other", CANCEL_STYLE));
    ASSERT_EQ(other, GetActiveWindow());
    EXPECT_EQ(second, GetPropA(window, "ZV_Focus"));
    EventsDrain(20);
    SetActiveWindow(window);
    EXPECT_EQ(second, GetFocus());  // not the window, as DefWindowProcA would
    EXPECT_EQ(1, Occurrences(EventsDrain(500, true), EVENT_WINDOW_ACTIVATED));
}
}  // namespace

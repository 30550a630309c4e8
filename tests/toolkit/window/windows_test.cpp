// Numbered windows: class, style, size and place, number reuse, failure, and
// nothing left behind however often they are opened and closed.
#include "support/leak_counters.h"
#include "window_test_support.h"

namespace {
using WindowOpenTest = WindowTest;

bool classRegistered(const std::string& name) {
    WNDCLASSA info;
    return GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &info) != 0;
}

RECT outerRect(HWND window) {
    RECT r = {-1, -1, -1, -1};
    GetWindowRect(window, &r);
    return r;
}

bool clientIs(HWND window, LONG width, LONG height) {
    RECT r = {-1, -1, -1, -1};
    GetClientRect(window, &r);
    return r.right == width && r.bottom == height;
}

WindowRecord* recordOf(ObjectNumber number) {
    return static_cast<WindowRecord*>(ObjectFind(WindowTable(), number));
}

TEST_F(WindowOpenTest, CancelWindow) {
    HWND window = AsWindow(WindowOpen(0, 300, 300, 240, 80, "Somnaro v0.5", CANCEL_STYLE));
    ASSERT_NE(nullptr, window);
    EXPECT_EQ("WindowClass_0", ClassNameOf(window));
    EXPECT_EQ(300, outerRect(window).left);
    EXPECT_EQ(300, outerRect(window).top);
    EXPECT_TRUE(clientIs(window, 240, 80));
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    EXPECT_EQ(static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_VISIBLE),
              style & (WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_THICKFRAME | WS_MINIMIZEBOX |
                       WS_MAXIMIZEBOX));
    EXPECT_EQ(0, GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropA(window, "ZV_WindowID"));
    WNDCLASSA info;
    memset(&info, 0x5A, sizeof info);
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_0", &info));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), info.style);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), info.hbrBackground);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), info.hCursor);

    ACCEL entries[3];
    memset(entries, 0x5A, sizeof entries);
    ASSERT_EQ(2, CopyAcceleratorTableA(WindowAcceleratorsGet(window), entries, 3));
    EXPECT_EQ(FVIRTKEY | FNOINVERT, entries[0].fVirt);
    EXPECT_EQ(0xFA01, entries[0].cmd);
    EXPECT_EQ(FVIRTKEY | FNOINVERT | FSHIFT, entries[1].fVirt);
    EXPECT_EQ(0xFA02, entries[1].cmd);
    EXPECT_EQ(VK_TAB, entries[0].key);
    EXPECT_EQ(VK_TAB, entries[1].key);
}

TEST_F(WindowOpenTest, StyleFromFlags) {
    const struct Case {
        const char* name;
        uint32_t flags;
        DWORD present, absent;
        bool tool, visible, zoomed, iconic;
    } cases[] = {
        {"no flags: a caption", 0, WS_CAPTION, WS_SYSMENU, false, true, false, false},
        {"hidden, with a caption", WINDOW_HIDDEN, WS_CAPTION, WS_VISIBLE, false, false, false, false},
        {"tool style: never min or max",
         WINDOW_TOOL_STYLE | WS_MAXIMIZE | WS_MINIMIZEBOX | WS_SYSMENU, WS_CAPTION | WS_SYSMENU,
         WS_MAXIMIZE | WS_MINIMIZEBOX, true, true, false, false},
        {"maximised", WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, WS_THICKFRAME, 0, false, true, true, false},
        {"minimised", WS_OVERLAPPEDWINDOW | WS_MINIMIZE, WS_MINIMIZE, 0, false, true, false, true},
        {"a popup: no caption added", WS_POPUP | WS_BORDER, WS_BORDER, WS_DLGFRAME, false, true,
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND window = AsWindow(WindowOpen(1, 50, 60, 240, 80, "t", c.flags));
        ASSERT_NE(nullptr, window);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
        EXPECT_EQ(c.present, style & c.present);
        EXPECT_EQ(0u, style & (c.absent | 7));  // toolkit bits never reach the style
        EXPECT_EQ(c.tool, (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0);
        EXPECT_EQ(c.visible, IsWindowVisible(window) != 0);
        EXPECT_EQ(c.zoomed, IsZoomed(window) != 0);
        EXPECT_EQ(c.iconic, IsIconic(window) != 0);
        EXPECT_EQ(c.zoomed || c.iconic, recordOf(1)->minimizedOrMaximized != 0);
        if (!c.zoomed && !c.iconic) EXPECT_TRUE(clientIs(window, 240, 80));
        // Hidden or not, it is the gadget window and has its accelerators.
        EXPECT_EQ(window, GadgetListStateGet()->current);
        EXPECT_NE(nullptr, recordOf(1)->table);
    }
}

TEST_F(WindowOpenTest, Placement) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    RECT frame = {0, 0, 300, 200};
    AdjustWindowRectEx(&frame, WS_CAPTION, FALSE, 0);
    const int ow = frame.right - frame.left, oh = frame.bottom - frame.top;

    // No active window yet: WINDOW_CENTER_ACTIVE keeps x and y.
    ASSERT_EQ(nullptr, GetActiveWindow());
    HWND alone = AsWindow(WindowOpen(1, 40, 30, 300, 200, "a", WINDOW_CENTER_ACTIVE));
    EXPECT_EQ(40, outerRect(alone).left);
    EXPECT_EQ(30, outerRect(alone).top);

    RECT r = outerRect(AsWindow(WindowOpen(2, POSITION_DEFAULT, 5, 300, 200, "c",
                                           WINDOW_CENTER_SCREEN)));
    EXPECT_EQ((sw - ow) / 2, r.left);
    EXPECT_EQ((sh - oh) / 2, r.top);
    // Larger than the screen: cut to it and put at the corner.
    r = outerRect(AsWindow(WindowOpen(3, 9, 9, sw * 2, sh * 2, "h", WINDOW_CENTER_SCREEN)));
    EXPECT_TRUE(r.left == 0 && r.top == 0 && r.right == sw && r.bottom == sh);
    // One default coordinate makes both default, so 777 is not kept.
    EXPECT_NE(777, outerRect(AsWindow(WindowOpen(4, 777, POSITION_DEFAULT, 300, 200, "d", 0))).left);

    HWND big = AsWindow(WindowOpen(5, 100, 120, 500, 400, "big", WS_CAPTION));
    ASSERT_EQ(big, GetActiveWindow());
    RECT b = outerRect(big);
    r = outerRect(AsWindow(WindowOpen(6, 0, 0, 300, 200, "over", WINDOW_CENTER_ACTIVE)));
    EXPECT_EQ(b.left + (b.right - b.left - ow) / 2, r.left);
    EXPECT_EQ(b.top + (b.bottom - b.top - oh) / 2, r.top);
    // Over a small window in the corner: never at a negative position.
    WindowOpen(7, 0, 0, 20, 20, "small", WS_CAPTION);
    r = outerRect(AsWindow(WindowOpen(8, 50, 50, 400, 300, "clamped", WINDOW_CENTER_ACTIVE)));
    EXPECT_TRUE(r.left == 0 && r.top == 0);
}

TEST_F(WindowOpenTest, ReuseAndCloseReleaseEverything) {
    HWND old = AsWindow(WindowOpen(0, 300, 300, 240, 80, "Somnaro v0.5", CANCEL_STYLE));
    HWND fresh = AsWindow(WindowOpen(0, 10, 10, 100, 100, "again", CANCEL_STYLE));
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ("WindowClass_0", ClassNameOf(fresh));
    HACCEL table = recordOf(0)->table;
    ASSERT_GT(EventQueueLength(), 0u);  // showing it queued its events
    WindowClose(0);
    EXPECT_FALSE(IsWindow(fresh));
    EXPECT_FALSE(classRegistered("WindowClass_0"));
    EXPECT_EQ(0u, EventQueueLength());
    EXPECT_EQ(0, CopyAcceleratorTableA(table, nullptr, 0));  // destroyed
    EXPECT_EQ(nullptr, recordOf(0));
    WindowClose(0);  // absent: nothing happens

    intptr_t number = WindowOpen(ANY_NUMBER, 0, 0, 50, 50, "any", CANCEL_STYLE);
    ASSERT_NE(nullptr, recordOf(number));
    HWND chosen = recordOf(number)->window;
    const std::string name = "WindowClass_" + std::to_string(static_cast<long long>(number));
    EXPECT_EQ(name, ClassNameOf(chosen));
    EXPECT_EQ(number + 1, reinterpret_cast<intptr_t>(GetPropA(chosen, "ZV_WindowID")));
    WindowClose(number);
    EXPECT_FALSE(IsWindow(chosen));
    EXPECT_FALSE(classRegistered(name));
}

TEST_F(WindowOpenTest, FailedOpenLeavesNothingBehind) {
    HWND gadgetWindow = AsWindow(WindowOpen(0, 0, 0, 50, 50, "g", CANCEL_STYLE));
    // A child style without a parent: CreateWindowExA refuses it.
    EXPECT_EQ(0, WindowOpen(2, 0, 0, 50, 50, "child", WS_CHILD));
    EXPECT_FALSE(classRegistered("WindowClass_2"));
    EXPECT_EQ(nullptr, recordOf(2));
    EXPECT_EQ(gadgetWindow, GadgetListStateGet()->current);
}

TEST_F(WindowOpenTest, OpenCloseCyclesLeakNothing) {
    auto cycle = [](ObjectNumber number) {
        HWND window = AsWindow(WindowOpen(number, 300, 300, 240, 80, "Somnaro v0.5", CANCEL_STYLE));
        FontLoad(0, "Arial", 18);
        GadgetFontSet(ANY_NUMBER, FontHandle(0));
        ButtonCreate(0, 10, 10, 220, 60, "Cancel Hibernate");
        ButtonCreate(ANY_NUMBER, 10, 10, 20, 20, "extra");
        EventsDrain(0);
        return window;
    };
    cycle(0);  // a first cycle makes the lasting one-off allocations
    SetUp();
    const ResourceSnapshot before = ResourceSnapshotTake();
    for (int i = 0; i < 100; ++i) {
        SCOPED_TRACE(i);
        HWND window = cycle(i % 2 ? ANY_NUMBER : 0);  // reused and fresh numbers
        HFONT font = FontHandle(0);
        HACCEL table = WindowAcceleratorsGet(window);
        const std::string name = ClassNameOf(window);
        SetUp();  // closes windows, deletes fonts, drops messages
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(classRegistered(name));
        EXPECT_EQ(0u, GetObjectType(font));
        EXPECT_EQ(0, CopyAcceleratorTableA(table, nullptr, 0));
        EXPECT_EQ(nullptr, ObjectFind(GadgetTable(), 0));
    }
    ResourceSnapshotExpectUnchanged(before);
}
}  // namespace

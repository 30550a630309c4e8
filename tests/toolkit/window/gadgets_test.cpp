// Gadgets: buttons in the current gadget window, their numbers, fonts and
// release however their control goes.
#include "window_test_support.h"

namespace {
const uint32_t CANCEL_STYLE = 0xC80000;  // caption and system menu

class GadgetTest : public WindowTest {
protected:
    HWND windowOpen(ObjectNumber number = 0) {
        return reinterpret_cast<HWND>(
            WindowOpen(number, 300, 300, 240, 80, "Somnaro v0.5", CANCEL_STYLE));
    }
};

HFONT fontOf(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

TEST_F(GadgetTest, ButtonIsANumberedTabStopInTheGadgetWindow) {
    HWND window = windowOpen();
    ASSERT_NE(nullptr, window);
    HWND button = reinterpret_cast<HWND>(ButtonCreate(0, 10, 10, 220, 60, "Cancel Hibernate"));
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(window, GetParent(button));
    EXPECT_EQ("Button", ClassNameOf(button));
    EXPECT_EQ(0x50030000u, static_cast<DWORD>(GetWindowLongA(button, GWL_STYLE)));
    EXPECT_EQ(0, GetWindowLongPtrA(button, GWLP_ID));
    EXPECT_TRUE(PropertyPresent(button, "ZV_ID"));
    EXPECT_EQ(nullptr, GetPropA(button, "ZV_ID"));
    char caption[64] = "sentinel";
    GetWindowTextA(button, caption, sizeof caption);
    EXPECT_STREQ("Cancel Hibernate", caption);
    RECT r;
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(10, r.top);
    EXPECT_EQ(230, r.right);
    EXPECT_EQ(70, r.bottom);
    // The control's own procedure has been replaced by the gadget's.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(GadgetProc), GetWindowLongPtrA(button, GWLP_WNDPROC));
}

TEST_F(GadgetTest, CancelWindowButtonGetsTheLoadedFont) {
    ASSERT_NE(nullptr, windowOpen());
    ASSERT_NE(0, FontLoad(0, "Arial", 18));
    EXPECT_NE(0, GadgetFontSet(ANY_NUMBER, FontHandle(0)));
    HWND button = reinterpret_cast<HWND>(ButtonCreate(0, 10, 10, 220, 60, "Cancel Hibernate"));
    ASSERT_NE(nullptr, button);
    HFONT font = fontOf(button);
    EXPECT_EQ(FontHandle(0), font);
    LOGFONTA d = {};
    ASSERT_NE(0, GetObjectA(font, sizeof d, &d));
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(-MulDiv(18, GetDeviceCaps(dc, LOGPIXELSY), 72), d.lfHeight);
    ReleaseDC(nullptr, dc);
}

TEST_F(GadgetTest, DefaultFontChangesOnlyLaterGadgets) {
    ASSERT_NE(nullptr, windowOpen());
    HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND before = reinterpret_cast<HWND>(ButtonCreate(0, 0, 0, 50, 20, "a"));
    ASSERT_NE(nullptr, before);
    EXPECT_EQ(stock, fontOf(before));

    HFONT loaded = reinterpret_cast<HFONT>(FontLoad(0, "Arial", 14));
    ASSERT_NE(nullptr, loaded);
    GadgetFontSet(ANY_NUMBER, loaded);
    HWND after = reinterpret_cast<HWND>(ButtonCreate(1, 0, 30, 50, 20, "b"));
    EXPECT_EQ(stock, fontOf(before));
    EXPECT_EQ(loaded, fontOf(after));

    GadgetFontSet(ANY_NUMBER, FONT_STOCK_DEFAULT);  // -1: back to the stock font
    HWND last = reinterpret_cast<HWND>(ButtonCreate(2, 0, 60, 50, 20, "c"));
    EXPECT_EQ(stock, fontOf(last));
    EXPECT_EQ(loaded, fontOf(after));
}

TEST_F(GadgetTest, FontOfOneGadget) {
    ASSERT_NE(nullptr, windowOpen());
    HWND button = reinterpret_cast<HWND>(ButtonCreate(4, 0, 0, 50, 20, "a"));
    HFONT loaded = reinterpret_cast<HFONT>(FontLoad(1, "Arial", 9));
    GadgetFontSet(4, loaded);
    EXPECT_EQ(loaded, fontOf(button));
    GadgetFontSet(4, FONT_STOCK_DEFAULT);
    EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT), fontOf(button));
    EXPECT_EQ(0, GadgetFontSet(5, loaded));  // no such gadget
}

TEST_F(GadgetTest, NoGadgetWindowNoButton) {
    ASSERT_NE(nullptr, windowOpen());
    WindowClose(0);  // the current gadget window goes with it
    EXPECT_EQ(0, ButtonCreate(7, 0, 0, 50, 20, "x"));
    EXPECT_EQ(nullptr, ObjectFind(GadgetTable(), 7));
}

TEST_F(GadgetTest, WindowKeptOutOfTheGadgetListGetsNoButtons) {
    HWND first = windowOpen(0);
    HWND second = reinterpret_cast<HWND>(
        WindowOpen(1, 10, 10, 100, 100, "kept", CANCEL_STYLE | WINDOW_KEEP_GADGET_LIST));
    ASSERT_NE(nullptr, second);
    HWND button = reinterpret_cast<HWND>(ButtonCreate(0, 0, 0, 50, 20, "x"));
    EXPECT_EQ(first, GetParent(button));
    EXPECT_FALSE(PropertyPresent(second, GadgetStackProperty()));
    EXPECT_TRUE(PropertyPresent(first, GadgetStackProperty()));
}

TEST_F(GadgetTest, ReusedNumberDestroysTheOldControlOnly) {
    ASSERT_NE(nullptr, windowOpen());
    HWND old = reinterpret_cast<HWND>(ButtonCreate(2, 0, 0, 50, 20, "old"));
    HWND fresh = reinterpret_cast<HWND>(ButtonCreate(2, 0, 30, 50, 20, "new"));
    ASSERT_NE(nullptr, fresh);
    EXPECT_FALSE(IsWindow(old));
    GadgetRecord* record = static_cast<GadgetRecord*>(ObjectFind(GadgetTable(), 2));
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(fresh, record->control);
    EXPECT_EQ(2, GetWindowLongPtrA(fresh, GWLP_ID));
}

TEST_F(GadgetTest, DestroyedControlFreesItsNumberAtOnce) {
    ASSERT_NE(nullptr, windowOpen());
    HWND button = reinterpret_cast<HWND>(ButtonCreate(3, 0, 0, 50, 20, "x"));
    ASSERT_TRUE(DestroyWindow(button));  // not through the toolkit
    EXPECT_EQ(nullptr, ObjectFind(GadgetTable(), 3));
    EXPECT_EQ(0, GadgetFontSet(3, FONT_STOCK_DEFAULT));
    HWND again = reinterpret_cast<HWND>(ButtonCreate(3, 0, 0, 50, 20, "y"));
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(3, GetWindowLongPtrA(again, GWLP_ID));

    GadgetFree(3);
    EXPECT_FALSE(IsWindow(again));
    EXPECT_EQ(nullptr, ObjectFind(GadgetTable(), 3));
    GadgetFree(3);  // absent now: nothing happens
}

TEST_F(GadgetTest, AnyNumberIsTheControlsIdAndProperty) {
    ASSERT_NE(nullptr, windowOpen());
    intptr_t number = ButtonCreate(ANY_NUMBER, 0, 0, 50, 20, "any");
    ASSERT_NE(0, number);
    GadgetRecord* record = static_cast<GadgetRecord*>(ObjectFind(GadgetTable(), number));
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(number, reinterpret_cast<intptr_t>(record));
    EXPECT_EQ(number, GetWindowLongPtrA(record->control, GWLP_ID));
    EXPECT_EQ(number, reinterpret_cast<intptr_t>(GetPropA(record->control, "ZV_ID")));
    HWND control = record->control;
    WindowClose(0);  // children go with their window, and their records with them
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(nullptr, ObjectFind(GadgetTable(), number));
}

TEST_F(GadgetTest, GadgetListRecordGoesWithItsWindow) {
    HWND window = windowOpen();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(window, GadgetListStateGet()->current);
    EXPECT_NE(nullptr, GetPropA(window, GadgetStackProperty()));
    std::string expected = "ZV_GadgetStack_" + std::to_string(static_cast<long long>(
                               reinterpret_cast<intptr_t>(GetModuleHandleA(nullptr))));
    EXPECT_EQ(expected, GadgetStackProperty());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(GadgetListProc), GetWindowLongPtrA(window, GWLP_WNDPROC));
    WindowClose(0);
    EXPECT_EQ(nullptr, GadgetListStateGet()->current);
}
}  // namespace

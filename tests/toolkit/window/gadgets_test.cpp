// Gadgets: buttons in the current gadget window, their numbers and fonts, and
// their release however their control goes.
#include "window_test_support.h"

namespace {
class GadgetTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window_ = AsWindow(WindowOpen(0, 300, 300, 240, 80, "Somnaro v0.5", CANCEL_STYLE));
        ASSERT_NE(nullptr, window_);
    }
    HWND window_ = nullptr;
};

HFONT fontOf(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

BOOL CALLBACK gadgetIdSeen(HWND, LPSTR name, HANDLE, ULONG_PTR seen) {
    if (reinterpret_cast<uintptr_t>(name) > 0xFFFF && lstrcmpA(name, "ZV_ID") == 0)
        *reinterpret_cast<bool*>(seen) = true;
    return TRUE;
}

TEST_F(GadgetTest, CancelButtonIsANumberedTabStopInTheLoadedFont) {
    ASSERT_NE(0, FontLoad(0, "Arial", 18));
    EXPECT_NE(0, GadgetFontSet(ANY_NUMBER, FontHandle(0)));
    HWND button = AsWindow(ButtonCreate(0, 10, 10, 220, 60, "Cancel Hibernate"));
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(window_, GetParent(button));
    EXPECT_EQ("Button", ClassNameOf(button));
    EXPECT_EQ(0x50030000u, static_cast<DWORD>(GetWindowLongA(button, GWL_STYLE)));
    EXPECT_EQ(0, GetWindowLongPtrA(button, GWLP_ID));
    // "ZV_ID" holds 0, which GetPropA cannot tell from no property at all.
    bool seen = false;
    EnumPropsExA(button, gadgetIdSeen, reinterpret_cast<LPARAM>(&seen));
    EXPECT_TRUE(seen);
    RECT r;
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(10, r.top);
    EXPECT_EQ(230, r.right);
    EXPECT_EQ(70, r.bottom);
    EXPECT_EQ(FontHandle(0), fontOf(button));
}

TEST_F(GadgetTest, DefaultFontChangesOnlyLaterGadgets) {
    HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND before = AsWindow(ButtonCreate(0, 0, 0, 50, 20, "a"));
    EXPECT_EQ(stock, fontOf(before));
    HFONT loaded = AsFont(FontLoad(0, "Arial", 14));
    GadgetFontSet(ANY_NUMBER, loaded);
    HWND after = AsWindow(ButtonCreate(1, 0, 30, 50, 20, "b"));
    EXPECT_EQ(stock, fontOf(before));
    EXPECT_EQ(loaded, fontOf(after));
    GadgetFontSet(ANY_NUMBER, FONT_STOCK_DEFAULT);  // -1: the stock font again
    EXPECT_EQ(stock, fontOf(AsWindow(ButtonCreate(2, 0, 60, 50, 20, "c"))));

    // One gadget's own font, and a number without a gadget.
    GadgetFontSet(0, loaded);
    EXPECT_EQ(loaded, fontOf(before));
    GadgetFontSet(1, FONT_STOCK_DEFAULT);
    EXPECT_EQ(stock, fontOf(after));
    EXPECT_EQ(0, GadgetFontSet(5, loaded));
}

TEST_F(GadgetTest, OnlyTheCurrentGadgetWindowGetsButtons) {
    HWND kept = AsWindow(WindowOpen(1, 10, 10, 100, 100, "kept",
                                    CANCEL_STYLE | WINDOW_KEEP_GADGET_LIST));
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(window_, GetParent(AsWindow(ButtonCreate(0, 0, 0, 50, 20, "x"))));
    EXPECT_EQ(nullptr, GetPropA(kept, GadgetStackProperty()));

    WindowClose(0);  // the current gadget window goes, and no other takes its place
    EXPECT_EQ(nullptr, GadgetListStateGet()->current);
    EXPECT_EQ(0, ButtonCreate(7, 0, 0, 50, 20, "x"));
    EXPECT_EQ(nullptr, ObjectFind(GadgetTable(), 7));
}

TEST_F(GadgetTest, NumbersAreFreeAsSoonAsTheControlGoes) {
    HWND old = AsWindow(ButtonCreate(2, 0, 0, 50, 20, "old"));
    HWND fresh = AsWindow(ButtonCreate(2, 0, 30, 50, 20, "new"));
    EXPECT_FALSE(IsWindow(old));
    // The old control's end did not take the new gadget's record with it.
    ASSERT_NE(nullptr, ObjectFind(GadgetTable(), 2));
    EXPECT_EQ(fresh, static_cast<GadgetRecord*>(ObjectFind(GadgetTable(), 2))->control);

    ASSERT_TRUE(DestroyWindow(fresh));  // not through the toolkit
    EXPECT_EQ(nullptr, ObjectFind(GadgetTable(), 2));
    HWND again = AsWindow(ButtonCreate(2, 0, 0, 50, 20, "again"));
    EXPECT_EQ(2, GetWindowLongPtrA(again, GWLP_ID));
    GadgetFree(2);
    EXPECT_FALSE(IsWindow(again));
    EXPECT_EQ(nullptr, ObjectFind(GadgetTable(), 2));

    intptr_t chosen = ButtonCreate(ANY_NUMBER, 0, 0, 50, 20, "any");
    GadgetRecord* record = static_cast<GadgetRecord*>(ObjectFind(GadgetTable(), chosen));
    ASSERT_NE(nullptr, record);
    HWND control = record->control;
    EXPECT_EQ(chosen, GetWindowLongPtrA(control, GWLP_ID));
    EXPECT_EQ(chosen, reinterpret_cast<intptr_t>(GetPropA(control, "ZV_ID")));
    WindowClose(0);  // children go with their window, their records with them
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(nullptr, ObjectFind(GadgetTable(), chosen));
}
}  // namespace

// Tab order over real child windows, compound controls as one stop,
// wrap-around in both directions, and the focus cues.
#include "toolkit/window/focus_navigation.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

const DWORD CHILD = WS_CHILD | WS_VISIBLE;

class FocusNavigateTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES};
        InitCommonControlsEx(&classes);
        top_ = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 500, 400,
                               nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(top_);
        // Creation order is EnumChildWindows order.
        first_ = child("Button", CHILD | WS_TABSTOP);
        child("Button", CHILD | WS_TABSTOP | WS_DISABLED);
        child("Button", WS_CHILD | WS_TABSTOP);  // never shown
        plain_ = child("Button", CHILD);         // no WS_TABSTOP
        combo_ = child("ComboBox", CHILD | WS_TABSTOP | CBS_DROPDOWN);  // focus goes to its edit
        extended_ = child("ComboBoxEx32", CHILD | WS_TABSTOP | CBS_DROPDOWNLIST);
        address_ = child("SysIPAddress32", CHILD | WS_TABSTOP);
        last_ = child("Button", CHILD | WS_TABSTOP);
        SetForegroundWindow(top_);
        ASSERT_EQ(top_, GetActiveWindow());
    }
    void TearDown() override { DestroyWindow(top_); }
    HWND child(const char* cls, DWORD style) {
        y_ += 30;
        return CreateWindowExA(0, cls, "", style, 10, y_, 200, 100, top_, nullptr, nullptr, nullptr);
    }
    // The focused window is the stop or lies inside it.
    static ::testing::AssertionResult focusIn(HWND stop) {
        HWND focus = GetFocus();
        if (focus == stop || IsChild(stop, focus)) return ::testing::AssertionSuccess();
        char name[50] = "";
        GetClassNameA(focus, name, sizeof name);
        return ::testing::AssertionFailure() << "focus is a " << name;
    }
    int y_ = 0;
    HWND top_ = nullptr, first_, plain_, combo_, extended_, address_, last_;
};

TEST_F(FocusNavigateTest, EachStopOnceWithWrapAround) {
    struct Case { const char* name; int backward; std::vector<HWND> order; };
    const Case cases[] = {
        {"Tab", 0, {first_, combo_, extended_, address_, last_, first_, combo_}},
        {"Shift+Tab", 1, {last_, address_, extended_, combo_, first_, last_}},
    };
    for (const Case& c : cases) {
        SetFocus(top_);  // no control focused: start at the first or last stop
        for (size_t step = 0; step < c.order.size(); ++step) {
            FocusNavigate(c.backward);
            EXPECT_TRUE(focusIn(c.order[step])) << c.name << " step " << step;
        }
    }
}

TEST_F(FocusNavigateTest, FocusOutsideTheStops) {
    SetFocus(plain_);
    FocusNavigate(0);
    EXPECT_EQ(plain_, GetFocus());  // Tab leaves it where it is
    FocusNavigate(1);
    EXPECT_EQ(last_, GetFocus());   // Shift+Tab goes to the last stop
}

// Wine 8 keeps no UI state (WM_QUERYUISTATE is always 0, WM_UPDATEUISTATE
// changes nothing), so this window answers the query itself, as Windows
// would, and records the updates it is sent.
LRESULT g_uiState = 0;
std::vector<WPARAM> g_updates;
LRESULT CALLBACK cuesProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_QUERYUISTATE) return g_uiState;
    if (m == WM_UPDATEUISTATE) g_updates.push_back(wp);
    return DefWindowProcA(w, m, wp, lp);
}

TEST(FocusCuesUpdateTest, SendsAnUpdateOnlyWhenTheCuesChange) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = cuesProc;
    wc.lpszClassName = "FocusCuesTest";
    RegisterClassA(&wc);
    HWND top = CreateWindowExA(0, "FocusCuesTest", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(top);
    const WPARAM SHOW = 0x30002, HIDE = 0x30001;  // UIS_CLEAR / UIS_SET, both cues
    struct Case { int show; LRESULT state; std::vector<WPARAM> sent; };
    const Case cases[] = {
        {1, 0, {}}, {1, UISF_HIDEFOCUS, {SHOW}}, {1, UISF_HIDEACCEL, {SHOW}}, {1, 3, {SHOW}},
        {0, 0, {HIDE}}, {0, UISF_HIDEFOCUS, {HIDE}}, {0, UISF_HIDEACCEL, {HIDE}}, {0, 3, {}},
        {1, UISF_ACTIVE, {}},  // a flag that is no cue changes nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "show " << c.show << ", state " << c.state);
        g_uiState = c.state;
        g_updates.clear();
        FocusCuesUpdate(top, c.show);
        EXPECT_EQ(c.sent, g_updates);
    }
    DestroyWindow(top);
    UnregisterClassA("FocusCuesTest", nullptr);
}

}  // namespace

// EventWait: queued events first, one per call; a gadget click as the result
// of the dispatch that caused it; raw message numbers; Tab through the
// accelerator table.
#include "window_test_support.h"
#include "support/time_limit.h"
#include <richedit.h>

namespace {
const DWORD EVENT_LIMIT_MS = TimeLimitMs(2000);

// The thread's key state with some keys held down; restored on the way out.
class KeysHeld {
public:
    explicit KeysHeld(const std::vector<int>& keys) {
        GetKeyboardState(saved_);
        BYTE state[256];
        memcpy(state, saved_, sizeof state);
        for (int key : keys) state[key] = 0x80;
        SetKeyboardState(state);
    }
    KeysHeld(const KeysHeld&) = delete;
    KeysHeld& operator=(const KeysHeld&) = delete;
    ~KeysHeld() { SetKeyboardState(saved_); }
private:
    BYTE saved_[256];
};

// Wine answers WM_QUERYUISTATE with 0 whatever was set, so the cues are
// watched in the window itself: it claims them hidden and records each update.
WNDPROC g_cuesPrevious = nullptr;
std::vector<WPARAM> g_cueUpdates;

LRESULT CALLBACK cuesWatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYUISTATE) return UISF_HIDEFOCUS | UISF_HIDEACCEL;
    if (message == WM_UPDATEUISTATE) g_cueUpdates.push_back(wParam);
    return CallWindowProcA(g_cuesPrevious, window, message, wParam, lParam);
}

class EventWaitTest : public WindowTest {
protected:
    // The cancel window with its button, every opening event taken.
    void SetUp() override {
        WindowTest::SetUp();
        window_ = AsWindow(WindowOpen(0, 300, 300, 240, 80, "Somnaro v0.5", CANCEL_STYLE));
        button_ = AsWindow(ButtonCreate(0, 10, 10, 220, 60, "Cancel Hibernate"));
        ASSERT_NE(nullptr, button_);
        opening_ = EventQueueLength();
        PostMessageA(window_, WM_APP, 0, 0);  // waits behind the queued events
    }
    std::vector<int32_t> codesFor(int count) {
        std::vector<int32_t> codes;
        for (int i = 0; i < count; ++i) codes.push_back(EventWaitWithin(EVENT_LIMIT_MS));
        return codes;
    }
    HWND window_ = nullptr;
    HWND button_ = nullptr;
    uint32_t opening_ = 0;
};

TEST_F(EventWaitTest, OpeningEventsComeBeforeAnyMessage) {
    ASSERT_GT(opening_, 0u);
    std::vector<int32_t> seen = codesFor(static_cast<int>(opening_));
    // Showing the window activated, sized and moved it.
    EXPECT_EQ(1, Occurrences(seen, EVENT_WINDOW_ACTIVATED));
    EXPECT_EQ(1, Occurrences(seen, EVENT_WINDOW_SIZED));
    EXPECT_EQ(1, Occurrences(seen, EVENT_WINDOW_MOVED));
    EXPECT_EQ(0, Occurrences(seen, WM_APP));  // no message was taken for them
    EXPECT_EQ(1, Occurrences(EventsDrain(50), WM_APP));
}

TEST_F(EventWaitTest, ClicksAreGadgetEventsOfTheirOwnDispatch) {
    EventsDrain(50);
    PostMessageA(button_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    PostMessageA(button_, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_EQ((std::vector<int32_t>{WM_LBUTTONDOWN, EVENT_GADGET}), codesFor(2));
    EXPECT_EQ(0, EventGadgetNumber());
    EXPECT_EQ(BN_CLICKED, EventStateGet()->last.type);

    HWND five = AsWindow(ButtonCreate(5, 0, 0, 10, 10, "five"));
    EventsDrain(50);
    PostMessageA(five, BM_CLICK, 0, 0);
    EXPECT_EQ(EVENT_GADGET, EventWaitWithin(EVENT_LIMIT_MS));
    EXPECT_EQ(5, EventGadgetNumber());
    // A raw event keeps the gadget number and brings its parameters.
    PostMessageA(window_, WM_APP + 1, 7, 9);
    EXPECT_EQ(WM_APP + 1, EventWaitWithin(EVENT_LIMIT_MS));
    EXPECT_EQ(5, EventGadgetNumber());
    EXPECT_EQ(-1, EventStateGet()->last.type);
    EXPECT_EQ(7u, EventStateGet()->last.wParam);
    EXPECT_EQ(9, EventStateGet()->last.lParam);

    SetFocus(button_);
    PostMessageA(button_, WM_KEYDOWN, VK_SPACE, 1);
    PostMessageA(button_, WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ((std::vector<int32_t>{WM_KEYDOWN, EVENT_GADGET}), codesFor(2));
    EXPECT_EQ(0, EventGadgetNumber());
}

TEST_F(EventWaitTest, CloseRequestsAndQuit) {
    EventsDrain(50);
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ((std::vector<int32_t>{WM_SYSCOMMAND, EVENT_CLOSE_WINDOW}), codesFor(2));
    EXPECT_EQ(0, EventGadgetNumber());
    EXPECT_TRUE(IsWindowVisible(window_));
    // A posted WM_CLOSE comes back raw (the same number) and then queued.
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ((std::vector<int32_t>{EVENT_CLOSE_WINDOW, EVENT_CLOSE_WINDOW}), codesFor(2));
    EXPECT_EQ(0u, EventQueueLength());
    PostQuitMessage(0);
    EXPECT_EQ(WM_QUIT, EventWaitWithin(EVENT_LIMIT_MS));
}

TEST_F(EventWaitTest, TabAndShiftTabMoveTheFocusAndShowTheCues) {
    HWND second = AsWindow(ButtonCreate(1, 0, 0, 10, 10, "2"));
    HWND third = AsWindow(ButtonCreate(2, 20, 0, 10, 10, "3"));
    EventsDrain(50);
    ASSERT_EQ(window_, GetActiveWindow());
    g_cuesPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(cuesWatch)));
    const WPARAM SHOW_BOTH = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL);
    const struct Step {
        bool shift;
        HWND focus;
    } steps[] = {
        {false, button_}, {false, second}, {false, third}, {false, button_},  // wraps
        {true, third}, {true, second},
    };
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        KeysHeld keys(step.shift ? std::vector<int>{VK_SHIFT} : std::vector<int>{});
        g_cueUpdates.clear();
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        // Translated, not dispatched: the key itself is the raw result.
        EXPECT_EQ(WM_KEYDOWN, EventWaitWithin(EVENT_LIMIT_MS));
        EXPECT_EQ(step.focus, GetFocus());
        // Shown after the translation; a held Shift shows them at the lookup too.
        EXPECT_EQ(step.shift ? 2 : 1,
                  std::count(g_cueUpdates.begin(), g_cueUpdates.end(), SHOW_BOTH));
    }
    EXPECT_EQ(0, Occurrences(EventsDrain(50), WM_CHAR));  // nothing became a character
}

TEST_F(EventWaitTest, AcceleratorsOnlyForToolkitWindowsAndOrdinaryFocus) {
    HACCEL table = static_cast<WindowRecord*>(ObjectFind(WindowTable(), 0))->table;
    EXPECT_EQ(table, WindowAcceleratorsGet(window_));
    EXPECT_EQ(nullptr, WindowAcceleratorsGet(nullptr));
    EXPECT_EQ(nullptr, WindowAcceleratorsGet(button_));  // a child carries no number
    SetFocus(button_);
    SetPropA(button_, "ZV_Hotkey", reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(nullptr, WindowAcceleratorsGet(window_));
    RemovePropA(button_, "ZV_Hotkey");

    // An editable rich edit keeps Tab; a read-only one does not.
    HMODULE library = LoadLibraryA("riched20.dll");
    HWND edit = CreateWindowExA(0, RICHEDIT_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                                window_, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, edit);
    SetFocus(edit);
    EXPECT_EQ(table, WindowAcceleratorsGet(window_));  // Tab not down
    {
        KeysHeld tab({VK_TAB});
        EXPECT_EQ(nullptr, WindowAcceleratorsGet(window_));
        SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
        EXPECT_EQ(table, WindowAcceleratorsGet(window_));
    }
    DestroyWindow(edit);
    FreeLibrary(library);
}
}  // namespace

// The input requester driven through its own loop with real input messages:
// what each way out delivers, the dialog's layout, the thread's other windows,
// a quit message while it is open, and a dialog that cannot be made.
#include "requester_driver.h"
#include "toolkit/core/text.h"
#include "toolkit/dialog/input_requester.h"
#include <gtest/gtest.h>
#include <string.h>
#include <vector>

namespace {
HWND fieldOf(HWND dialog) { return GetDlgItem(dialog, REQUESTER_FIELD); }
void keyPost(HWND dialog, WPARAM key) { PostMessageA(fieldOf(dialog), WM_KEYDOWN, key, 1); }
void okClick(HWND dialog) { PostMessageA(GetDlgItem(dialog, REQUESTER_OK), BM_CLICK, 0, 0); }
void charsPost(HWND dialog, const char* text) {
    for (; *text; ++text)
        PostMessageA(fieldOf(dialog), WM_CHAR, static_cast<unsigned char>(*text), 1);
}
std::string textOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct InputCase {
    const char* name;
    const char* defaultText;
    void (*act)(HWND dialog);
    const char* expected;
};

TEST(InputRequesterShowTest, EachWayOutDeliversItsText) {
    const InputCase cases[] = {
        {"Enter at once", "60", [](HWND d) { keyPost(d, VK_RETURN); }, "60"},
        {"typed after the default", "60",
         [](HWND d) { charsPost(d, "45"); keyPost(d, VK_RETURN); }, "6045"},
        {"Escape", "60", [](HWND d) { keyPost(d, VK_ESCAPE); }, ""},
        {"close request", "60", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }, ""},
        {"emptied then OK", "60",
         [](HWND d) { SendMessageA(fieldOf(d), WM_SETTEXT, 0, (LPARAM) ""); okClick(d); }, ""},
        {"no default", nullptr, [](HWND d) { charsPost(d, "7"); okClick(d); }, "7"},
    };
    for (const InputCase& c : cases) {
        SCOPED_TRACE(c.name);
        RequesterRun run = RequesterDrive(c.defaultText, c.act);
        EXPECT_NE(nullptr, run.dialog);
        EXPECT_FALSE(run.rescued);
        EXPECT_EQ(c.expected, run.result);
        EXPECT_TRUE(run.positionAtZero);
        EXPECT_FALSE(run.classLeft);
        EXPECT_FALSE(run.quitLeft);
    }
}

struct ControlSeen {
    std::string className, text;
    LONG style, exStyle;
    RECT rect;  // in the dialog's client area
    int id;
    bool stockFont;
};

TEST(InputRequesterShowTest, OpensCentredWithPromptFieldAndButton) {
    RECT rect = {};
    LONG style = 0, exStyle = 0;
    std::string caption;
    WNDCLASSEXA wc = {};
    BOOL classThere = FALSE;
    std::vector<ControlSeen> controls;
    DWORD selStart = 0xDEADBEEF, selEnd = 0xDEADBEEF;
    HWND focus = nullptr, field = nullptr;
    DWORD self = GetCurrentThreadId();
    RequesterRun run = RequesterDrive("60", [&](HWND d) {
        GetWindowRect(d, &rect);
        style = GetWindowLongA(d, GWL_STYLE);
        exStyle = GetWindowLongA(d, GWL_EXSTYLE);
        caption = textOf(d);
        wc.cbSize = sizeof wc;
        classThere = GetClassInfoExA(GetModuleHandleA(nullptr), "InputRequester", &wc);
        HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            ControlSeen seen = {"", textOf(c), GetWindowLongA(c, GWL_STYLE),
                                GetWindowLongA(c, GWL_EXSTYLE), {}, GetDlgCtrlID(c),
                                reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0)) == stock};
            char name[64] = {};
            GetClassNameA(c, name, sizeof name);
            seen.className = name;
            GetWindowRect(c, &seen.rect);
            MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&seen.rect), 2);
            controls.push_back(seen);
        }
        SendMessageA(fieldOf(d), EM_GETSEL, (WPARAM)&selStart, (LPARAM)&selEnd);
        field = fieldOf(d);
        focus = ThreadFocus(self);
        keyPost(d, VK_ESCAPE);
    });
    ASSERT_NE(nullptr, run.dialog);

    int left = GetSystemMetrics(SM_CXSCREEN) / 2 - 150, top = GetSystemMetrics(SM_CYSCREEN) / 2 - 65;
    EXPECT_EQ(left, rect.left);
    EXPECT_EQ(top, rect.top);
    EXPECT_EQ(300, rect.right - rect.left);
    EXPECT_EQ(130, rect.bottom - rect.top);
    // Every top-level window is given WS_CLIPSIBLINGS by the system.
    EXPECT_EQ(WS_VISIBLE | WS_CAPTION | WS_CLIPSIBLINGS, static_cast<DWORD>(style));
    EXPECT_EQ(0, exStyle & ~WS_EX_WINDOWEDGE);  // the caption brings the window edge
    EXPECT_EQ("Title", caption);
    ASSERT_TRUE(classThere);
    EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW), wc.style);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), wc.hbrBackground);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), wc.hCursor);
    EXPECT_EQ(nullptr, wc.hIcon);
    EXPECT_EQ(0, wc.cbClsExtra + wc.cbWndExtra);

    const ControlSeen expected[] = {
        {"Static", "Prompt", 0x5000000B, 0, {10, 10, 290, 32}, 0, true},
        {"Edit", "60", 0x50010080, WS_EX_CLIENTEDGE, {10, 32, 285, 53}, REQUESTER_FIELD, true},
        {"Button", "OK", 0x50010001, 0, {110, 67, 190, 92}, REQUESTER_OK, true},
    };
    ASSERT_EQ(3u, controls.size());
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i].className);
        const ControlSeen& seen = controls[i];
        EXPECT_STRCASEEQ(expected[i].className.c_str(), seen.className.c_str());
        EXPECT_EQ(expected[i].text, seen.text);
        EXPECT_EQ(expected[i].style, seen.style);
        EXPECT_EQ(expected[i].exStyle, seen.exStyle);
        EXPECT_TRUE(EqualRect(&expected[i].rect, &seen.rect));
        EXPECT_EQ(expected[i].id, seen.id);
        EXPECT_TRUE(seen.stockFont);
    }
    EXPECT_EQ(2u, selStart);  // caret after the default text, nothing selected
    EXPECT_EQ(2u, selEnd);
    EXPECT_NE(nullptr, field);
    EXPECT_EQ(field, focus);
}

struct WindowCase {
    const char* name;
    HWND window;
    bool enabledDuring, topmostDuring, enabledAfter, topmostAfter;
};

bool isTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

TEST(InputRequesterShowTest, ThreadWindowsAreHeldWhileOpenAndRestoredAfter) {
    TestWindow owner(0, true), topmost(WS_EX_TOPMOST, true), disabled(0, true), hidden(0, false);
    EnableWindow(disabled.get(), FALSE);
    SetForegroundWindow(owner.get());
    ASSERT_EQ(owner.get(), GetForegroundWindow());
    const WindowCase cases[] = {
        {"foreground window: the owner", owner.get(), false, false, true, false},
        {"topmost", topmost.get(), false, false, true, true},
        {"already disabled", disabled.get(), false, false, false, false},
        {"hidden: untouched", hidden.get(), true, false, true, false},
    };
    bool enabledDuring[4] = {}, topmostDuring[4] = {};
    HWND dialogOwner = nullptr;
    RequesterRun run = RequesterDrive("60", [&](HWND d) {
        for (int i = 0; i < 4; ++i) {
            enabledDuring[i] = IsWindowEnabled(cases[i].window) != 0;
            topmostDuring[i] = isTopmost(cases[i].window);
        }
        dialogOwner = GetWindow(d, GW_OWNER);
        keyPost(d, VK_RETURN);
    });
    EXPECT_EQ("60", run.result);
    EXPECT_EQ(owner.get(), dialogOwner);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(cases[i].enabledDuring, enabledDuring[i]);
        EXPECT_EQ(cases[i].topmostDuring, topmostDuring[i]);
        EXPECT_EQ(cases[i].enabledAfter, IsWindowEnabled(cases[i].window) != 0);
        EXPECT_EQ(cases[i].topmostAfter, isTopmost(cases[i].window));
    }
}

TEST(InputRequesterShowTest, QuitMessageTakesTheDialogDownBeforeReturning) {
    TestWindow owner(0, true), topmost(WS_EX_TOPMOST, true);
    SetForegroundWindow(owner.get());
    DWORD self = GetCurrentThreadId();
    RequesterRun run = RequesterDrive("60", [self](HWND d) {
        charsPost(d, "45");
        PostThreadMessageA(self, WM_QUIT, 7, 0);
        keyPost(d, VK_RETURN);  // queued behind the quit: must never be delivered
    });
    ASSERT_NE(nullptr, run.dialog);
    EXPECT_FALSE(run.rescued);          // it was gone when the requester returned
    EXPECT_FALSE(IsWindow(run.dialog));
    EXPECT_EQ("", run.result);
    EXPECT_TRUE(run.positionAtZero);
    EXPECT_FALSE(run.classLeft);
    EXPECT_TRUE(run.quitLeft);          // handed on to the caller's own loop
    EXPECT_EQ(7u, run.quitCode);
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    EXPECT_TRUE(IsWindowEnabled(topmost.get()));
    EXPECT_TRUE(isTopmost(topmost.get()));

    RequesterRun again = RequesterDrive("60", [](HWND d) { keyPost(d, VK_RETURN); });
    EXPECT_EQ("60", again.result);
    EXPECT_FALSE(again.quitLeft);
}

TEST(InputRequesterShowTest, TabLeavesTheFocusInTheField) {
    HWND focus = nullptr, field = nullptr;
    bool markerSeen = false;
    DWORD self = GetCurrentThreadId();
    RequesterRun run = RequesterDrive("60", [&](HWND d) {
        field = fieldOf(d);
        keyPost(d, VK_TAB);
        charsPost(d, "9");  // handled after the Tab, so its arrival marks that point
        markerSeen = ConditionWait([field] { return textOf(field).back() == '9'; });
        focus = ThreadFocus(self);
        keyPost(d, VK_ESCAPE);
    });
    ASSERT_TRUE(markerSeen);
    EXPECT_NE(nullptr, field);
    EXPECT_EQ(field, focus);
    EXPECT_EQ("", run.result);
}

// Refuses the dialog window itself, as a system out of window resources would.
bool g_refusedWhileHeld = false;
HWND g_heldWindow = nullptr;
LRESULT CALLBACK dialogRefuse(int code, WPARAM wp, LPARAM lp) {
    char name[64] = {};
    if (code == HCBT_CREATEWND) GetClassNameA(reinterpret_cast<HWND>(wp), name, sizeof name);
    if (strcmp(name, "InputRequester") != 0) return CallNextHookEx(nullptr, code, wp, lp);
    g_refusedWhileHeld = !IsWindowEnabled(g_heldWindow) && !isTopmost(g_heldWindow);
    return 1;
}

TEST(InputRequesterShowTest, DialogThatCannotBeMadeRestoresAndDeliversEmpty) {
    TestWindow topmost(WS_EX_TOPMOST, true);
    g_heldWindow = topmost.get();
    HHOOK hook = SetWindowsHookExA(WH_CBT, dialogRefuse, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    uint32_t at = WorkspacePosition();
    memset(WorkspaceReserve(4, at), 'Z', 4);
    InputRequesterShow("Title", "Prompt", "60", at);
    UnhookWindowsHookEx(hook);
    EXPECT_STREQ("", WorkspaceAt(at));
    EXPECT_EQ(at, WorkspacePosition());
    EXPECT_TRUE(g_refusedWhileHeld);
    EXPECT_TRUE(IsWindowEnabled(topmost.get()));
    EXPECT_TRUE(isTopmost(topmost.get()));
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    EXPECT_FALSE(GetClassInfoExA(GetModuleHandleA(nullptr), "InputRequester", &wc));
}
}  // namespace

// The input requester run on the test's thread while a helper thread finds its
// dialog and drives it with real input messages; every wait has a limit.
#include "toolkit/core/text.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/dialog/input_requester.h"
#include "support/leak_counters.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace {
bool conditionWait(const std::function<bool()>& condition, DWORD limitMs = TimeLimitMs(10000)) {
    for (DWORD begin = GetTickCount(); !condition(); Sleep(10))
        if (GetTickCount() - begin > limitMs) return false;
    return true;
}

BOOL CALLBACK dialogMatch(HWND w, LPARAM found) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    if (strcmp(name, "InputRequester") == 0) *reinterpret_cast<HWND*>(found) = w;
    return TRUE;
}

HWND dialogOf(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(thread, dialogMatch, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct RequesterRun {
    std::string result;
    bool positionAtZero = false;  // the workspace position was left on the result's zero
    HWND dialog = nullptr;
    bool rescued = false;         // the script left it open: a quit message ended it
    bool classLeft = false;       // "InputRequester" still registered afterwards
    bool quitLeft = false;        // a quit message waited in the queue afterwards
    WPARAM quitCode = 0;
};

struct Helper {
    DWORD thread;
    std::function<void(HWND)> script;
    HWND dialog;
    bool rescued;
};

DWORD WINAPI helperMain(void* context) {
    Helper* h = static_cast<Helper*>(context);
    // The dialog shows before its controls are made; the button comes last.
    if (conditionWait([h] {
            h->dialog = dialogOf(h->thread);
            return h->dialog && GetDlgItem(h->dialog, REQUESTER_OK);
        }))
        h->script(h->dialog);
    if (!conditionWait([h] { return !dialogOf(h->thread); })) {
        h->rescued = true;
        PostThreadMessageA(h->thread, WM_QUIT, 0, 0);
    }
    return 0;
}

RequesterRun requesterDrive(const char* defaultText, std::function<void(HWND)> script) {
    Helper h = {GetCurrentThreadId(), std::move(script), nullptr, false};
    HANDLE helper = CreateThread(nullptr, 0, helperMain, &h, 0, nullptr);
    uint32_t at = WorkspacePosition();
    memset(WorkspaceReserve(8, at), 'Z', 8);  // a missing terminator shows up as Zs
    WorkspacePositionSet(at);
    InputRequesterShow("Title", "Prompt", defaultText, at);
    RequesterRun run;
    run.result = WorkspaceAt(at);
    run.positionAtZero = WorkspacePosition() == at + run.result.size();
    WorkspacePositionSet(at);
    WaitForSingleObject(helper, TimeLimitMs(30000));
    CloseHandle(helper);
    run.dialog = h.dialog;
    run.rescued = h.rescued;
    WNDCLASSEXA wc = {sizeof wc};
    run.classLeft = GetClassInfoExA(GetModuleHandleA(nullptr), "InputRequester", &wc) != 0;
    MSG msg;
    run.quitLeft = PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    if (run.quitLeft) run.quitCode = msg.wParam;
    return run;
}

class TestWindow {  // a plain top-level window of the test's thread
public:
    TestWindow(DWORD exStyle, bool visible) {
        WNDCLASSA wc = {0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr)};
        wc.lpszClassName = "RequesterTestWindow";
        RegisterClassA(&wc);  // fails harmlessly after the first window
        window_ = CreateWindowExA(exStyle, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW |
                                  (visible ? WS_VISIBLE : 0), 20, 20, 200, 100, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }
private:
    HWND window_;
};

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
bool isTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

TEST(InputRequesterShowTest, EachWayOutDeliversItsText) {
    const struct {
        const char* name;
        const char* defaultText;
        void (*act)(HWND dialog);
        const char* expected;
    } cases[] = {
        {"Enter at once", "60", [](HWND d) { keyPost(d, VK_RETURN); }, "60"},
        {"typed after the default", "60",
         [](HWND d) { charsPost(d, "45"); keyPost(d, VK_RETURN); }, "6045"},
        {"Escape", "60", [](HWND d) { keyPost(d, VK_ESCAPE); }, ""},
        {"close request", "60", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }, ""},
        {"emptied then OK", "60",
         [](HWND d) { SendMessageA(fieldOf(d), WM_SETTEXT, 0, (LPARAM) ""); okClick(d); }, ""},
        {"no default", nullptr, [](HWND d) { charsPost(d, "7"); okClick(d); }, "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RequesterRun run = requesterDrive(c.defaultText, c.act);
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

TEST(InputRequesterShowTest, OpensCentredWithItsControlsAndKeepsTabInTheField) {
    RECT rect = {};
    LONG style = 0;
    std::string caption;
    WNDCLASSEXA wc = {sizeof wc};
    std::vector<ControlSeen> controls;
    DWORD selStart = 0xDEADBEEF, selEnd = 0xDEADBEEF;
    HWND field = nullptr, focus = nullptr, focusAfterTab = nullptr;
    DWORD self = GetCurrentThreadId();
    RequesterRun run = requesterDrive("60", [&](HWND d) {
        GetWindowRect(d, &rect);
        style = GetWindowLongA(d, GWL_STYLE);
        caption = textOf(d);
        GetClassInfoExA(GetModuleHandleA(nullptr), "InputRequester", &wc);
        HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char name[64] = {};
            GetClassNameA(c, name, sizeof name);
            ControlSeen seen = {name, textOf(c), GetWindowLongA(c, GWL_STYLE),
                                GetWindowLongA(c, GWL_EXSTYLE), {}, GetDlgCtrlID(c),
                                (HFONT)SendMessageA(c, WM_GETFONT, 0, 0) == stock};
            GetWindowRect(c, &seen.rect);
            MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&seen.rect), 2);
            controls.push_back(seen);
        }
        field = fieldOf(d);
        SendMessageA(field, EM_GETSEL, (WPARAM)&selStart, (LPARAM)&selEnd);
        GUITHREADINFO info = {sizeof info};
        GetGUIThreadInfo(self, &info);
        focus = info.hwndFocus;
        keyPost(d, VK_TAB);
        charsPost(d, "9");  // handled after the Tab: its arrival marks that point
        if (conditionWait([field] { return textOf(field).back() == '9'; }) &&
            GetGUIThreadInfo(self, &info))
            focusAfterTab = info.hwndFocus;
        keyPost(d, VK_ESCAPE);
    });
    ASSERT_NE(nullptr, run.dialog);
    EXPECT_EQ("", run.result);

    int left = GetSystemMetrics(SM_CXSCREEN) / 2 - 150, top = GetSystemMetrics(SM_CYSCREEN) / 2 - 65;
    RECT expectedRect = {left, top, left + 300, top + 130};
    EXPECT_TRUE(EqualRect(&expectedRect, &rect));
    // The system gives every top-level window WS_CLIPSIBLINGS.
    EXPECT_EQ(WS_VISIBLE | WS_CAPTION | WS_CLIPSIBLINGS, static_cast<DWORD>(style));
    EXPECT_EQ("Title", caption);
    EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW), wc.style);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), wc.hbrBackground);
    const ControlSeen expected[] = {
        {"Static", "Prompt", 0x5000000B, 0, {10, 10, 290, 32}, 0, true},
        {"Edit", "60", 0x50010080, WS_EX_CLIENTEDGE, {10, 32, 285, 53}, REQUESTER_FIELD, true},
        {"Button", "OK", 0x50010001, 0, {110, 67, 190, 92}, REQUESTER_OK, true},
    };
    ASSERT_EQ(3u, controls.size());
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(expected[i].className);
        EXPECT_STRCASEEQ(expected[i].className.c_str(), controls[i].className.c_str());
        EXPECT_EQ(expected[i].text, controls[i].text);
        EXPECT_EQ(expected[i].style, controls[i].style);
        EXPECT_EQ(expected[i].exStyle, controls[i].exStyle);
        EXPECT_TRUE(EqualRect(&expected[i].rect, &controls[i].rect));
        EXPECT_EQ(expected[i].id, controls[i].id);
        EXPECT_TRUE(controls[i].stockFont);
    }
    EXPECT_EQ(2u, selStart);  // caret after the default text, nothing selected
    EXPECT_EQ(2u, selEnd);
    ASSERT_NE(nullptr, field);
    EXPECT_EQ(field, focus);
    EXPECT_EQ(field, focusAfterTab);
}

TEST(InputRequesterShowTest, ThreadWindowsAreHeldWhileOpenAndRestoredAfter) {
    TestWindow owner(0, true), topmost(WS_EX_TOPMOST, true), disabled(0, true), hidden(0, false);
    EnableWindow(disabled.get(), FALSE);
    SetForegroundWindow(owner.get());
    ASSERT_EQ(owner.get(), GetForegroundWindow());
    const struct {
        const char* name;
        HWND window;
        bool enabledDuring, topmostDuring, enabledAfter, topmostAfter;
    } cases[] = {
        {"foreground window: the owner", owner.get(), false, false, true, false},
        {"topmost", topmost.get(), false, false, true, true},
        {"already disabled", disabled.get(), false, false, false, false},
        {"hidden: untouched", hidden.get(), true, false, true, false},
    };
    bool enabledDuring[4] = {}, topmostDuring[4] = {};
    HWND dialogOwner = nullptr;
    RequesterRun run = requesterDrive("60", [&](HWND d) {
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
    RequesterRun run = requesterDrive("60", [self](HWND d) {
        charsPost(d, "45");
        PostThreadMessageA(self, WM_QUIT, 7, 0);
        keyPost(d, VK_RETURN);  // queued behind the quit: must never deliver
    });
    ASSERT_NE(nullptr, run.dialog);
    EXPECT_FALSE(run.rescued);  // it was gone when the requester returned
    EXPECT_FALSE(IsWindow(run.dialog));
    EXPECT_EQ("", run.result);
    EXPECT_TRUE(run.positionAtZero);
    EXPECT_FALSE(run.classLeft);
    EXPECT_TRUE(run.quitLeft);  // handed on to the caller's own loop
    EXPECT_EQ(7u, run.quitCode);
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    EXPECT_TRUE(IsWindowEnabled(topmost.get()));
    EXPECT_TRUE(isTopmost(topmost.get()));

    RequesterRun again = requesterDrive("60", [](HWND d) { keyPost(d, VK_RETURN); });
    EXPECT_EQ("60", again.result);
    EXPECT_FALSE(again.quitLeft);
}

// Refuses the dialog window itself, as a system out of window resources would.
HWND g_heldWindow = nullptr;
bool g_heldWhenRefused = false;
LRESULT CALLBACK dialogRefuse(int code, WPARAM wp, LPARAM lp) {
    char name[64] = {};
    if (code == HCBT_CREATEWND) GetClassNameA(reinterpret_cast<HWND>(wp), name, sizeof name);
    if (strcmp(name, "InputRequester") != 0) return CallNextHookEx(nullptr, code, wp, lp);
    g_heldWhenRefused = !IsWindowEnabled(g_heldWindow) && !isTopmost(g_heldWindow);
    return 1;
}

TEST(InputRequesterShowTest, DialogThatCannotBeMadeRestoresAndDeliversEmpty) {
    TestWindow owner(0, true), topmost(WS_EX_TOPMOST, true);
    SetForegroundWindow(owner.get());
    g_heldWindow = topmost.get();
    HHOOK hook = SetWindowsHookExA(WH_CBT, dialogRefuse, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    uint32_t at = WorkspacePosition();
    memset(WorkspaceReserve(4, at), 'Z', 4);
    InputRequesterShow("Title", "Prompt", "60", at);
    UnhookWindowsHookEx(hook);
    EXPECT_STREQ("", WorkspaceAt(at));
    EXPECT_EQ(at, WorkspacePosition());
    EXPECT_TRUE(g_heldWhenRefused);
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    EXPECT_TRUE(IsWindowEnabled(topmost.get()));
    EXPECT_TRUE(isTopmost(topmost.get()));
    WNDCLASSEXA wc = {sizeof wc};
    EXPECT_FALSE(GetClassInfoExA(GetModuleHandleA(nullptr), "InputRequester", &wc));
}
TEST(InputRequesterShowTest, HundredRequestersLeaveNothingBehind) {
    requesterDrive("60", [](HWND d) { keyPost(d, VK_RETURN); });  // one-off allocations
    const ResourceSnapshot before = ResourceSnapshotTake();
    for (int i = 0; i < 100; ++i) {
        SCOPED_TRACE(i);
        const bool confirm = i % 2 == 0;  // both ways out: the kept text and none
        RequesterRun run = requesterDrive("60", [confirm](HWND d) {
            charsPost(d, "4");
            keyPost(d, confirm ? VK_RETURN : VK_ESCAPE);
        });
        ASSERT_NE(nullptr, run.dialog);
        EXPECT_FALSE(run.rescued);
        EXPECT_FALSE(IsWindow(run.dialog));
        EXPECT_FALSE(run.classLeft);
        EXPECT_EQ(confirm ? "604" : "", run.result);
    }
    ResourceSnapshotExpectUnchanged(before);
}
}  // namespace

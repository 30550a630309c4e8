// The helper thread that drives the requester's dialog, and test windows.
#include "requester_driver.h"
#include "toolkit/core/text.h"
#include "toolkit/dialog/input_requester.h"
#include <string.h>

namespace {
struct Helper {
    DWORD thread;
    std::function<void(HWND)> script;
    HWND dialog;
    bool rescued;
};

BOOL CALLBACK dialogMatch(HWND w, LPARAM lp) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    if (strcmp(name, "InputRequester") != 0 || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

HWND dialogOf(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(thread, dialogMatch, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The dialog shows before its controls are made; the button comes last.
bool dialogBuilt(Helper* h) {
    h->dialog = dialogOf(h->thread);
    return h->dialog && GetDlgItem(h->dialog, REQUESTER_OK);
}

DWORD WINAPI helperMain(void* context) {
    Helper* h = static_cast<Helper*>(context);
    if (ConditionWait([h] { return dialogBuilt(h); }, 10000))
        h->script(h->dialog);
    // Whatever the script did, the requester must not keep the test waiting.
    if (!ConditionWait([h] { return dialogOf(h->thread) == nullptr; }, 10000)) {
        h->rescued = true;
        PostThreadMessageA(h->thread, WM_QUIT, 0, 0);
    }
    return 0;
}
}  // namespace

bool ConditionWait(const std::function<bool()>& condition, DWORD limitMs) {
    DWORD begin = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - begin > limitMs) return false;
        Sleep(10);
    }
}

HWND ThreadFocus(DWORD thread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

RequesterRun RequesterDrive(const char* defaultText, std::function<void(HWND)> script) {
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
    if (helper) {
        WaitForSingleObject(helper, 30000);
        CloseHandle(helper);
    }
    run.dialog = h.dialog;
    run.rescued = h.rescued;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    run.classLeft = GetClassInfoExA(GetModuleHandleA(nullptr), "InputRequester", &wc) != 0;
    MSG msg;
    run.quitLeft = PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    if (run.quitLeft) run.quitCode = msg.wParam;
    return run;
}

TestWindow::TestWindow(DWORD exStyle, bool visible) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "RequesterTestWindow";
    RegisterClassA(&wc);  // already there after the first window
    window_ = CreateWindowExA(exStyle, wc.lpszClassName, "test",
                              WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                              20, 20, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
}

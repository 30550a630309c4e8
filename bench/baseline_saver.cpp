// The like-for-like yardstick for saver mode's start-up: the same job done the
// least way Win32 allows, with no toolkit. It starts the common controls (the
// same classes) and COM, reads the delay, asks what Somnaro asks before it
// starts the tool (found, licence accepted, hibernation on, a local session),
// starts the tool hidden and detached, and opens the same window with the
// same button and font; the button starts the abort and ends the program, as
// in Somnaro. It carries Somnaro's manifest, so its button is of the same
// Common Controls 6.
#include <windows.h>
#include <commctrl.h>
#include <powrprof.h>

static const int BUTTON_ID = 1;

// One stored delay that fits into `delay`; false when there is none.
static bool delayFrom(HKEY top, const char* path, char* delay, DWORD size) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(top, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char value[256] = {};
    DWORD type = 0, bytes = sizeof value - 1;
    bool found = RegQueryValueExA(key, "HibernateDelay", nullptr, &type,
                                  reinterpret_cast<BYTE*>(value), &bytes) == ERROR_SUCCESS &&
                 type == REG_SZ && value[0];
    if (found) lstrcpynA(delay, value, static_cast<int>(size));
    RegCloseKey(key);
    return found;
}

// The account's own delay, else the computer's, else "60".
static void delayRead(char* delay, DWORD size) {
    if (delayFrom(HKEY_CURRENT_USER, "Software\\Veltrix\\Somnaro", delay, size)) return;
    if (delayFrom(HKEY_LOCAL_MACHINE, "SOFTWARE\\Veltrix\\Somnaro", delay, size)) return;
    lstrcpynA(delay, "60", static_cast<int>(size));
}

// A Remote Desktop session, by the metric or by the console's session id.
static bool sessionRemote() {
    if (GetSystemMetrics(SM_REMOTESESSION)) return true;
    DWORD console = 0, size = sizeof console, own = 0;
    return RegGetValueA(HKEY_LOCAL_MACHINE,
                        "SYSTEM\\CurrentControlSet\\Control\\Terminal Server",
                        "GlassSessionId", RRF_RT_REG_DWORD, nullptr, &console,
                        &size) == ERROR_SUCCESS &&
           ProcessIdToSessionId(GetCurrentProcessId(), &own) && own != console;
}

static bool accepted(HKEY top, const char* key, DWORD view) {
    DWORD value = 0, size = sizeof value;
    return RegGetValueA(top, key, "EulaAccepted", RRF_RT_REG_DWORD | view, nullptr, &value,
                        &size) == ERROR_SUCCESS &&
           value != 0;
}

// The same questions; where they fail the baseline only starts no tool, as
// no benchmark run meets it.
static bool toolReady() {
    char found[MAX_PATH];
    if (!SearchPathA(nullptr, "psshutdown.exe", nullptr, MAX_PATH, found, nullptr)) return false;
    bool licence = accepted(HKEY_CURRENT_USER, "Software\\Sysinternals\\PsShutdown", 0) ||
                   accepted(HKEY_CURRENT_USER, "Software\\Sysinternals", 0);
    if (!licence)
        licence = accepted(HKEY_LOCAL_MACHINE, "Software\\Sysinternals", RRF_SUBKEY_WOW6464KEY);
    SYSTEM_POWER_CAPABILITIES power = {};
    DWORD enabled = 1, size = sizeof enabled;
    RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Power",
                 "HibernateEnabled", RRF_RT_REG_DWORD, nullptr, &enabled, &size);
    bool remote = sessionRemote();
    return licence && GetPwrCapabilities(&power) && power.SystemS4 && power.HiberFilePresent &&
           enabled != 0 && !remote;
}

static bool g_ready = false;

static void toolStart(const char* parameters) {
    char line[320];
    wsprintfA(line, "\"psshutdown\" %s", parameters);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(nullptr, line, nullptr, nullptr, FALSE,
                       DETACHED_PROCESS | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &si, &info)) {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}

static LRESULT CALLBACK saverProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND && LOWORD(wp) == BUTTON_ID && HIWORD(wp) == BN_CLICKED) {
        if (g_ready) toolStart("-a");
        Sleep(200);
        DestroyWindow(w);
        return 0;
    }
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, 0xB48};
    InitCommonControlsEx(&classes);
    CoInitialize(nullptr);

    char delay[256], parameters[300];
    delayRead(delay, sizeof delay);
    wsprintfA(parameters, "-f -h -t %s", delay);
    g_ready = toolReady();
    if (g_ready) toolStart(parameters);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = saverProcedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "BaselineSaver";
    RegisterClassA(&wc);
    // The cancel window: client 240 x 80 at 300, 300, a caption and a close box.
    RECT frame = {300, 300, 540, 380};
    const DWORD style = WS_CAPTION | WS_SYSMENU;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, "BaselineSaver", "Somnaro v0.5", style, frame.left,
                                  frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 0;
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontA(-MulDiv(18, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0,
                             FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    ReleaseDC(nullptr, screen);
    HWND button = CreateWindowExA(0, "BUTTON", "Cancel Hibernate",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 10, 220,
                                  60, window, reinterpret_cast<HMENU>(BUTTON_ID), instance, nullptr);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(window, SW_SHOW);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DeleteObject(font);
    CoUninitialize();
    return 0;
}

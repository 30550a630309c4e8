// The like-for-like yardstick for saver mode's start-up: the same job done the
// least way Win32 allows, with no toolkit. It starts the common controls (the
// same classes) and COM, reads the delay, starts the tool hidden and detached,
// and opens the same window with the same button and font; the button starts
// the abort and ends the program, as in Somnaro.
#include <windows.h>
#include <commctrl.h>

static const int BUTTON_ID = 1;

// The stored delay, or "60" when there is none that fits.
static void delayRead(char* delay, DWORD size) {
    lstrcpynA(delay, "60", static_cast<int>(size));
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Veltrix\\Somnaro", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return;
    char value[256] = {};
    DWORD type = 0, bytes = sizeof value - 1;
    if (RegQueryValueExA(key, "HibernateDelay", nullptr, &type,
                         reinterpret_cast<BYTE*>(value), &bytes) == ERROR_SUCCESS &&
        type == REG_SZ && value[0])
        lstrcpynA(delay, value, static_cast<int>(size));
    RegCloseKey(key);
}

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
        toolStart("-a");
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
    toolStart(parameters);

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

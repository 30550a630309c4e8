// The yardstick for start-up and idle cost: one plain window of the cancel
// window's size that ends the program on WM_CLOSE, and nothing else. With
// "/dlls" it first loads and starts the same system DLLs as Somnaro, to show
// what of the start-up goes to them.
// They are loaded by name, not imported, so that the plain run loads none.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

typedef BOOL(WINAPI* ControlsStart)(const INITCOMMONCONTROLSEX*);
typedef HRESULT(WINAPI* ComStart)(void*);

static void systemDllsStart() {
    const char* const names[] = {"shell32.dll", "winmm.dll", "advapi32.dll", "gdi32.dll"};
    for (const char* name : names) LoadLibraryA(name);  // kept until the process ends
    HMODULE controls = LoadLibraryA("comctl32.dll");
    HMODULE com = LoadLibraryA("ole32.dll");
    auto controlsStart = reinterpret_cast<ControlsStart>(
        reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
    auto comStart = reinterpret_cast<ComStart>(
        reinterpret_cast<void*>(GetProcAddress(com, "CoInitialize")));
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    if (controlsStart) controlsStart(&classes);
    if (comStart) comStart(nullptr);
}

static LRESULT CALLBACK minimalProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR line, int) {
    if (strstr(line, "/dlls")) systemDllsStart();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = minimalProcedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "MinimalWindow";
    RegisterClassA(&wc);
    // Same client size as the cancel window: 240 x 80 at 300, 300.
    RECT frame = {300, 300, 540, 380};
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    AdjustWindowRect(&frame, style, FALSE);
    CreateWindowExA(0, "MinimalWindow", "Minimal", style, frame.left, frame.top,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                    instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    ExitProcess(0);
}

// The yardstick for start-up and idle cost: one plain window of the cancel
// window's size that ends the program on WM_CLOSE, and nothing else.
#include <windows.h>

static LRESULT CALLBACK minimalProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
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

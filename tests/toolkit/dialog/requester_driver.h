// Runs the input requester on the test's own thread while a helper thread
// finds its dialog and plays a script against it; every wait has a limit.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

struct RequesterRun {
    std::string result;          // the text delivered into the workspace
    bool positionAtZero = false; // the workspace position was left on its zero byte
    HWND dialog = nullptr;       // the dialog the helper found
    bool rescued = false;        // the script left it open: a quit message ended it
    bool classLeft = false;      // "InputRequester" still registered afterwards
    bool quitLeft = false;       // a quit message waited in the queue afterwards
    WPARAM quitCode = 0;
};

// The script runs on the helper thread once the dialog is visible.
RequesterRun RequesterDrive(const char* defaultText, std::function<void(HWND dialog)> script);

// Polls until the condition holds; false when it did not within the limit.
bool ConditionWait(const std::function<bool()>& condition, DWORD limitMs = 5000);

// The window that has the keyboard focus in the given thread.
HWND ThreadFocus(DWORD thread);

// A plain top-level window of the calling thread, destroyed with its owner.
class TestWindow {
public:
    TestWindow(DWORD exStyle, bool visible);
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow() { if (window_) DestroyWindow(window_); }
    HWND get() const { return window_; }
private:
    HWND window_ = nullptr;
};

// The window layer started as the toolkit's start chain does, and the helpers
// the window tests share.
#include "window_test_support.h"

namespace {
class WindowLayerEnvironment : public ::testing::Environment {
    void SetUp() override {
        GadgetsStart();
        EventQueueStart();
        WindowsStart();
        FontsStart();
    }
    void TearDown() override {
        FontsEnd();
        WindowsEnd();
        GadgetsEnd();
    }
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new WindowLayerEnvironment);
}  // namespace

int32_t EventWaitWithin(DWORD ms) {
    // A thread timer gives GetMessageA something to return even when nothing
    // else comes; WM_TIMER is the last kind of message it hands out.
    UINT_PTR timer = SetTimer(nullptr, 0, ms ? ms : 1, nullptr);
    int32_t code = EventWait();
    KillTimer(nullptr, timer);
    if (code == WM_TIMER && EventStateGet()->last.wParam == timer) return TIMED_OUT;
    return code;
}

std::vector<int32_t> EventsDrain(DWORD quietMs, bool queuedOnly) {
    std::vector<int32_t> codes;
    while (codes.size() < 300 && (!queuedOnly || EventQueueLength() > 0)) {
        int32_t code = EventWaitWithin(quietMs);
        if (code == TIMED_OUT) break;
        codes.push_back(code);
    }
    return codes;
}

std::string ClassNameOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

void WindowTest::SetUp() {
    WindowsEnd();
    FontsEnd();
    GadgetFontSet(ANY_NUMBER, FONT_STOCK_DEFAULT);
    EventsDrain(20);
}

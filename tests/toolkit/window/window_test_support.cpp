// The window layer started once for the whole test program, as the toolkit's
// start chain does, and the helpers the window tests share.
#include "window_test_support.h"

namespace {
class WindowLayerEnvironment : public ::testing::Environment {
public:
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
    // A thread timer gives GetMessageA something to return after ms even when
    // nothing else comes; WM_TIMER is the last kind of message it hands out.
    UINT_PTR timer = SetTimer(nullptr, 0, ms ? ms : 1, nullptr);
    int32_t code = EventWait();
    KillTimer(nullptr, timer);
    if (code == WM_TIMER && EventStateGet()->last.wParam == timer) return TIMED_OUT;
    return code;
}

std::vector<SeenEvent> EventsDrain(DWORD quietMs, int limit) {
    std::vector<SeenEvent> seen;
    for (int i = 0; i < limit; ++i) {
        int32_t code = EventWaitWithin(quietMs);
        if (code == TIMED_OUT) break;
        seen.push_back({code, EventGadgetNumber()});
    }
    return seen;
}

std::vector<SeenEvent> QueuedEventsTake() {
    std::vector<SeenEvent> seen;
    while (EventQueueLength() > 0 && seen.size() < 100) {
        int32_t code = EventWaitWithin(1000);
        if (code == TIMED_OUT) break;
        seen.push_back({code, EventGadgetNumber()});
    }
    return seen;
}

std::string ClassNameOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

namespace {
struct PropertySearch {
    const char* name;
    bool found;
};

BOOL CALLBACK propertyMatch(HWND, LPSTR name, HANDLE, ULONG_PTR data) {
    PropertySearch* search = reinterpret_cast<PropertySearch*>(data);
    // Atoms come as small integers, names as strings.
    if (reinterpret_cast<uintptr_t>(name) > 0xFFFF && lstrcmpA(name, search->name) == 0)
        search->found = true;
    return TRUE;
}
}  // namespace

bool PropertyPresent(HWND window, const char* name) {
    PropertySearch search = {name, false};
    EnumPropsExA(window, propertyMatch, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

static void everythingClose() {
    WindowsEnd();
    FontsEnd();
    GadgetFontSet(ANY_NUMBER, FONT_STOCK_DEFAULT);
    EventsDrain(20, 500);
}

void WindowTest::SetUp() { everythingClose(); }

void WindowTest::TearDown() { everythingClose(); }

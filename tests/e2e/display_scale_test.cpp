// The real Somnaro.scr at the screen's DPI: the cancel window, the settings
// dialog and every control in them are their 96-dpi size times the DPI over
// 96, and the saver runs with version 6 of the common controls. The suites run
// this at 96 dpi; tests/e2e/display_scale_scenario.sh runs it again at 144.
#include "support/child.h"
#include "support/time_limit.h"
#include "toolkit/process/handle_owner.h"
#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);
const char* SETTINGS = "SOFTWARE\\Veltrix\\Somnaro";
// How the side-by-side store names the saver's architecture.
#ifdef _WIN64
const char* ARCHITECTURE = "amd64";
#else
const char* ARCHITECTURE = "x86";
#endif

struct Box {
    LONG left, top, width, height;
};

// What each DPI must give, written out rather than computed, so a wrong
// rounding or a size left unscaled shows as a number that differs.
struct ScaleRow {
    int dpi;
    POINT cancelAt;    // the cancel window's outer top-left corner
    SIZE cancelClient;
    Box button;        // in the cancel window's client area
    Box requester;     // outer; left and top from the screen's centre
    Box prompt, field, ok;  // in the requester's client area
};
const ScaleRow ROWS[] = {
    {96, {300, 300}, {240, 80}, {10, 10, 220, 60},
     {-150, -65, 300, 130}, {10, 10, 280, 22}, {10, 32, 275, 21}, {110, 67, 80, 25}},
    // Halves round away from zero, as MulDiv rounds.
    {120, {375, 375}, {300, 100}, {13, 13, 275, 75},
     {-188, -81, 375, 163}, {13, 13, 350, 28}, {13, 40, 344, 26}, {138, 84, 100, 31}},
    {144, {450, 450}, {360, 120}, {15, 15, 330, 90},
     {-225, -98, 450, 195}, {15, 15, 420, 33}, {15, 48, 413, 32}, {165, 101, 120, 38}},
    {192, {600, 600}, {480, 160}, {20, 20, 440, 120},
     {-300, -130, 600, 260}, {20, 20, 560, 44}, {20, 64, 550, 42}, {220, 134, 160, 50}},
};

int screenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

Box boxIn(HWND control, HWND parent) {
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void boxExpect(const char* what, const Box& expected, const Box& seen) {
    SCOPED_TRACE(what);
    EXPECT_EQ(expected.left, seen.left);
    EXPECT_EQ(expected.top, seen.top);
    EXPECT_EQ(expected.width, seen.width);
    EXPECT_EQ(expected.height, seen.height);
}

// The full path of a DLL loaded in the process, "" when it has none by that name.
std::string modulePath(DWORD processId, const char* name) {
    HandleOwner snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    if (snapshot.get() == INVALID_HANDLE_VALUE) return "";
    for (BOOL more = Module32First(snapshot.get(), &entry); more;
         more = Module32Next(snapshot.get(), &entry))
        if (lstrcmpiA(entry.szModule, name) == 0) return entry.szExePath;
    return "";
}

std::string lower(std::string text) {
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

class DisplayScaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS);
        ToolLogUse();
        dpi_ = screenDpi();
        // The scenario names the DPI it set, so that a prefix still at 96
        // cannot pass for 144.
        if (const char* wanted = getenv("SOMNARO_EXPECT_DPI")) {
            ASSERT_EQ(atoi(wanted), dpi_) << "the screen's DPI is not the one the prefix was given";
        }
        for (const ScaleRow& r : ROWS)
            if (r.dpi == dpi_) row_ = &r;
        ASSERT_NE(nullptr, row_) << "no sizes written down for " << dpi_ << " dpi";
        std::cout << "screen: " << dpi_ << " dpi\n";
    }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS); }

    int dpi_ = 0;
    const ScaleRow* row_ = nullptr;
};

TEST_F(DisplayScaleTest, CancelWindowAndButtonFollowTheDpiWithCommonControlsSix) {
    ChildProcess saver;
    ASSERT_TRUE(saver.start(ScrCommand("/s")));
    // The schedule line first, so that it cannot land in a later test's log.
    ToolLogWait(1, LIMIT_MS);
    HWND window = ProcessWindowWait(saver.id(), "WindowClass_0", LIMIT_MS);
    ASSERT_NE(nullptr, window);
    HWND button = ChildWindowWait(window, "Button", LIMIT_MS);
    ASSERT_NE(nullptr, button);

    RECT outer = {}, client = {};
    ASSERT_TRUE(GetWindowRect(window, &outer));
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(row_->cancelAt.x, outer.left);
    EXPECT_EQ(row_->cancelAt.y, outer.top);
    EXPECT_EQ(row_->cancelClient.cx, client.right);
    EXPECT_EQ(row_->cancelClient.cy, client.bottom);
    boxExpect("button", row_->button, boxIn(button, window));

    // The manifest's Common Controls 6 comes from the side-by-side store, in
    // the folder of that assembly, named with its version; the system
    // folder's comctl32 is version 5. The folder tells, not the file: Wine's
    // copy there carries the version record of the system folder's.
    std::string comctl = lower(modulePath(saver.id(), "comctl32.dll"));
    EXPECT_NE(std::string::npos,
              comctl.find(std::string("\\winsxs\\") + ARCHITECTURE +
                          "_microsoft.windows.common-controls_6595b64144ccf1df_6."))
        << "comctl32: " << comctl;

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(saver.wait(LIMIT_MS));
    EXPECT_EQ(0u, saver.exitCode());
}

TEST_F(DisplayScaleTest, SettingsDialogAndEachControlFollowTheDpi) {
    ChildProcess child;
    HWND dialog = SettingsDialogOpen(child, LIMIT_MS);
    ASSERT_NE(nullptr, dialog);

    RECT outer = {};
    ASSERT_TRUE(GetWindowRect(dialog, &outer));
    const LONG midX = GetSystemMetrics(SM_CXSCREEN) / 2, midY = GetSystemMetrics(SM_CYSCREEN) / 2;
    boxExpect("dialog", row_->requester,
              {outer.left - midX, outer.top - midY, outer.right - outer.left,
               outer.bottom - outer.top});
    const struct {
        const char* className;
        const Box& box;
    } controls[] = {{"Static", row_->prompt}, {"Edit", row_->field}, {"Button", row_->ok}};
    HWND control = GetWindow(dialog, GW_CHILD);
    for (const auto& c : controls) {
        SCOPED_TRACE(c.className);
        ASSERT_NE(nullptr, control);
        char name[64] = {};
        GetClassNameA(control, name, sizeof name);
        EXPECT_STRCASEEQ(c.className, name);
        boxExpect("control", c.box, boxIn(control, dialog));
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, control);  // nothing else inside

    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(child.wait(LIMIT_MS));
    EXPECT_EQ(0u, child.exitCode());
}
}  // namespace

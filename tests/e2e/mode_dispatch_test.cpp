// The real Somnaro.scr started with each kind of first parameter, as Windows
// and as a stray command line start it: it always ends with exit code 0, the
// modes that do nothing show nothing, and the preview lives in the window it
// is given.
#include "support/child.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>
#include <string>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);
const char SETTINGS[] = "SOFTWARE\\Veltrix\\Somnaro";
const char ACCOUNT[] = "Software\\Veltrix\\Somnaro";

class ModeDispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ToolLogUse();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS);
        RegDeleteTreeA(HKEY_CURRENT_USER, ACCOUNT);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS); }
};

// A window of the test's own, standing in for the Screen Saver dialog's.
class TestWindow {
public:
    TestWindow(int width, int height)
        : window_(CreateWindowExA(0, "STATIC", "Screen Saver", WS_POPUP | WS_VISIBLE, 200, 150,
                                  width, height, nullptr, nullptr, nullptr, nullptr)) {}
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow() { if (IsWindow(window_)) DestroyWindow(window_); }
    HWND get() const { return window_; }
    // The handle as Windows writes it on a command line.
    std::string decimal() const {
        return std::to_string(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window_)));
    }
private:
    HWND window_;
};

TEST_F(ModeDispatchTest, ModelessParametersEndAtOnceWithExitCodeZero) {
    const char* arguments[] = {
        "/p", "/p 123", "/P x", "/p:", "/a", "-s", "/", "x", "\"\" /s", "\t/s",
    };
    for (const char* a : arguments) {
        SCOPED_TRACE(a);
        ChildProcess child;
        ASSERT_TRUE(child.start(ScrCommand(a)));
        ASSERT_TRUE(child.wait(LIMIT_MS)) << "still running";
        EXPECT_EQ(0u, child.exitCode());
    }
    EXPECT_EQ("", ToolLogRead());  // no mode ran, so no tool was started
    EXPECT_EQ("<none>", StoredDelay());
}

// Explorer's Test starts "/S", its Configure no parameter at all.
TEST_F(ModeDispatchTest, ModesTakeEitherCaseAndNoParameterIsTheSettings) {
    const struct { const char* arguments; const char* className; const char* log; } cases[] = {
        {"/S", "WindowClass_0", "\"psshutdown\" -f -h -t 60\r\n"},
        {"/C", "InputRequester", ""},
        {"", "InputRequester", ""},
        {"   ", "InputRequester", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        ToolLogUse();
        ChildProcess child;
        ASSERT_TRUE(child.start(ScrCommand(c.arguments)));
        HWND window = ProcessWindowWait(child.id(), c.className, LIMIT_MS);
        ASSERT_NE(nullptr, window);
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(child.wait(LIMIT_MS)) << "still running";
        EXPECT_EQ(0u, child.exitCode());
        EXPECT_EQ(c.log, ToolLogWait(c.log[0] ? 1 : 0, LIMIT_MS));
    }
}

// The Screen Saver dialog's small screen is 152 x 112; it starts "/p ####"
// (Windows' own form) and takes the window away with itself.
TEST_F(ModeDispatchTest, PreviewFillsTheGivenWindowAndEndsWithIt) {
    const char* forms[] = {"/p ", "/P:"};
    for (const char* form : forms) {
        SCOPED_TRACE(form);
        TestWindow screen(152, 112);
        ASSERT_NE(nullptr, screen.get());
        ChildProcess child;
        ASSERT_TRUE(child.start(ScrCommand(form + screen.decimal())));
        HWND preview = ChildWindowWait(screen.get(), "WindowClass_0", LIMIT_MS);
        ASSERT_NE(nullptr, preview);
        RECT client = {};
        GetClientRect(preview, &client);
        EXPECT_EQ(152, client.right);
        EXPECT_EQ(112, client.bottom);
        DWORD owner = 0;
        GetWindowThreadProcessId(preview, &owner);
        EXPECT_EQ(child.id(), owner);
        EXPECT_FALSE(child.wait(300)) << "ended while its window was there";

        DestroyWindow(screen.get());
        ASSERT_TRUE(child.wait(TimeLimitMs(2000))) << "still running";
        EXPECT_EQ(0u, child.exitCode());
    }
    EXPECT_EQ("", ToolLogSettled(LIMIT_MS));  // neither scheduled nor aborted
    EXPECT_EQ("<none>", StoredDelay());
    HKEY account = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, ACCOUNT, 0, KEY_READ, &account));
    if (account) RegCloseKey(account);
}

TEST_F(ModeDispatchTest, UnquotedPathWithBlankSplitsBeforeTheMode) {
    // The program's own path counts as the items up to its first blank; with
    // no blank in it, "/p" is still read as the first parameter.
    EXPECT_EQ(0u, ChildRunExitCode(ScrCommand("   /p"), LIMIT_MS));
}
}  // namespace

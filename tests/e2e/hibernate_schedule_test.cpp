// Saver mode of the real Somnaro.scr: the delay it reads from the registry
// and the exact command line the stand-in tool receives for it.
#include "support/child.h"
#include <gtest/gtest.h>
#include <string>

namespace {
const DWORD LIMIT_MS = 20000;
const char* SETTINGS = "SOFTWARE\\Veltrix\\Somnaro";
const DWORD NO_VALUE = 0xFFFF;  // the key alone, without the value

class HibernateScheduleTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS); }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS); }

    // Runs saver mode to its end: its exit code, or 0xDEADBEEF if it hangs.
    static DWORD saverRun() {
        ChildProcess saver;
        if (!saver.start(ScrCommand("/s"))) return 0xDEADBEEF;
        for (DWORD begin = GetTickCount(); !saver.wait(100);) {
            // Should the saver show a window, closing it ends the program and
            // leaves the hibernation scheduled.
            if (HWND w = ProcessWindowWait(saver.id(), "", 0)) PostMessageA(w, WM_CLOSE, 0, 0);
            if (GetTickCount() - begin > LIMIT_MS) return 0xDEADBEEF;
        }
        return saver.exitCode();
    }

    // The tool runs detached and may still be starting when the saver ends.
    static std::string toolLogWait() {
        for (DWORD begin = GetTickCount(); GetTickCount() - begin < LIMIT_MS; Sleep(50))
            if (ToolLogRead().find("\r\n") != std::string::npos) break;
        Sleep(300);  // a second line, should one come, shows too
        return ToolLogRead();
    }
};

TEST_F(HibernateScheduleTest, ToolGetsTheStoredDelayOrSixty) {
    const DWORD ninety = 90;
    const std::string longest(254, '7');
    const struct {
        const char* name;
        DWORD type;  // 0: no settings key at all
        std::string data;
        const char* delay;
    } cases[] = {
        {"no key", 0, "", "60"},
        {"no value", NO_VALUE, "", "60"},
        {"45", REG_SZ, "45", "45"},
        {"blank 45", REG_SZ, " 45", " 45"},  // kept: two blanks before it
        {"0", REG_SZ, "0", "0"},             // no minimum here
        {"abc", REG_SZ, "abc", "abc"},       // nor any number test
        {"empty", REG_SZ, "", "60"},
        {"dword 90", REG_DWORD, std::string(reinterpret_cast<const char*>(&ninety), 4), "90"},
        {"expand 45", REG_EXPAND_SZ, "45", "60"},  // reads as ""
        {"254 chars", REG_SZ, longest, longest.c_str()},
        {"255 chars", REG_SZ, longest + "7", "60"},  // too long to read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS);
        if (c.type) {
            HKEY key = nullptr;
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, SETTINGS, &key));
            DWORD size = static_cast<DWORD>(c.data.size() + (c.type == REG_DWORD ? 0 : 1));
            LONG set = c.type == NO_VALUE ? ERROR_SUCCESS
                       : RegSetValueExA(key, "HibernateDelay", 0, c.type,
                                        reinterpret_cast<const BYTE*>(c.data.c_str()), size);
            RegCloseKey(key);
            ASSERT_EQ(ERROR_SUCCESS, set);
        }
        ToolLogUse();
        EXPECT_EQ(0u, saverRun());
        EXPECT_EQ(std::string("\"psshutdown\" -f -h -t ") + c.delay + "\r\n", toolLogWait());
    }
}
}  // namespace

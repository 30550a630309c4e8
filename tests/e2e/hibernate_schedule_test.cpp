// Saver mode of the real Somnaro.scr: the delay it reads from the registry
// and the exact command line the stand-in tool receives for it.
#include "support/child.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>
#include <string>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);
const char* SETTINGS = "SOFTWARE\\Veltrix\\Somnaro";
const DWORD NO_VALUE = 0xFFFF;  // the key alone, without the value

bool underWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

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

    // The tool runs detached and may still be starting when the saver ends;
    // a second line, should one come, shows too.
    static std::string toolLogWait() { return ToolLogWait(1, LIMIT_MS); }
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
// Data of every type and of sizes around the 255-byte read buffer, stored
// byte for byte: a string without a terminating zero, a number of the wrong
// width, data far too long.
TEST_F(HibernateScheduleTest, OddTypesAndSizesNeverCrashTheSaver) {
    const std::string sevens255(255, '7'), sevens256(256, '7'), huge(64 * 1024, '7');
    const struct {
        const char* name;
        DWORD type;
        std::string data;  // exactly the bytes stored, no zero added
        std::string delay;
        std::string delayUnderWine;  // "" when the same as delay
    } cases[] = {
        // Wine's ANSI read adds the missing zero and reports one byte more,
        // so the last stored byte is kept there and 255 bytes become too long.
        {"sz of 0 bytes", REG_SZ, "", "60"},
        {"sz of 1 byte, no zero", REG_SZ, "7", "60", "7"},  // one byte short of the size: ""
        {"sz of 3 bytes, no zero", REG_SZ, "456", "45", "456"},
        {"sz of 255 bytes, no zero", REG_SZ, sevens255, std::string(254, '7'), "60"},
        {"sz of 256 bytes", REG_SZ, sevens256, "60"},
        {"sz of 64 KiB", REG_SZ, huge, "60"},
        {"multi sz", REG_MULTI_SZ, std::string("45\0" "46\0\0", 7), "45"},
        {"dword of 2 bytes", REG_DWORD, std::string("\x5a\x00", 2), "90"},
        {"dword of 0 bytes", REG_DWORD, "", "0"},
        {"dword of 8 bytes", REG_DWORD, std::string("\x5a\0\0\0\0\0\0\0", 8), "0"},
        {"dword -1", REG_DWORD, "\xff\xff\xff\xff", "-1"},
        {"binary", REG_BINARY, "45", "60"},
        {"binary of 64 KiB", REG_BINARY, huge, "60"},
        {"qword", REG_QWORD, std::string("\x5a\0\0\0\0\0\0\0", 8), "60"},
        {"big-endian dword", REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\x5a", 4), "60"},
        {"expand sz", REG_EXPAND_SZ, std::string("45\0", 3), "60"},
        {"none", REG_NONE, "45", "60"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS);
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, SETTINGS, &key));
        LONG set = RegSetValueExA(key, "HibernateDelay", 0, c.type,
                                  reinterpret_cast<const BYTE*>(c.data.data()),
                                  static_cast<DWORD>(c.data.size()));
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, set);
        ToolLogUse();
        EXPECT_EQ(0u, saverRun());
        const std::string& delay = underWine() && !c.delayUnderWine.empty() ? c.delayUnderWine
                                                                              : c.delay;
        EXPECT_EQ("\"psshutdown\" -f -h -t " + delay + "\r\n", toolLogWait());
    }
}
}  // namespace

// The organisation's delay, written where and as Group Policy writes it: saver
// mode takes it over the account's and the computer's setting, and the
// Settings dialog only says so.
#include "support/child.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>
#include <string>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);
const char SETTINGS[] = "SOFTWARE\\Veltrix\\Somnaro";
const char ACCOUNT[] = "Software\\Veltrix\\Somnaro";
const char POLICY[] = "SOFTWARE\\Policies\\Veltrix\\Somnaro";
const char POLICY_VENDOR[] = "SOFTWARE\\Policies\\Veltrix";
const DWORD NO_POLICY = 0;  // no policy key at all
const DWORD NINETY = 90;
const std::string DWORD_90(reinterpret_cast<const char*>(&NINETY), 4);

class PolicyTest : public ::testing::Test {
protected:
    void SetUp() override { clean(); }
    void TearDown() override { clean(); }
    static void clean() {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, POLICY, KEY_WOW64_64KEY, 0);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, POLICY_VENDOR, KEY_WOW64_64KEY, 0);  // if empty
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS);
        RegDeleteTreeA(HKEY_CURRENT_USER, ACCOUNT);
    }
    // In the 64-bit view, as the 64-bit Group Policy client writes it.
    static void policyPut(DWORD type, const std::string& data) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, POLICY, 0, nullptr, 0,
                                                 KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                                                 &key, nullptr));
        DWORD size = static_cast<DWORD>(data.size() + (type == REG_DWORD ? 0 : 1));
        LONG set = RegSetValueExA(key, "HibernateDelay", 0, type,
                                  reinterpret_cast<const BYTE*>(data.c_str()), size);
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, set);
    }
    static void settingPut(const char* text) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, SETTINGS, "HibernateDelay",
                                                 REG_SZ, text, lstrlenA(text) + 1));
    }
};

// The policy first, then the account's own choice, then the computer's.
TEST_F(PolicyTest, SaverTakesANonEmptyPolicyOverTheSetting) {
    const struct { const char* name; DWORD type; std::string policy; const char* setting;
                   const char* account; const char* delay; } cases[] = {
        {"dword 90 over 60", REG_DWORD, DWORD_90, "60", nullptr, "90"},
        {"text 120 over the account's 90 and the computer's 60", REG_SZ, "120", "60", "90",
         "120"},
        {"empty text", REG_SZ, "", "45", nullptr, "45"},
        {"no policy, the computer's 60 alone", NO_POLICY, "", "60", nullptr, "60"},
        {"no policy, the account's 90 over the computer's 60", NO_POLICY, "", "60", "90", "90"},
        {"no policy, the account's empty text", NO_POLICY, "", "60", "", "60"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clean();
        settingPut(c.setting);
        if (c.account)
            ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, ACCOUNT, "HibernateDelay",
                                                     REG_SZ, c.account,
                                                     lstrlenA(c.account) + 1));
        if (c.type) policyPut(c.type, c.policy);
        ToolLogUse();
        ChildProcess saver;
        ASSERT_TRUE(saver.start(ScrCommand("/s")));
        HWND window = ProcessWindowWait(saver.id(), "WindowClass_0", LIMIT_MS);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(std::string("\"psshutdown\" -f -h -t ") + c.delay + "\r\n",
                  ToolLogWait(1, LIMIT_MS));
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(saver.wait(LIMIT_MS));
        EXPECT_EQ(0u, saver.exitCode());
    }
}

TEST_F(PolicyTest, SettingsUnderAPolicyOnlySayItAndWriteNothing) {
    const struct { const char* name; DWORD type; std::string policy; const char* setting;
                   const char* delay; } cases[] = {
        {"dword 90, no settings key", REG_DWORD, DWORD_90, nullptr, "90"},
        {"text 120 over 45", REG_SZ, "120", "45", "120"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clean();
        if (c.setting) settingPut(c.setting);
        policyPut(c.type, c.policy);
        ChildProcess child;
        ASSERT_TRUE(child.start(ScrCommand("/c")));
        HWND box = ProcessWindowWait(child.id(), "#32770", LIMIT_MS);
        ASSERT_NE(nullptr, box);
        char title[256] = {}, text[1024] = {};
        SendMessageA(box, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title));
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text control
        EXPECT_STREQ("Somnaro v0.5", title);
        EXPECT_EQ(std::string("Your organisation's policy sets the hibernate delay to ") +
                      c.delay + " seconds, so it cannot be changed here.",
                  text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(child.wait(LIMIT_MS)) << "still running";
        EXPECT_EQ(0u, child.exitCode());
        HKEY settings = nullptr;  // without a policy, a first run makes it and stores 60
        EXPECT_EQ(c.setting != nullptr, RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS, 0, KEY_READ,
                                                      &settings) == ERROR_SUCCESS);
        if (settings) RegCloseKey(settings);
        EXPECT_EQ(c.setting ? c.setting : "<none>", StoredDelay());
    }
}

// An empty policy sets nothing: the Settings dialog opens and keeps its first
// run's key as ever.
TEST_F(PolicyTest, EmptyPolicyLeavesTheSettingsDialogAsItWas) {
    policyPut(REG_SZ, "");
    ChildProcess child;
    ASSERT_TRUE(child.start(ScrCommand("/c")));
    HWND dialog = ProcessWindowWait(child.id(), "InputRequester", LIMIT_MS);
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(child.wait(LIMIT_MS)) << "still running";
    EXPECT_EQ(0u, child.exitCode());
    EXPECT_EQ("60", StoredDelay());  // made before it opened; closing it writes nothing
}
}  // namespace

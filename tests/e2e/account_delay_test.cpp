// Settings keep each account's choice where Windows lets them: the computer's
// key where it can be written, else the account's own, and say so when
// neither can. Under Wine every key is writable, so a key's permissions deny
// the write here as Windows denies a standard account the computer's key.
#include "support/child.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>
#include <aclapi.h>
#include <string>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);
const char COMPUTER_KEY[] = "SOFTWARE\\Veltrix\\Somnaro";
const char ACCOUNT_KEY[] = "Software\\Veltrix\\Somnaro";
const int FIELD = 10;

std::string accountDelay() {
    char text[1024] = {};
    DWORD size = sizeof text;
    return RegGetValueA(HKEY_CURRENT_USER, ACCOUNT_KEY, "HibernateDelay", RRF_RT_REG_SZ, nullptr,
                        text, &size) == ERROR_SUCCESS ? text : "<none>";
}

void delayPut(HKEY top, const char* key, const char* text) {
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueA(top, key, "HibernateDelay", REG_SZ, text, lstrlenA(text) + 1));
}

// Everyone may read the key, change its permissions and remove it, and with
// `writable` do everything else too. The list is the key's whole list, none
// inherited from the key above it.
void writesAllow(HKEY top, const char* path, bool writable) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                         &everyone));
    EXPLICIT_ACCESSA entry = {};
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    entry.Trustee.ptstrName = static_cast<LPSTR>(everyone);
    entry.grfAccessPermissions = writable ? KEY_ALL_ACCESS : KEY_READ | WRITE_DAC | DELETE;
    entry.grfAccessMode = SET_ACCESS;
    PACL list = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, SetEntriesInAclA(1, &entry, nullptr, &list));
    HKEY key = nullptr;
    LONG opened = RegOpenKeyExA(top, path, 0, WRITE_DAC, &key);
    LONG set = opened == ERROR_SUCCESS
                   ? SetSecurityInfo(key, SE_REGISTRY_KEY,
                                     DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                     nullptr, nullptr, list, nullptr)
                   : opened;
    if (key) RegCloseKey(key);
    LocalFree(list);
    FreeSid(everyone);
    ASSERT_EQ(ERROR_SUCCESS, set) << path;
    HKEY probe = nullptr;  // the refusal that Settings must meet
    LONG write = RegOpenKeyExA(top, path, 0, KEY_SET_VALUE, &probe);
    if (probe) RegCloseKey(probe);
    EXPECT_EQ(writable ? ERROR_SUCCESS : ERROR_ACCESS_DENIED, write) << path;
}

std::string fieldText(HWND dialog) {
    char text[256] = {};
    SendMessageA(GetDlgItem(dialog, FIELD), WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

// Opens the Settings, checks what they show, types the entry and confirms.
// Returns the message box that follows, or null when the program ended
// without one.
HWND settingsRun(const char* shown, const char* entry) {
    ChildProcess child;
    HWND dialog = SettingsDialogOpen(child, LIMIT_MS);
    if (!dialog) {
        ADD_FAILURE() << "no requester";
        return nullptr;
    }
    EXPECT_EQ(shown, fieldText(dialog));
    SendMessageA(GetDlgItem(dialog, FIELD), WM_SETTEXT, 0, (LPARAM)entry);
    PostMessageA(GetDlgItem(dialog, FIELD), WM_KEYDOWN, VK_RETURN, 1);
    HWND box = nullptr;
    for (DWORD begin = GetTickCount(); !box && GetTickCount() - begin < LIMIT_MS;) {
        if (child.wait(0)) return nullptr;
        box = ProcessWindowWait(child.id(), "#32770", 200);
    }
    if (!box) {
        ADD_FAILURE() << "neither ended nor said anything";
        return nullptr;
    }
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text control
    std::string said = text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(child.wait(LIMIT_MS)) << "still running";
    EXPECT_NE(std::string::npos, said.find("could not be saved")) << said;
    return box;
}

class AccountDelayTest : public ::testing::Test {
protected:
    void SetUp() override { clean(); }
    void TearDown() override { clean(); }
    static void clean() {
        for (HKEY top : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            const char* key = top == HKEY_CURRENT_USER ? ACCOUNT_KEY : COMPUTER_KEY;
            HKEY open = nullptr;
            if (RegOpenKeyExA(top, key, 0, KEY_READ, &open) == ERROR_SUCCESS) {
                RegCloseKey(open);
                writesAllow(top, key, true);
            }
            RegDeleteTreeA(top, key);
        }
    }
};

// One chain, each step starting from what the last one left.
TEST_F(AccountDelayTest, SettingsKeepTheChoiceWhereWindowsAllowsAndSayWhenNowhere) {
    delayPut(HKEY_LOCAL_MACHINE, COMPUTER_KEY, "60");
    delayPut(HKEY_CURRENT_USER, ACCOUNT_KEY, "90");
    {
        SCOPED_TRACE("both writable: the computer's key, the account's value removed");
        EXPECT_EQ(nullptr, settingsRun("90", "45"));
        EXPECT_EQ("45", StoredDelay());
        EXPECT_EQ("<none>", accountDelay());
        ToolLogUse();
        ChildProcess saver;
        ASSERT_TRUE(saver.start(ScrCommand("/s")));
        EXPECT_EQ("\"psshutdown\" -f -h -t 45\r\n", ToolLogWait(1, LIMIT_MS));
        HWND window = ProcessWindowWait(saver.id(), "WindowClass_0", LIMIT_MS);
        ASSERT_NE(nullptr, window);
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(saver.wait(LIMIT_MS));
    }
    writesAllow(HKEY_LOCAL_MACHINE, COMPUTER_KEY, false);
    {
        SCOPED_TRACE("the computer's key refused: the account's own");
        EXPECT_EQ(nullptr, settingsRun("45", "50"));
        EXPECT_EQ("45", StoredDelay());
        EXPECT_EQ("50", accountDelay());
    }
    writesAllow(HKEY_CURRENT_USER, ACCOUNT_KEY, false);
    {
        SCOPED_TRACE("both refused: told, and nothing lost");
        EXPECT_NE(nullptr, settingsRun("50", "55"));
        EXPECT_EQ("45", StoredDelay());
        EXPECT_EQ("50", accountDelay());
    }
}
}  // namespace

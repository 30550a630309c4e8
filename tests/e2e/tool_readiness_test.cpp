// Saver mode starts psshutdown only where it can hibernate the computer: its
// licence accepted in one of the places the tool reads, and hibernation on.
// Otherwise one message names what is missing, and neither /s nor the button
// starts the tool.
#include "support/child.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>
#include <string>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);
const std::string SCHEDULE_LINE = "\"psshutdown\" -f -h -t 60\r\n";
const char TOOL_KEY[] = "Software\\Sysinternals\\PsShutdown";
const char VENDOR_KEY[] = "Software\\Sysinternals";
const char POWER_KEY[] = "SYSTEM\\CurrentControlSet\\Control\\Power";
const char TERMINAL_SERVER_KEY[] = "SYSTEM\\CurrentControlSet\\Control\\Terminal Server";

// Where a value is put: the registry, its key and the view it is written in.
struct Place {
    HKEY top;
    const char* key;
    REGSAM view;
};
const Place FOR_THE_TOOL = {HKEY_CURRENT_USER, TOOL_KEY, 0};
const Place FOR_THE_ACCOUNT = {HKEY_CURRENT_USER, VENDOR_KEY, 0};
const Place FOR_THE_COMPUTER = {HKEY_LOCAL_MACHINE, VENDOR_KEY, KEY_WOW64_64KEY};
const Place UNDER_WOW6432NODE = {HKEY_LOCAL_MACHINE, VENDOR_KEY, KEY_WOW64_32KEY};

bool windows64() {
    BOOL wow64 = FALSE;
    return sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}

void dwordPut(const Place& place, const char* name, DWORD number) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(place.top, place.key, 0, nullptr, 0,
                                             KEY_SET_VALUE | place.view, nullptr, &key, nullptr));
    LONG set = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                              sizeof number);
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, set);
}

// winget's command for the tool is a link named psshutdown.exe in its Links
// folder, which it puts on the PATH: here the machine-wide one, with a blank
// in its path. A copy stands in for the link.
std::string linksFolder() {
    char folder[MAX_PATH] = {};
    ExpandEnvironmentStringsA("%ProgramFiles%\\WinGet\\Links", folder, MAX_PATH);
    return folder;
}
std::string g_path;  // the test program's PATH, put back after each case

DWORD ownSession() {
    DWORD session = 0xDEADBEEF;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return session;
}

void wingetLinksOnPath() {
    const std::string links = linksFolder();
    CreateDirectoryA(links.substr(0, links.rfind('\\')).c_str(), nullptr);
    CreateDirectoryA(links.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((TestBinDir() + "psshutdown.exe").c_str(),
                          (links + "\\psshutdown.exe").c_str(), FALSE));
    SetEnvironmentVariableA("PATH", (g_path + ";" + links).c_str());
}

class ToolReadinessTest : public ::testing::Test {
protected:
    void SetUp() override {
        char path[32768] = {};
        GetEnvironmentVariableA("PATH", path, sizeof path);
        g_path = path;
        clean();
    }
    // Back to the state every test prefix starts in: the licence accepted
    // as running the tool once accepts it, and the tool in place.
    void TearDown() override {
        clean();
        dwordPut(FOR_THE_TOOL, "EulaAccepted", 1);
        ToolPlace(true);
    }
    static void clean() {
        RegDeleteTreeA(HKEY_CURRENT_USER, VENDOR_KEY);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, VENDOR_KEY, KEY_WOW64_64KEY, 0);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, VENDOR_KEY, KEY_WOW64_32KEY, 0);
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, POWER_KEY, "HibernateEnabled");
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, TERMINAL_SERVER_KEY, "GlassSessionId");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Veltrix\\Somnaro");  // delay 60
        SetEnvironmentVariableA("PATH", g_path.c_str());
        DeleteFileA((linksFolder() + "\\psshutdown.exe").c_str());
    }
};

TEST_F(ToolReadinessTest, StartsTheToolOnlyWhereItCanHibernate) {
    enum { TOOL = 1, LICENCE = 2, HIBERNATION = 4, REMOTE = 8 };  // what the message must name
    const struct {
        const char* name;
        void (*arrange)();
        int missing;   // 0: the usual command line, and no message
        bool click;    // the button pressed after the message
        bool windows64Only;
    } cases[] = {
        {"no licence anywhere", [] {}, LICENCE, true},
        // The tool reads the computer's acceptance in the 64-bit view only: a
        // copy that a 32-bit program wrote under WOW6432Node is not the tool's.
        {"the computer's only under WOW6432Node",
         [] { dwordPut(UNDER_WOW6432NODE, "EulaAccepted", 1); }, LICENCE, false, true},
        {"accepted for the tool", [] { dwordPut(FOR_THE_TOOL, "EulaAccepted", 1); }, 0, false},
        {"accepted for every tool of the account",
         [] { dwordPut(FOR_THE_ACCOUNT, "EulaAccepted", 1); }, 0, false},
        {"accepted for the computer", [] { dwordPut(FOR_THE_COMPUTER, "EulaAccepted", 1); }, 0,
         false},
        // Only a DWORD other than 0 accepts.
        {"a text 1 and a DWORD 0",
         [] {
             ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, TOOL_KEY, "EulaAccepted",
                                                      REG_SZ, "1", 2));
             dwordPut(FOR_THE_ACCOUNT, "EulaAccepted", 0);
         },
         LICENCE, false},
        {"the tool only in winget's Links folder on the PATH",
         [] {
             dwordPut(FOR_THE_TOOL, "EulaAccepted", 1);
             ToolPlace(false);
             wingetLinksOnPath();
         },
         0, false},
        {"hibernation switched off",
         [] {
             dwordPut(FOR_THE_TOOL, "EulaAccepted", 1);
             dwordPut({HKEY_LOCAL_MACHINE, POWER_KEY, 0}, "HibernateEnabled", 0);
         },
         HIBERNATION, false},
        // Under Wine the metric says local: the console's session id decides.
        // The saver runs in the test's own session.
        {"the console's session is this one",
         [] {
             dwordPut(FOR_THE_TOOL, "EulaAccepted", 1);
             dwordPut({HKEY_LOCAL_MACHINE, TERMINAL_SERVER_KEY, 0}, "GlassSessionId",
                      ownSession());
         },
         0, false},
        {"the console's session is another",
         [] {
             dwordPut(FOR_THE_TOOL, "EulaAccepted", 1);
             dwordPut({HKEY_LOCAL_MACHINE, TERMINAL_SERVER_KEY, 0}, "GlassSessionId",
                      ownSession() + 1);
         },
         REMOTE, true},
        {"nothing ready",
         [] {
             ToolPlace(false);
             dwordPut({HKEY_LOCAL_MACHINE, POWER_KEY, 0}, "HibernateEnabled", 0);
         },
         TOOL | LICENCE | HIBERNATION, true},
    };
    for (const auto& c : cases) {
        if (c.windows64Only && !windows64()) continue;  // 32-bit Windows has one view
        SCOPED_TRACE(c.name);
        clean();
        ToolLogUse();
        c.arrange();
        ChildProcess saver;
        ASSERT_TRUE(saver.start(ScrCommand("/s")));
        if (c.missing) {
            HWND box = ProcessWindowWait(saver.id(), "#32770", LIMIT_MS);
            ASSERT_NE(nullptr, box);
            char text[2048] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text control
            const std::string said = text;
            EXPECT_EQ((c.missing & TOOL) != 0,
                      said.find("cannot find psshutdown.exe") != std::string::npos) << said;
            EXPECT_EQ((c.missing & LICENCE) != 0, said.find("licence") != std::string::npos)
                << said;
            EXPECT_EQ((c.missing & HIBERNATION) != 0,
                      said.find("powercfg /hibernate on") != std::string::npos) << said;
            EXPECT_EQ((c.missing & REMOTE) != 0,
                      said.find("Remote Desktop session") != std::string::npos) << said;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        // The cancel window comes either way, after the message.
        HWND window = ProcessWindowWait(saver.id(), "WindowClass_0", LIMIT_MS);
        ASSERT_NE(nullptr, window);
        HWND button = c.click ? ChildWindowWait(window, "Button", LIMIT_MS) : nullptr;
        PostMessageA(button ? button : window, button ? BM_CLICK : WM_CLOSE, 0, 0);
        EXPECT_TRUE(saver.wait(LIMIT_MS));
        EXPECT_EQ(c.missing ? "" : SCHEDULE_LINE,
                  c.missing ? ToolLogSettled(LIMIT_MS) : ToolLogWait(1, LIMIT_MS));
    }
}
}  // namespace

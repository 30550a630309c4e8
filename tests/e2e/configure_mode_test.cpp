// The real Somnaro.scr in configuration mode: the dialog it shows, whose it
// is, and what each entry, Escape or close request leaves in the settings key.
#include "support/child.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>
#include <string>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);
const char KEY[] = "SOFTWARE\\Veltrix\\Somnaro";
const int FIELD = 10;

// Asked of the control itself: GetWindowTextA across processes does not ask
// the control, and under Wine it came back empty for the prompt.
std::string textOf(HWND window) {
    char text[1024] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void enterPress(HWND d) { PostMessageA(GetDlgItem(d, FIELD), WM_KEYDOWN, VK_RETURN, 1); }
void escapePress(HWND d) { PostMessageA(GetDlgItem(d, FIELD), WM_KEYDOWN, VK_ESCAPE, 1); }
void closeAsk(HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }

void endedWithZero(ChildProcess& child) {
    ASSERT_TRUE(child.wait(LIMIT_MS)) << "still running";
    EXPECT_EQ(0u, child.exitCode());
}

class ConfigureModeTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, KEY); }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, KEY); }
};

TEST_F(ConfigureModeTest, FirstRunCreatesTheKeyWithSixtyAndShowsIt) {
    ChildProcess child;
    HWND dialog = SettingsDialogOpen(child, LIMIT_MS);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("60", StoredDelay());  // written before the dialog opened
    EXPECT_EQ("Somnaro v0.5", textOf(dialog));
    EXPECT_EQ("Hibernate Delay (Seconds, Minimum:30)", textOf(GetWindow(dialog, GW_CHILD)));
    EXPECT_EQ("60", textOf(GetDlgItem(dialog, FIELD)));
    enterPress(dialog);
    endedWithZero(child);
    EXPECT_EQ("60", StoredDelay());
}

TEST_F(ConfigureModeTest, EntriesBelowThirtyStoreThirtyOthersAsTypedAndOnlyOkStores) {
    const struct { const char* entry; void (*finish)(HWND); const char* stored; } cases[] = {
        {"45", enterPress, "45"}, {"30", enterPress, "30"}, {"29", enterPress, "30"},
        {"20", enterPress, "30"}, {"-5", enterPress, "30"}, {"", enterPress, "30"},
        {"  45", enterPress, "  45"},
        {"45abc", enterPress, "45abc"},
        {"4294967325", enterPress, "4294967325"},  // 2^32 + 29: the number is 64-bit
        {"9223372036854775808", enterPress, "30"},  // wraps to -2^63
        // Every way out but OK keeps the delay, whatever was typed.
        {"45", escapePress, "120"}, {"20", closeAsk, "120"}, {"", escapePress, "120"},
        {nullptr, closeAsk, "120"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry ? c.entry : "(nothing typed)");
        // A value that no case stores, so that every case shows its own write.
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, KEY, "HibernateDelay", REG_SZ, "120", 4);
        ChildProcess child;
        HWND dialog = SettingsDialogOpen(child, LIMIT_MS);
        ASSERT_NE(nullptr, dialog);
        if (c.entry) SendMessageA(GetDlgItem(dialog, FIELD), WM_SETTEXT, 0, (LPARAM)c.entry);
        c.finish(dialog);
        endedWithZero(child);
        EXPECT_EQ(c.stored, StoredDelay());
    }
}

TEST_F(ConfigureModeTest, KeyWithoutValueOpensWithAnEmptyField) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, KEY, 0, nullptr, 0, KEY_WRITE,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
    ChildProcess child;
    HWND dialog = SettingsDialogOpen(child, LIMIT_MS);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("<none>", StoredDelay());  // the key was there: nothing written yet
    EXPECT_EQ("", textOf(GetDlgItem(dialog, FIELD)));
    escapePress(dialog);
    endedWithZero(child);
    EXPECT_EQ("<none>", StoredDelay());
}

// The Screen Saver dialog's Settings button starts "/c:####" with its own
// window, whose modal dialog the settings then are.
TEST_F(ConfigureModeTest, SettingsButtonsWindowOwnsTheRequester) {
    const char* forms[] = {"/c:", "/C "};
    for (const char* form : forms) {
        SCOPED_TRACE(form);
        HWND owner = CreateWindowExA(0, "STATIC", "Screen Saver", WS_POPUP | WS_VISIBLE, 100, 80,
                                     400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, owner);
        const std::string handle =
            std::to_string(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(owner)));
        ChildProcess child;
        HWND dialog = SettingsDialogOpen(child, LIMIT_MS, form + handle);
        if (dialog) {
            EXPECT_EQ(owner, GetWindow(dialog, GW_OWNER));
            EXPECT_FALSE(IsWindowEnabled(owner));  // modal for it
            RECT o = {}, d = {};
            GetWindowRect(owner, &o);
            GetWindowRect(dialog, &d);
            EXPECT_EQ((o.left + o.right) / 2, (d.left + d.right) / 2);
            EXPECT_EQ((o.top + o.bottom) / 2, (d.top + d.bottom) / 2);
            escapePress(dialog);
            endedWithZero(child);
            EXPECT_TRUE(IsWindowEnabled(owner));
        }
        DestroyWindow(owner);
        ASSERT_NE(nullptr, dialog);
    }
}
// A hundred thousand typed characters go into the key whole; saver mode can't
// read data that long and falls back to 60. The entry reads as 45, so it is
// stored as typed (a long run of digits would wrap to an arbitrary number).
TEST_F(ConfigureModeTest, HugeEntryIsStoredAndSaverModeFallsBackToSixty) {
    const std::string entry = "45 " + std::string(100000 - 3, 'x');
    ChildProcess child;
    HWND dialog = SettingsDialogOpen(child, LIMIT_MS);
    ASSERT_NE(nullptr, dialog);
    HWND field = GetDlgItem(dialog, FIELD);
    // WM_SETTEXT, unlike keystrokes, is not held to the field's 30000 limit.
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    ASSERT_EQ(static_cast<LRESULT>(entry.size()), SendMessageA(field, WM_GETTEXTLENGTH, 0, 0));
    enterPress(dialog);
    endedWithZero(child);
    std::string stored(entry.size() + 16, '\0');
    DWORD size = static_cast<DWORD>(stored.size());
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE, KEY, "HibernateDelay",
                                          RRF_RT_REG_SZ, nullptr, &stored[0], &size));
    stored.resize(size ? size - 1 : 0);
    EXPECT_TRUE(stored == entry) << stored.size() << " bytes stored";

    ToolLogUse();
    ChildProcess saver;
    ASSERT_TRUE(saver.start(ScrCommand("/s")));
    HWND cancel = ProcessWindowWait(saver.id(), "WindowClass_0", LIMIT_MS);
    ASSERT_NE(nullptr, cancel);
    PostMessageA(cancel, WM_CLOSE, 0, 0);
    endedWithZero(saver);
    for (DWORD begin = GetTickCount(); ToolLogRead().empty() && GetTickCount() - begin < LIMIT_MS;)
        Sleep(50);
    EXPECT_EQ("\"psshutdown\" -f -h -t 60\r\n", ToolLogRead());
}
}  // namespace

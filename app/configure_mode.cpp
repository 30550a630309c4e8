// Configuration mode: let the user set the hibernate delay, keeping the text
// as typed unless its number is below the minimum, where this account's saver
// reads it; under a policy, only say so. Only OK changes the stored delay.
#include "app/delay_setting.h"
#include "app/globals.h"
#include "app/modes.h"
#include "registry/registry.h"
#include "toolkit/core/text.h"
#include "toolkit/dialog/input_requester.h"
#include <windows.h>

static const uint32_t TYPE_TEXT = 1;  // REG_SZ
static const int64_t DELAY_MINIMUM = 30;

// The policy's delay is at most 254 characters, as any value read.
static void policySay(HWND owner, const char* delay) {
    char text[512];
    wsprintfA(text,
              "Your organisation's policy sets the hibernate delay to %s seconds, so it "
              "cannot be changed here.",
              delay);
    MessageBoxA(owner, text, "Somnaro v0.5", MB_OK | MB_ICONINFORMATION);
}

// The delay typed is at most what the requester holds; only its first 200
// characters are named.
static void storeFailSay(HWND owner, const char* delay) {
    char text[1024];
    wsprintfA(text,
              "The hibernate delay of %.200s seconds could not be saved: Windows let Somnaro "
              "write neither this computer's setting (HKEY_LOCAL_MACHINE\\%s) nor your "
              "account's own (HKEY_CURRENT_USER\\%s). The screen saver goes on using the "
              "delay it used before.",
              delay, DELAY_SETTINGS_KEY, DELAY_ACCOUNT_KEY);
    MessageBoxA(owner, text, "Somnaro v0.5", MB_OK | MB_ICONWARNING);
}

// owner: the window Windows asked for the settings from, or null.
void ConfigureModeRun(HWND owner) {
    // Asked first: under a policy nothing is written, not even the first
    // run's key, and no requester offers what the saver would not use.
    uint32_t at = WorkspacePosition();
    if (DelayPolicyGet(at)) {
        policySay(owner, WorkspaceAt(at));
        WorkspacePositionSet(at);
        return;
    }

    if (!RegistryKeyExists(HKEY_LOCAL_MACHINE, DELAY_SETTINGS_KEY, "")) {
        // Not examined: a key that cannot be made only reads back as "".
        RegistryValueSet(HKEY_LOCAL_MACHINE, DELAY_SETTINGS_KEY, DELAY_VALUE, "60", TYPE_TEXT,
                         "");
    }

    // What this account's saver uses: its own choice where it made one.
    at = WorkspacePosition();
    DelaySettingGet(at);
    TextStore(&g_program.delayText, at);

    at = WorkspacePosition();
    // Escape, a close request or a requester that cannot open: the user chose
    // nothing, so the delay stays what it was.
    if (!InputRequesterShow("Somnaro v0.5", "Hibernate Delay (Seconds, Minimum:30)",
                            g_program.delayText, at, owner)) {
        WorkspacePositionSet(at);
        return;
    }
    TextStore(&g_program.delayText, at);

    // A confirmed empty field reads as 0: it too stores the minimum.
    if (TextToInteger(g_program.delayText) < DELAY_MINIMUM) TextAssign(&g_program.delayText, "30");

    // A choice Windows lets this account keep nowhere would be lost unseen.
    if (DelayStore(g_program.delayText) == DELAY_STORED_NOWHERE)
        storeFailSay(owner, g_program.delayText);
}

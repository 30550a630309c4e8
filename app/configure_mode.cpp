// Configuration mode: let the user set the hibernate delay, keeping the text
// as typed unless its number is below the minimum.
#include "app/globals.h"
#include "app/modes.h"
#include "registry/registry.h"
#include "toolkit/core/text.h"
#include "toolkit/dialog/input_requester.h"

static const char SETTINGS_KEY[] = "SOFTWARE\\Veltrix\\Somnaro";
static const char DELAY_VALUE[] = "HibernateDelay";
static const uint32_t TYPE_TEXT = 1;  // REG_SZ
static const int64_t DELAY_MINIMUM = 30;

void ConfigureModeRun() {
    if (!RegistryKeyExists(HKEY_LOCAL_MACHINE, SETTINGS_KEY, "")) {
        // Not examined: a key that cannot be made only reads back as "".
        RegistryValueSet(HKEY_LOCAL_MACHINE, SETTINGS_KEY, DELAY_VALUE, "60", TYPE_TEXT, "");
    }

    uint32_t at = WorkspacePosition();
    RegistryValueGet(HKEY_LOCAL_MACHINE, SETTINGS_KEY, DELAY_VALUE, "", at);
    TextStore(&g_program.delayText, at);

    at = WorkspacePosition();
    InputRequesterShow("Somnaro v0.5", "Hibernate Delay (Seconds, Minimum:30)",
                       g_program.delayText, at);
    TextStore(&g_program.delayText, at);

    // A cancelled requester gives "", whose number is 0: it too stores the minimum.
    if (TextToInteger(g_program.delayText) < DELAY_MINIMUM) TextAssign(&g_program.delayText, "30");

    // Not examined: a failed write leaves the old setting, with nobody to tell.
    RegistryValueWrite(HKEY_LOCAL_MACHINE, SETTINGS_KEY, DELAY_VALUE, g_program.delayText,
                       TYPE_TEXT, "");
}

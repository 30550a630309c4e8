// Which delay applies: the policy's, read where Group Policy writes it and past
// the user's VirtualStore, else the user's setting, read exactly as it always was.
#include "app/delay_setting.h"
#include "registry/registry.h"
#include "registry/virtualization_pause.h"
#include "toolkit/core/text.h"

int DelayPolicyGet(uint32_t at) {
    // A copy of the policy in the user's VirtualStore would otherwise win, and
    // any user may write there.
    VirtualizationPause pause;
    // Group Policy writes the key as a 64-bit program, and 64-bit Windows keeps
    // SOFTWARE\Policies one for both views; asking for the 64-bit view finds it
    // also where a system keeps the views apart. 32-bit Windows ignores the flag.
    RegistryValueGet(HKEY_LOCAL_MACHINE, DELAY_POLICY_KEY, DELAY_VALUE, "", at,
                     KEY_WOW64_64KEY);
    return WorkspaceAt(at)[0] ? 1 : 0;
}

void DelayGet(uint32_t at) {
    if (DelayPolicyGet(at)) return;
    // Virtualized and in the program's own view, as before any policy: the
    // Settings dialog writes it that way.
    RegistryValueGet(HKEY_LOCAL_MACHINE, DELAY_SETTINGS_KEY, DELAY_VALUE, "", at);
}

// Which delay applies and where a choice is kept. Nothing here relies on
// Windows redirecting a write it refuses: a standard account's choice goes to
// its own key, which it may always write.
#include "app/delay_setting.h"
#include "registry/registry.h"
#include "toolkit/core/text.h"

static const uint32_t TYPE_TEXT = 1;  // REG_SZ

int DelayPolicyGet(uint32_t at) {
    // Group Policy writes the key as a 64-bit program, and 64-bit Windows keeps
    // SOFTWARE\Policies one for both views; asking for the 64-bit view finds it
    // also where a system keeps the views apart. 32-bit Windows ignores the flag.
    RegistryValueGet(HKEY_LOCAL_MACHINE, DELAY_POLICY_KEY, DELAY_VALUE, "", at,
                     KEY_WOW64_64KEY);
    return WorkspaceAt(at)[0] ? 1 : 0;
}

void DelaySettingGet(uint32_t at) {
    RegistryValueGet(HKEY_CURRENT_USER, DELAY_ACCOUNT_KEY, DELAY_VALUE, "", at);
    if (WorkspaceAt(at)[0]) return;
    // In the program's own view, as the Settings dialog writes it.
    RegistryValueGet(HKEY_LOCAL_MACHINE, DELAY_SETTINGS_KEY, DELAY_VALUE, "", at);
}

void DelayGet(uint32_t at) {
    if (DelayPolicyGet(at)) return;
    DelaySettingGet(at);
}

void DelayInUseKeep(TextVar* variable) {
    uint32_t at = WorkspacePosition();
    DelayGet(at);
    TextStore(variable, at);
    // Only the empty text is replaced: no number test and no minimum here.
    if (TextEqual(*variable, "")) TextAssign(variable, "60");
}

int DelayStore(const char* delay) {
    TextOwner text(delay);
    // The computer's key opens for writing only for an elevated administrator
    // (or where its permissions allow); a value left in the account's key
    // would go on outranking it, so where that cannot be removed the account's
    // copy is written too.
    if (RegistryValueWrite(HKEY_LOCAL_MACHINE, DELAY_SETTINGS_KEY, DELAY_VALUE, text.get(),
                           TYPE_TEXT, "") &&
        RegistryValueDelete(HKEY_CURRENT_USER, DELAY_ACCOUNT_KEY, DELAY_VALUE))
        return DELAY_STORED_COMPUTER;
    return RegistryValueSet(HKEY_CURRENT_USER, DELAY_ACCOUNT_KEY, DELAY_VALUE, text.get(),
                            TYPE_TEXT, "")
               ? DELAY_STORED_ACCOUNT
               : DELAY_STORED_NOWHERE;
}

// The hibernate delay that applies and where it is kept: a machine policy,
// which wins whenever it sets one, else the account's own choice, else the
// computer's.
#pragma once
#include "toolkit/core/text.h"
#include <stdint.h>

// The computer's setting, under HKEY_LOCAL_MACHINE, which an administrator's
// Settings dialog and the installers write.
const char DELAY_SETTINGS_KEY[] = "SOFTWARE\\Veltrix\\Somnaro";
// An account's own, under HKEY_CURRENT_USER, where the Settings dialog keeps
// the choice of an account that may not write the computer's.
const char DELAY_ACCOUNT_KEY[] = "Software\\Veltrix\\Somnaro";
// The organisation's, where Group Policy writes the administrative template's value.
const char DELAY_POLICY_KEY[] = "SOFTWARE\\Policies\\Veltrix\\Somnaro";
const char DELAY_VALUE[] = "HibernateDelay";

// Where DelayStore put a delay.
const int DELAY_STORED_NOWHERE = 0;
const int DELAY_STORED_COMPUTER = 1;
const int DELAY_STORED_ACCOUNT = 2;

// The policy's delay as text into the workspace at `at`; 1 when the policy
// sets one, which is any text but "".
int DelayPolicyGet(uint32_t at);
// The delay this account chose as text at `at`: its own where it reads as
// text other than "", else the computer's; "" when neither has one.
void DelaySettingGet(uint32_t at);
// The delay that applies as text at `at`: the policy's, else the setting's;
// "" when none has one.
void DelayGet(uint32_t at);
// The delay saver mode uses now into the variable: the one that applies,
// else "60".
void DelayInUseKeep(TextVar* variable);
// Keeps the delay as this account's choice: in the computer's key where
// Windows lets this process write it, the account's own value then removed
// so that it no longer outranks the computer's; else in the account's key.
int DelayStore(const char* delay);

// The hibernate delay that applies and where it is kept: a machine policy,
// which wins whenever it sets one, else the user's setting.
#pragma once
#include <stdint.h>

// The user's setting, which the Settings dialog writes as text.
const char DELAY_SETTINGS_KEY[] = "SOFTWARE\\Veltrix\\Somnaro";
// The organisation's, where Group Policy writes the administrative template's value.
const char DELAY_POLICY_KEY[] = "SOFTWARE\\Policies\\Veltrix\\Somnaro";
const char DELAY_VALUE[] = "HibernateDelay";

// The policy's delay as text into the workspace at `at`; 1 when the policy
// sets one, which is any text but "".
int DelayPolicyGet(uint32_t at);
// The delay that applies as text at `at`: the policy's, else the setting's;
// "" when neither has one.
void DelayGet(uint32_t at);

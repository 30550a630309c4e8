// The outside tool that hibernates the computer: whether it can do so here,
// and starting it.
#pragma once
#include <stdint.h>

// What stops psshutdown hibernating this computer, one bit each; 0 when
// nothing does.
const uint32_t TOOL_NOT_FOUND = 1;        // psshutdown.exe is nowhere Somnaro looks
const uint32_t TOOL_LICENCE_OPEN = 2;     // its licence is accepted in none of its places
const uint32_t TOOL_HIBERNATION_OFF = 4;  // the computer cannot hibernate
const uint32_t TOOL_REMOTE_SESSION = 8;   // a Remote Desktop session: its user would be cut off

// Asks all four, whatever an earlier one found.
uint32_t ToolReadinessCheck();
// One message that names each missing thing and what to do about it.
void ToolReadinessSay(uint32_t missing);
// Starts psshutdown hidden with that parameter text.
void ToolRun(const char* parameters);

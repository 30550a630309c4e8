// Sleeping for a number of milliseconds at 1 ms timer resolution.
#pragma once
#include <stdint.h>

// The resolution is raised only for the length of the sleep.
void DelayMs(uint32_t milliseconds);

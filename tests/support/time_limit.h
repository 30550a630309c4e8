// Time limits of the tests, stretched by one factor where the programs run
// slower than on Windows (the emulated 32-bit Wine sets SOMNARO_TIME_SCALE).
#pragma once
#include <windows.h>

// ms times the factor (1 when unset or not a positive number).
DWORD TimeLimitMs(DWORD ms);

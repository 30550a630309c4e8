// Time limits stretched by the factor in SOMNARO_TIME_SCALE.
#include "support/time_limit.h"
#include <stdlib.h>

DWORD TimeLimitMs(DWORD ms) {
    char text[16] = {};
    DWORD n = GetEnvironmentVariableA("SOMNARO_TIME_SCALE", text, sizeof text);
    long factor = (n > 0 && n < sizeof text) ? strtol(text, nullptr, 10) : 1;
    return factor > 1 && factor < 100 ? ms * static_cast<DWORD>(factor) : ms;
}

// Sleeping with the system timer at 1 ms resolution, so that a short delay
// is not stretched to the default tick of about 15 ms.
#include "toolkit/process/delay.h"
#include <windows.h>
#include <mmsystem.h>

void DelayMs(uint32_t milliseconds) {
    timeBeginPeriod(1);
    Sleep(milliseconds);
    timeEndPeriod(1);
}

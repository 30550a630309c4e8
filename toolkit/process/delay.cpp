// Sleeping with the system timer at 1 ms resolution, so that a short delay
// is not stretched to the default tick of about 15 ms. winmm is not one of
// Windows' KnownDLLs, so it is loaded from the system folder by full path
// rather than imported; without it the sleep is taken at the default tick.
#include "toolkit/process/delay.h"
#include "toolkit/core/system_libraries.h"

typedef UINT(WINAPI* TimePeriodFn)(UINT);

void DelayMs(uint32_t milliseconds) {
    LibraryOwner winmm(SystemLibraryLoad("winmm.dll"));
    TimePeriodFn begin = winmm.entry<TimePeriodFn>("timeBeginPeriod");
    TimePeriodFn end = winmm.entry<TimePeriodFn>("timeEndPeriod");
    if (begin && end) begin(1);
    Sleep(milliseconds);
    if (begin && end) end(1);
}

// DelayMs sleeps for the time asked, not rounded up to the default tick.
#include "toolkit/process/delay.h"
#include <gtest/gtest.h>
#include <windows.h>

TEST(DelayMsTest, SleepsAboutAsLongAsAsked) {
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    for (uint32_t delay : {200u, 50u, 0u}) {
        SCOPED_TRACE(delay);
        QueryPerformanceCounter(&begin);
        DelayMs(delay);
        QueryPerformanceCounter(&end);
        double took = 1000.0 * (end.QuadPart - begin.QuadPart) / frequency.QuadPart;
        EXPECT_GE(took, delay - 2.0);
        EXPECT_LT(took, delay + 150.0);  // generous: the machine is shared
    }
}

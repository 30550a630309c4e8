// Counts the program's own HeapAlloc and HeapReAlloc calls by redirecting its
// import slots, so a measurement sees exactly what the toolkit asks for.
#pragma once
#include <windows.h>

struct HeapCalls {
    long allocs;
    long reallocs;
};

// Starts counting (once per process); false when the slots could not be set.
bool HeapCountStart();
HeapCalls HeapCountRead();

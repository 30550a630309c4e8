// The program heap that toolkit tables, records and pools come from, and the
// one way out when memory the program cannot do without is not there.
#pragma once
#include <windows.h>

HANDLE ProgramHeap();
void ProgramHeapSet(HANDLE heap);

// Ends the process quietly rather than write through a null block.
[[noreturn]] void MemoryExhausted();

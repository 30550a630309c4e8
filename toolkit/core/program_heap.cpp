// The program heap that toolkit tables, records and pools come from.
#include "toolkit/core/program_heap.h"

static HANDLE g_programHeap = nullptr;

HANDLE ProgramHeap() { return g_programHeap; }

void ProgramHeapSet(HANDLE heap) { g_programHeap = heap; }

void MemoryExhausted() {
    // The exit code is 0 on every path; there is nobody to tell.
    ExitProcess(0);
}

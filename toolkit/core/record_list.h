// Plain doubly linked lists of zeroed records, newest at the head, each
// record preceded by its two links; and a run-once primitive.
#pragma once
#include <stdint.h>

// The head holds the newest record (the address after its links), or null.
void* RecordListAdd(void** head, uint32_t size);
void RecordListRemove(void** head, void* record);
void* RecordListNext(void* record);      // toward older records
void* RecordListPrevious(void* record);  // toward newer records

// Runs the function exactly once for a flag: a pointer-sized variable that
// starts at 0.
void RunOnce(void** flag, void (*function)());

// For tests: nonzero makes RunOnce skip InitOnceExecuteOnce and use its
// three-state flag word, as on a system whose Kernel32 lacks it.
void RunOnceFallbackForce(int on);

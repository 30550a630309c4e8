// What a leak would change in the test process: GUI object counts, bytes in
// use in the program heap, and open kernel handles.
#include "support/leak_counters.h"
#include "toolkit/core/program_heap.h"
#include <gtest/gtest.h>
#include <stdint.h>

static SIZE_T programHeapInUse() {
    SIZE_T total = 0;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(ProgramHeap(), &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
    return total;
}

int OpenHandleCount() {
    // GetProcessHandleCount gives 0 under Wine, which hands out the lowest
    // free handle values: probing them counts what is really open.
    int count = 0;
    for (uintptr_t value = 4; value < 0x4000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

ResourceSnapshot ResourceSnapshotTake() {
    ResourceSnapshot s;
    s.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    s.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    s.heapInUse = programHeapInUse();
    s.openHandles = OpenHandleCount();
    return s;
}

void ResourceSnapshotExpectUnchanged(const ResourceSnapshot& before) {
    const ResourceSnapshot after = ResourceSnapshotTake();
    EXPECT_EQ(before.gdiObjects, after.gdiObjects);
    EXPECT_EQ(before.userObjects, after.userObjects);
    EXPECT_EQ(before.heapInUse, after.heapInUse);
    EXPECT_EQ(before.openHandles, after.openHandles);
}

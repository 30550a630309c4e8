// What a leak would change in the test process: GUI object counts, bytes in
// use in the program heap, and open kernel handles.
#pragma once
#include <windows.h>

struct ResourceSnapshot {
    DWORD gdiObjects;    // Wine reports 0 for both GUI counts; Windows does not
    DWORD userObjects;
    SIZE_T heapInUse;    // bytes in use in the program heap
    int openHandles;     // counted by probing handle values (Wine's own count is 0)
};

ResourceSnapshot ResourceSnapshotTake();
// Expects a snapshot taken now to equal the one taken before.
void ResourceSnapshotExpectUnchanged(const ResourceSnapshot& before);
int OpenHandleCount();

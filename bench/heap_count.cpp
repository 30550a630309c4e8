// Heap call counting through the executable's import address table: the
// toolkit is linked into this image, so its calls go through these slots.
#include "heap_count.h"

// The slots' symbols: i686 decorates stdcall names with "_" and "@<bytes>".
#ifdef _WIN64
extern "C" void* heapAllocSlot __asm__("__imp_HeapAlloc");
extern "C" void* heapReAllocSlot __asm__("__imp_HeapReAlloc");
#else
extern "C" void* heapAllocSlot __asm__("__imp__HeapAlloc@12");
extern "C" void* heapReAllocSlot __asm__("__imp__HeapReAlloc@16");
#endif

typedef LPVOID(WINAPI* HeapAllocCall)(HANDLE, DWORD, SIZE_T);
typedef LPVOID(WINAPI* HeapReAllocCall)(HANDLE, DWORD, LPVOID, SIZE_T);

static HeapAllocCall g_alloc = nullptr;
static HeapReAllocCall g_realloc = nullptr;
static volatile long g_allocs = 0;
static volatile long g_reallocs = 0;

static LPVOID WINAPI allocCounted(HANDLE heap, DWORD flags, SIZE_T size) {
    InterlockedIncrement(&g_allocs);
    return g_alloc(heap, flags, size);
}

static LPVOID WINAPI reallocCounted(HANDLE heap, DWORD flags, LPVOID block, SIZE_T size) {
    InterlockedIncrement(&g_reallocs);
    return g_realloc(heap, flags, block, size);
}

static bool slotSet(void** slot, void* value) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
    *slot = value;
    DWORD ignored = 0;
    VirtualProtect(slot, sizeof *slot, old, &ignored);  // a slot left writable is harmless
    return true;
}

bool HeapCountStart() {
    if (g_alloc) return true;
    g_alloc = reinterpret_cast<HeapAllocCall>(heapAllocSlot);
    g_realloc = reinterpret_cast<HeapReAllocCall>(heapReAllocSlot);
    return slotSet(&heapAllocSlot, reinterpret_cast<void*>(allocCounted)) &&
           slotSet(&heapReAllocSlot, reinterpret_cast<void*>(reallocCounted));
}

HeapCalls HeapCountRead() { return {g_allocs, g_reallocs}; }

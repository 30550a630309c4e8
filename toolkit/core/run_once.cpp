// Run-once: the system's one-time initialisation when Kernel32 has it, else a
// three-state flag word driven by atomic compare-exchange.
#include "toolkit/core/record_list.h"
#include <windows.h>

typedef BOOL(WINAPI* InitOnceExecuteOnceFn)(PINIT_ONCE, PINIT_ONCE_FN, PVOID, LPVOID*);

static volatile LONG g_fallbackForced = 0;

// The fallback's flag states.
static void* const ONCE_NOT_RUN = reinterpret_cast<void*>(0);
static void* const ONCE_RUNNING = reinterpret_cast<void*>(1);
static void* const ONCE_DONE = reinterpret_cast<void*>(2);

static BOOL CALLBACK onceCallback(PINIT_ONCE, PVOID parameter, PVOID*) {
    void (*function)() = *static_cast<void (**)()>(parameter);
    function();
    return TRUE;
}

static void* flagRead(void** flag) {
    // A compare-exchange that never changes anything is an atomic read.
    return InterlockedCompareExchangePointer(flag, nullptr, nullptr);
}

static void runOnceFallback(void** flag, void (*function)()) {
    void* seen = InterlockedCompareExchangePointer(flag, ONCE_RUNNING, ONCE_NOT_RUN);
    if (seen == ONCE_NOT_RUN) {
        function();
        InterlockedExchangePointer(flag, ONCE_DONE);
        return;
    }
    while (flagRead(flag) != ONCE_DONE) Sleep(0);
}

void RunOnce(void** flag, void (*function)()) {
    if (!flag || !function) return;
    if (!g_fallbackForced) {
        HMODULE kernel = LoadLibraryA("Kernel32.dll");
        InitOnceExecuteOnceFn executeOnce = nullptr;
        if (kernel) {
            executeOnce = reinterpret_cast<InitOnceExecuteOnceFn>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "InitOnceExecuteOnce")));
        }
        if (executeOnce) {
            executeOnce(reinterpret_cast<PINIT_ONCE>(flag), onceCallback, &function, nullptr);
            FreeLibrary(kernel);
            return;
        }
        if (kernel) FreeLibrary(kernel);
    }
    runOnceFallback(flag, function);
}

void RunOnceFallbackForce(int on) {
    InterlockedExchange(&g_fallbackForced, on ? 1 : 0);
}

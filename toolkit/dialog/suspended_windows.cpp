// The list of windows a requester took out of input, newest first. It is
// process-wide and unlocked: each thread touches only the entries it made.
#include "toolkit/dialog/suspended_windows.h"
#include "toolkit/core/record_list.h"
#include <stdint.h>
#include <windows.h>

namespace {
struct SuspendedWindowEntry {
    uint32_t threadId;
    HWND window;
    uint8_t wasTopmost;
    uint8_t disabledHere;
};
}  // namespace

static void* g_suspendedWindows = nullptr;

static SuspendedWindowEntry* entryOf(void* record) {
    return static_cast<SuspendedWindowEntry*>(record);
}

static BOOL CALLBACK windowSuspend(HWND window, LPARAM) {
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (thread != GetCurrentThreadId() || !IsWindowVisible(window)) return TRUE;
    SuspendedWindowEntry* entry = entryOf(
        RecordListAdd(&g_suspendedWindows, sizeof(SuspendedWindowEntry)));
    // A window that cannot be recorded could never be put back, so it is left
    // exactly as it is rather than disabled for good.
    if (!entry) return TRUE;
    entry->threadId = thread;
    entry->window = window;
    if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) entry->wasTopmost = 1;
    if (window != GetForegroundWindow() && IsWindowEnabled(window)) {
        entry->disabledHere = 1;
        EnableWindow(window, FALSE);
    }
    return TRUE;
}

void ThreadWindowsSuspend() {
    EnumWindows(windowSuspend, 0);
    // Only once all are recorded: the dialog has to come above every one of them.
    // Moving a window between the bands must not activate it, or it would
    // take the foreground from the window that is to become the owner.
    DWORD thread = GetCurrentThreadId();
    for (void* r = g_suspendedWindows; r; r = RecordListNext(r)) {
        SuspendedWindowEntry* entry = entryOf(r);
        if (entry->threadId == thread && entry->wasTopmost)
            SetWindowPos(entry->window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

void ThreadWindowsRestore() {
    DWORD thread = GetCurrentThreadId();
    void* record = g_suspendedWindows;
    while (record) {
        void* older = RecordListNext(record);  // taken before the entry is freed
        SuspendedWindowEntry* entry = entryOf(record);
        if (entry->threadId == thread) {
            if (entry->disabledHere) EnableWindow(entry->window, TRUE);
            if (entry->wasTopmost)
                SetWindowPos(entry->window, HWND_TOPMOST, 0, 0, 0, 0,
                             SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
            RecordListRemove(&g_suspendedWindows, record);
        }
        record = older;
    }
}

// Start-up latency and memory of a started program, seen from outside: from
// just before CreateProcessA until its window is visible (and, when a tool
// log is given, the tool has written its line).
#include "bench_driver.h"
#include "support/child.h"
#include "app/tool.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/text.h"
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <string.h>
#include <string>

static const DWORD LIMIT_MS = 20000;

namespace {
struct Search { DWORD process; HWND found; };

BOOL CALLBACK visibleMatch(HWND w, LPARAM lp) {
    Search* s = reinterpret_cast<Search*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != s->process || !IsWindowVisible(w)) return TRUE;
    s->found = w;
    return FALSE;
}

HWND visibleWindow(DWORD process) {
    Search s = {process, nullptr};
    EnumWindows(visibleMatch, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

bool toolLineThere(const char* log) {
    if (!log) return true;
    HANDLE f = CreateFileA(log, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    char buffer[256] = {};
    DWORD got = 0;
    ReadFile(f, buffer, sizeof buffer - 1, &got, nullptr);
    CloseHandle(f);
    return strstr(buffer, "\r\n") != nullptr;
}

double millisecondsSince(LARGE_INTEGER begin) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - begin.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Waits for the window (and the tool's line); null when none came in time.
// windowMs gets the time at which the window alone was first seen.
HWND windowWait(const ChildProcess& child, const char* toolLog, LARGE_INTEGER begin,
                double* windowMs) {
    *windowMs = -1;
    for (DWORD start = GetTickCount(); GetTickCount() - start < LIMIT_MS; Sleep(1)) {
        HWND w = visibleWindow(child.id());
        if (w && *windowMs < 0) *windowMs = millisecondsSince(begin);
        if (w && toolLineThere(toolLog)) return w;
        if (WaitForSingleObject(child.handle(), 0) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

void closeAndWait(const ChildProcess& child, HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(child.handle(), LIMIT_MS);
}
}  // namespace

int LatencyRun(const char* label, const char* commandLine, const char* toolLog, int runs) {
    for (int i = 0; i < runs; ++i) {
        if (toolLog) DeleteFileA(toolLog);
        ChildProcess child;
        LARGE_INTEGER begin;
        QueryPerformanceCounter(&begin);
        if (!child.start(commandLine)) {
            printf("error %s could not start\n", label);
            return 1;
        }
        double windowMs = 0;
        HWND window = windowWait(child, toolLog, begin, &windowMs);
        double ms = millisecondsSince(begin);
        if (!window) {
            printf("error %s showed no window\n", label);
            return 1;
        }
        Sleep(300);  // let it settle into its wait before memory is read
        PROCESS_MEMORY_COUNTERS_EX memory = {};
        memory.cb = sizeof memory;
        BOOL read = GetProcessMemoryInfo(child.handle(),
                                         reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                         sizeof memory);
        printf("latency %s %.3f\n", label, ms);
        printf("window %s %.3f\n", label, windowMs);
        if (read)
            printf("memory %s %llu %llu %llu\n", label,
                   static_cast<unsigned long long>(memory.PeakPagefileUsage),
                   static_cast<unsigned long long>(memory.PrivateUsage),
                   static_cast<unsigned long long>(memory.PeakWorkingSetSize));
        fflush(stdout);
        closeAndWait(child, window);
    }
    return 0;
}

int SpawnRun(const char* commandLine, int runs) {
    for (int i = 0; i < runs; ++i) {
        std::string line = commandLine;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;  // started as saver mode starts the tool
        si.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION info = {};
        LARGE_INTEGER begin;
        QueryPerformanceCounter(&begin);
        BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE,
                                      DETACHED_PROCESS, nullptr, nullptr, &si, &info);
        double ms = millisecondsSince(begin);
        if (!started) {
            printf("error spawn could not start\n");
            return 1;
        }
        printf("spawn tool %.3f\n", ms);
        fflush(stdout);
        WaitForSingleObject(info.hProcess, LIMIT_MS);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    return 0;
}

int ChecksRun(int runs) {
    ProgramHeapSet(HeapCreate(0, 4096, 0));
    TextStart();
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER begin;
        QueryPerformanceCounter(&begin);
        uint32_t missing = ToolReadinessCheck();
        printf("checks %.3f %u\n", millisecondsSince(begin), missing);
    }
    TextEnd();
    return 0;
}

int HoldRun(const char* commandLine, int seconds) {
    ChildProcess child;
    if (!child.start(commandLine)) {
        printf("error could not start\n");
        return 1;
    }
    LARGE_INTEGER begin;
    QueryPerformanceCounter(&begin);
    double windowMs = 0;
    HWND window = windowWait(child, nullptr, begin, &windowMs);
    if (!window) {
        printf("error no window\n");
        return 1;
    }
    printf("ready %lu\n", static_cast<unsigned long>(child.id()));
    fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    printf("done\n");
    fflush(stdout);
    closeAndWait(child, window);
    return 0;
}

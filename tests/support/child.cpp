// Child processes for end-to-end tests, with time limits, and the stand-in
// tool's log.
#include "support/child.h"
#include <tlhelp32.h>
#include <algorithm>
#include <vector>

std::string TestBinDir() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    size_t slash = dir.find_last_of('\\');
    return slash == std::string::npos ? std::string(".\\") : dir.substr(0, slash + 1);
}

std::string ScrCommand(const std::string& arguments) {
    std::string line = "\"" + TestBinDir() + "Somnaro.scr\"";
    if (!arguments.empty()) line += " " + arguments;
    return line;
}

ChildProcess::~ChildProcess() {
    if (info_.hProcess) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
    }
    if (info_.hThread) CloseHandle(info_.hThread);
}

bool ChildProcess::start(const std::string& commandLine, const char* directory) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory, &si, &info_) != 0;
}

void MessagesPump(DWORD ms, HANDLE until) {
    const DWORD begin = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const DWORD spent = GetTickCount() - begin;
        if (spent >= ms) return;
        const DWORD count = until ? 1 : 0;
        if (MsgWaitForMultipleObjects(count, &until, FALSE, ms - spent, QS_ALLINPUT) ==
            WAIT_OBJECT_0)
            return;
    }
}

bool ChildProcess::wait(DWORD timeoutMs) {
    if (!info_.hProcess) return false;
    // A child may ask the test's own windows something (a requester they
    // own disables and enables them): answered while waiting.
    MessagesPump(timeoutMs, info_.hProcess);
    if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(info_.hProcess, &exitCode_);
    return true;
}

DWORD ChildRunExitCode(const std::string& commandLine, DWORD timeoutMs) {
    ChildProcess child;
    if (!child.start(commandLine)) return 0xDEADBEEF;
    return child.wait(timeoutMs) ? child.exitCode() : 0xDEADBEEF;
}

namespace {
struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK windowMatch(HWND w, LPARAM lp) {
    WindowSearch* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != s->processId || !IsWindowVisible(w)) return TRUE;
    char name[256] = {};
    GetClassNameA(w, name, sizeof name);
    if (s->className[0] && lstrcmpA(name, s->className) != 0) return TRUE;
    s->found = w;
    return FALSE;
}
}  // namespace

HWND ProcessWindowWait(DWORD processId, const char* className, DWORD timeoutMs) {
    DWORD begin = GetTickCount();
    do {
        WindowSearch s = {processId, className, nullptr};
        EnumWindows(windowMatch, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        MessagesPump(20, nullptr);
    } while (GetTickCount() - begin < timeoutMs);
    return nullptr;
}

HWND ChildWindowWait(HWND parent, const char* className, DWORD timeoutMs) {
    DWORD begin = GetTickCount();
    do {
        if (HWND found = FindWindowExA(parent, nullptr, className, nullptr)) return found;
        MessagesPump(20, nullptr);
    } while (GetTickCount() - begin < timeoutMs);
    return nullptr;
}

static std::string toolLogPath() {
    return TestBinDir() + "psshutdown-test.log";
}

void ToolPlace(bool present) {
    char windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryA(windows, MAX_PATH);
    std::string placed = std::string(windows) + "\\psshutdown.exe";
    // A copy still running from an earlier test keeps the file; it is the same.
    if (present) CopyFileA((TestBinDir() + "psshutdown.exe").c_str(), placed.c_str(), FALSE);
    else DeleteFileA(placed.c_str());
}

void ToolLogUse() {
    ToolPlace(true);
    std::string path = toolLogPath();
    SetEnvironmentVariableA("PSSHUTDOWN_LOG", path.c_str());
    DeleteFileA(path.c_str());
}

std::string FileText(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
    CloseHandle(f);
    return text;
}

std::string ToolLogRead() { return FileText(toolLogPath()); }

std::string ToolLogWait(size_t lines, DWORD timeoutMs) {
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < timeoutMs; Sleep(20)) {
        std::string log = ToolLogRead();
        if (static_cast<size_t>(std::count(log.begin(), log.end(), '\n')) >= lines) break;
    }
    Sleep(300);
    return ToolLogRead();
}

static bool toolRunning() {
    HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (all == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(all, &entry); more && !found;
         more = Process32Next(all, &entry))
        found = lstrcmpiA(entry.szExeFile, "psshutdown.exe") == 0;
    CloseHandle(all);
    return found;
}

std::string ToolLogSettled(DWORD timeoutMs) {
    for (DWORD begin = GetTickCount(); toolRunning() && GetTickCount() - begin < timeoutMs;)
        Sleep(20);
    return ToolLogRead();
}

std::string StoredDelay() {
    char text[1024] = {};
    DWORD size = sizeof text;
    return RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Veltrix\\Somnaro", "HibernateDelay",
                        RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS ? text : "<none>";
}

HWND SettingsDialogOpen(ChildProcess& child, DWORD timeoutMs, const std::string& arguments) {
    const int OK_BUTTON = 1000;
    if (!child.start(ScrCommand(arguments))) return nullptr;
    HWND dialog = ProcessWindowWait(child.id(), "InputRequester", timeoutMs);
    for (DWORD begin = GetTickCount(); dialog && !GetDlgItem(dialog, OK_BUTTON); MessagesPump(10, nullptr))
        if (GetTickCount() - begin > timeoutMs) return nullptr;
    return dialog;
}

// Child processes for end-to-end tests: started with a time limit, never left
// running, and the stand-in tool's log and the delay they leave behind.
#pragma once
#include <windows.h>
#include <string>

// The folder of the running test program, ending in a backslash; the built
// Somnaro.scr and the stand-in psshutdown.exe lie there.
std::string TestBinDir();

// A command line that starts the built Somnaro.scr with the given arguments.
std::string ScrCommand(const std::string& arguments);

// Answers the messages of the test thread's own windows for up to ms, or
// until the handle (null for none) is signalled.
void MessagesPump(DWORD ms, HANDLE until);

class ChildProcess {                 // one started process; ended if still running
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();
    // In the given current folder, or the caller's own when null.
    bool start(const std::string& commandLine, const char* directory = nullptr);
    // True when the process ended within the limit; its exit code is kept.
    bool wait(DWORD timeoutMs);
    DWORD exitCode() const { return exitCode_; }
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }
private:
    PROCESS_INFORMATION info_ = {};
    DWORD exitCode_ = 0xDEADBEEF;
};

// Starts a command line and waits for its end; the exit code, or 0xDEADBEEF
// when it could not start or did not end in time (it is then ended).
DWORD ChildRunExitCode(const std::string& commandLine, DWORD timeoutMs);

// A visible top-level window of the process with that class ("" for any),
// waited for up to the limit; null when none came.
HWND ProcessWindowWait(DWORD processId, const char* className, DWORD timeoutMs);

// Starts the built Somnaro.scr with arguments ("/c" unless given) and waits
// for its requester with all its controls (the OK button is made last); null
// when none came in time.
HWND SettingsDialogOpen(ChildProcess& child, DWORD timeoutMs, const std::string& arguments = "/c");

// A child window of that class in the parent (a window shows before its
// controls are made), waited for up to the limit; null when none came.
HWND ChildWindowWait(HWND parent, const char* className, DWORD timeoutMs);

// A file's whole text; "" when it cannot be read.
std::string FileText(const std::string& path);

// The stand-in tool writes to this log (through PSSHUTDOWN_LOG, which child
// processes inherit). ToolLogUse empties it and puts the stand-in where the
// saver looks for the real tool, the Windows folder; ToolLogRead reads it whole.
void ToolLogUse();
// The stand-in's copy in the Windows folder, put there or taken away.
void ToolPlace(bool present);
std::string ToolLogRead();
// The tool runs detached: waits until its log holds that many lines (or the
// limit passes), then a little longer so that a line too many would show as
// well, and returns the log.
std::string ToolLogWait(size_t lines, DWORD timeoutMs);

// Waits until no psshutdown.exe runs any more (or the limit passes), then
// returns the log: a tool started before the call has written its line by
// then, so an empty log shows that none was started.
std::string ToolLogSettled(DWORD timeoutMs);

// The delay stored under HKLM\SOFTWARE\Veltrix\Somnaro, as text; "<none>"
// when there is no such value.
std::string StoredDelay();

// A child for the launch tests: writes how it was started (command line,
// directory, startup record, standard handles) to %LAUNCH_PROBE_REPORT%.
//   --handle=H  reset the event of handle value H (hex), if it was inherited
//   --echo      copy standard input, to its end, to output and error
//   --sleep=N   sleep N ms before ending
#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include <string>

static const char* kindOf(HANDLE h) {
    if (!h) return "none";
    DWORD type = GetFileType(h);
    return type == FILE_TYPE_PIPE ? "pipe" : type == FILE_TYPE_DISK ? "disk" : "other";
}

int main() {
    const char* line = GetCommandLineA();
    char text[MAX_PATH + 64];
    std::string report = std::string("line=") + line + "\n";
    GetCurrentDirectoryA(MAX_PATH, text);
    report += std::string("dir=") + text + "\n";
    STARTUPINFOA startup = {};
    GetStartupInfoA(&startup);
    wsprintfA(text, "startup=%lx,%u\nstd=%s,%s,%s\n", startup.dwFlags, startup.wShowWindow,
              kindOf(GetStdHandle(STD_INPUT_HANDLE)), kindOf(GetStdHandle(STD_OUTPUT_HANDLE)),
              kindOf(GetStdHandle(STD_ERROR_HANDLE)));
    report += text;
    if (const char* h = strstr(line, "--handle=")) {
        uintptr_t value = static_cast<uintptr_t>(strtoull(h + 9, nullptr, 16));
        report += ResetEvent(reinterpret_cast<HANDLE>(value)) ? "reset=1\n" : "reset=0\n";
    }
    if (strstr(line, "--echo")) {
        std::string data;
        DWORD got = 0;
        while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), text, 64, &got, nullptr) && got)
            data.append(text, got);
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), ("out:" + data).c_str(), 4 + data.size(), &written, nullptr);
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), ("err:" + data).c_str(), 4 + data.size(), &written, nullptr);
    }
    report += "end\n";
    if (GetEnvironmentVariableA("LAUNCH_PROBE_REPORT", text, MAX_PATH)) {
        HANDLE file = CreateFileA(text, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
        CloseHandle(file);
    }
    if (const char* s = strstr(line, "--sleep=")) Sleep(strtoul(s + 8, nullptr, 10));
    return 0;
}

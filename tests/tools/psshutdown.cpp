// Stand-in for the outside hibernation tool: appends the command line it was
// given, exactly as it arrived, as one line to a log and exits 0. It never
// hibernates anything.
#include <windows.h>
#include <string.h>

int main() {
    char path[MAX_PATH + 32];
    DWORD got = GetEnvironmentVariableA("PSSHUTDOWN_LOG", path, MAX_PATH);
    if (got == 0 || got >= MAX_PATH) {
        // Default: psshutdown.log beside this program.
        DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return 0;
        char* slash = strrchr(path, '\\');
        strcpy(slash ? slash + 1 : path, "psshutdown.log");
    }
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 0;
    const char* line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(log, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    WriteFile(log, "\r\n", 2, &written, nullptr);
    CloseHandle(log);
    return 0;
}

// A file that a web page could leave beside the saver or in its current
// folder: built as each DLL the saver loads by name and as psshutdown.exe.
// When it runs it only appends its name to %PLANTED_LOG%, so that a test can
// tell it ran (Wine names its own DLL by the planted file's path, so the path
// of a loaded module tells nothing).
#include <windows.h>
#include <string.h>

static void markWrite() {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("PLANTED_LOG", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) lstrcpyA(path, "C:\\planted.log");
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    const char line[] = PLANTED_NAME "\r\n";
    DWORD written = 0;
    WriteFile(log, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    CloseHandle(log);
}

#ifdef PLANTED_PROGRAM
int main() {
    markWrite();
    return 0;
}
#else
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) markWrite();
    return TRUE;
}
#endif

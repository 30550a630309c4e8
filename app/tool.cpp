// The outside tool that hibernates the computer: started hidden by name with
// a parameter text, or, when it is nowhere Somnaro looks, a message that says
// so and where to put it.
#include "app/modes.h"
#include "toolkit/core/text.h"
#include "toolkit/process/programs.h"
#include <windows.h>

static const char TOOL[] = "psshutdown";

static void toolMissingSay() {
    char windows[MAX_PATH];
    UINT length = GetSystemWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) lstrcpyA(windows, "C:\\Windows");
    char text[MAX_PATH + 400];
    wsprintfA(text,
              "Somnaro cannot find psshutdown.exe, so it cannot hibernate this computer "
              "or cancel a hibernation.\r\n\r\n"
              "It looks only in the system folder, the Windows folder and the folders on "
              "the PATH. Put psshutdown.exe into %s, then run it once from a command "
              "prompt to accept its licence.",
              windows);
    MessageBoxA(nullptr, text, "Somnaro v0.5", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

void ToolRun(const char* parameters) {
    if (ProgramRun(TOOL, parameters, "", RUN_HIDDEN)) return;
    // A tool that is there but would not start has been handed to the
    // shell, which has said why; only a missing one is told of here.
    uint32_t at = WorkspacePosition();
    ProgramFind(TOOL, at);
    bool missing = !WorkspaceAt(at)[0];
    WorkspacePositionSet(at);
    if (missing) toolMissingSay();
}

// The whole main program: prepare, start the toolkit, run the mode that the
// first parameter names, shut down, and end with exit code 0.
#include "app/globals.h"
#include "app/modes.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/system_libraries.h"
#include "toolkit/core/text.h"
#include "toolkit/core/toolkit_chain.h"
#include "toolkit/process/parameters.h"
#include <string.h>

ProgramGlobals g_program;

static void modeDispatch() {
    uint32_t at = WorkspacePosition();
    ParameterNext(at);
    TextLeft(WorkspaceAt(at), 2, at);  // built over its own source
    TextStore(&g_program.modeText, at);

    // Each test is made on its own; no branch changes the mode text.
    if (TextEqual(g_program.modeText, "/s")) SaverModeRun();
    if (TextEqual(g_program.modeText, "/c")) ConfigureModeRun();
    if (TextEqual(g_program.modeText, "/p")) { /* preview shows nothing */ }
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before any DLL is loaded by name: a DLL of the same name lying beside
    // the saver (Windows may run it from the Downloads folder) must never be
    // loaded into it. Where the system cannot restrict the search, go on.
    DllSearchRestrict();
    memset(&g_program, 0, sizeof g_program);
    g_program.instance = GetModuleHandleA(nullptr);
    g_program.heap = HeapCreate(0, 4096, 0);
    // Without the program heap no toolkit module can stand: end quietly.
    if (!g_program.heap) ExitProcess(0);
    ProgramHeapSet(g_program.heap);

    ToolkitStart();
    modeDispatch();
    ToolkitEnd();

    HeapDestroy(g_program.heap);
    ExitProcess(0);
}

// The whole main program: prepare, start the toolkit, run the mode that the
// first parameter names, shut down, and end with exit code 0.
#include "app/globals.h"
#include "app/modes.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/system_libraries.h"
#include "toolkit/core/text.h"
#include "toolkit/core/toolkit_chain.h"
#include "toolkit/process/parameters.h"
#include "toolkit/window/windows.h"
#include <string.h>

ProgramGlobals g_program;

namespace {
// The command lines Windows starts a screen saver with: "/S" from Explorer's
// Test, "/c:####" from the Settings button, "/p ####" for the small preview
// screen, and none at all from Explorer's Configure. The window ####, where
// one is named, is passed on.
struct Mode {
    const char* text;  // the first two characters, in lower case
    void (*run)(HWND window);
};
}  // namespace

static void saverRun(HWND) { SaverModeRun(); }

static const Mode MODES[] = {
    {"/s", saverRun},
    {"/c", ConfigureModeRun},
    {"/p", PreviewModeRun},
};

// Only ASCII letters change: "/S" and "/s" are one mode in every code page.
static void modeLower(char* text) {
    for (char* c = text; *c; ++c)
        if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
}

// The window named after the mode: "/c:####" in the same parameter, else the
// next parameter, as in "/p ####"; null when neither names a window.
static HWND modeWindow(const char* parameter) {
    const uint32_t length = TextLength(parameter);
    const char* rest = parameter + (length < 2 ? length : 2);
    if (*rest == ':') ++rest;
    if (*rest) return WindowFromText(rest);
    uint32_t at = WorkspacePosition();
    ParameterNext(at);
    HWND window = WindowFromText(WorkspaceAt(at));
    WorkspacePositionSet(at);
    return window;
}

static void modeDispatch() {
    // The index moves only past a parameter that is there: an empty one in
    // quotes is a parameter, and names no mode.
    const int32_t first = *ParameterIndex();
    uint32_t at = WorkspacePosition();
    ParameterNext(at);
    if (*ParameterIndex() == first) {
        WorkspacePositionSet(at);
        ConfigureModeRun(nullptr);
        return;
    }
    TextOwner parameter;
    TextStore(parameter.slot(), at);
    TextLeft(parameter.get(), 2, at);
    TextStore(&g_program.modeText, at);
    if (g_program.modeText) modeLower(g_program.modeText);

    for (const Mode& mode : MODES) {
        if (!TextEqual(g_program.modeText, mode.text)) continue;
        mode.run(modeWindow(parameter.get()));
        return;
    }
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

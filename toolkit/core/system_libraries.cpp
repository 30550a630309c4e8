// DLLs from the system folder only. Windows looks for a DLL that is not one of
// its KnownDLLs in the program's own folder first, so comctl32 and winmm are
// not imported but loaded here, by full path or through the manifest's
// redirection, and loads by name are cut down to the system folder before
// anything else runs.
#include "toolkit/core/system_libraries.h"
#include <commctrl.h>
#include <string.h>

namespace {
typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI* InitCommonControlsExFn)(const INITCOMMONCONTROLSEX*);
const DWORD SEARCH_SYSTEM32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
const char COMMON_CONTROLS[] = "comctl32.dll";

HMODULE g_commonControls = nullptr;  // kept: the controls live in it
}  // namespace

int DllSearchRestrict() {
    // Kernel32 is loaded in every process; looking the call up loads nothing.
    auto setDirectories = LibraryEntry<SetDefaultDllDirectoriesFn>(
        GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    return setDirectories && setDirectories(SEARCH_SYSTEM32) ? 1 : 0;
}

HMODULE SystemLibraryLoad(const char* name) {
    char path[MAX_PATH];
    UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    size_t length = strlen(name);
    if (folder == 0 || folder + 1 + length >= MAX_PATH) return nullptr;
    path[folder] = '\\';
    memcpy(path + folder + 1, name, length + 1);
    return LoadLibraryExA(path, nullptr, 0);
}

// The program's manifest asks for version 6 of the common controls, which
// lives in Windows' side-by-side store: only a load by name is redirected
// there, and the loader then takes that copy before it searches any folder.
// Where nothing redirects the name (no manifest honoured), still only the
// system folder's copy, as for every other library here.
static HMODULE commonControlsLoad() {
    ACTCTX_SECTION_KEYED_DATA found = {};
    found.cbSize = sizeof found;
    if (FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                 COMMON_CONTROLS, &found))
        return LoadLibraryA(COMMON_CONTROLS);
    return SystemLibraryLoad(COMMON_CONTROLS);
}

int CommonControlsInit(DWORD classes) {
    if (!g_commonControls) g_commonControls = commonControlsLoad();
    auto init = LibraryEntry<InitCommonControlsExFn>(g_commonControls, "InitCommonControlsEx");
    INITCOMMONCONTROLSEX record = {sizeof record, classes};
    return init && init(&record) ? 1 : 0;
}

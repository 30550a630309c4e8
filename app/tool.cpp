// The outside tool that hibernates the computer. A psshutdown started where it
// cannot hibernate does worse than nothing: without its licence it waits,
// hidden, for an answer nobody gives, and the cancel window would promise a
// hibernation that never comes. So saver mode asks first what the tool needs,
// reading it where the tool and Windows keep it, and says what is missing.
#include "app/tool.h"
#include "registry/registry.h"
#include "toolkit/core/system_libraries.h"
#include "toolkit/core/text.h"
#include "toolkit/process/programs.h"
#include <windows.h>

namespace {
const char TOOL[] = "psshutdown";
const char EULA_VALUE[] = "EulaAccepted";
// Accepting the tool's licence dialog writes the first; the second accepts
// for every tool of its maker, for this account.
const char* const EULA_ACCOUNT_KEYS[] = {"Software\\Sysinternals\\PsShutdown",
                                         "Software\\Sysinternals"};
// An administrator's acceptance for every account of the computer.
const char EULA_MACHINE_KEY[] = "Software\\Sysinternals";
// `powercfg /hibernate off` leaves 0 here.
const char POWER_KEY[] = "SYSTEM\\CurrentControlSet\\Control\\Power";
// The session at the computer's own screen, where Windows keeps it.
const char TERMINAL_SERVER_KEY[] = "SYSTEM\\CurrentControlSet\\Control\\Terminal Server";

typedef BOOLEAN(WINAPI* GetPwrCapabilitiesFn)(PSYSTEM_POWER_CAPABILITIES);

bool toolFound() {
    uint32_t at = WorkspacePosition();
    ProgramFind(TOOL, at);
    bool found = WorkspaceAt(at)[0] != 0;
    WorkspacePositionSet(at);
    return found;
}

bool accepted(HKEY top, const char* path, REGSAM view) {
    uint32_t value = 0;
    return RegistryDwordGet(top, path, EULA_VALUE, &value, view) && value != 0;
}

bool licenceAccepted() {
    for (const char* path : EULA_ACCOUNT_KEYS)
        if (accepted(HKEY_CURRENT_USER, path, 0)) return true;
    // The tool reads the machine's value in the 64-bit view, so a copy under
    // WOW6432Node does not count; 32-bit Windows has one view and ignores
    // the flag.
    return accepted(HKEY_LOCAL_MACHINE, EULA_MACHINE_KEY, KEY_WOW64_64KEY);
}

// The installer judges by the same rule: the power API must report S4 and
// the hibernation file, and HibernateEnabled, where set, must not be 0.
bool hibernationReady() {
    // Not one of Windows' KnownDLLs: from the system folder only.
    LibraryOwner power(SystemLibraryLoad("powrprof.dll"));
    auto capabilities = power.entry<GetPwrCapabilitiesFn>("GetPwrCapabilities");
    SYSTEM_POWER_CAPABILITIES found = {};
    if (!capabilities || !capabilities(&found) || !found.SystemS4 || !found.HiberFilePresent)
        return false;
    uint32_t enabled = 1;
    return !RegistryDwordGet(HKEY_LOCAL_MACHINE, POWER_KEY, "HibernateEnabled", &enabled) ||
           enabled != 0;
}
// Windows starts an account's screen saver in its Remote Desktop session too,
// and a hibernated computer drops whoever is connected, with no way to wake
// it from afar. The metric says so for an ordinary remote session; a RemoteFX
// session reports itself local there, and only differs from the console's
// session, which Windows names here. No value, or no number: local.
bool sessionRemote() {
    if (GetSystemMetrics(SM_REMOTESESSION)) return true;
    uint32_t console = 0;
    DWORD own = 0;
    if (!RegistryDwordGet(HKEY_LOCAL_MACHINE, TERMINAL_SERVER_KEY, "GlassSessionId", &console))
        return false;
    return ProcessIdToSessionId(GetCurrentProcessId(), &own) && own != console;
}
}  // namespace

uint32_t ToolReadinessCheck() {
    uint32_t missing = 0;
    if (!toolFound()) missing |= TOOL_NOT_FOUND;
    if (!licenceAccepted()) missing |= TOOL_LICENCE_OPEN;
    if (!hibernationReady()) missing |= TOOL_HIBERNATION_OFF;
    if (sessionRemote()) missing |= TOOL_REMOTE_SESSION;
    return missing;
}

void ToolReadinessSay(uint32_t missing) {
    char windows[MAX_PATH];
    UINT length = GetSystemWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) lstrcpyA(windows, "C:\\Windows");
    // Each part below is shorter than 300 characters, the folder included.
    char text[MAX_PATH + 1500];
    lstrcpyA(text, "Somnaro cannot hibernate this computer, so it has not started psshutdown, "
                   "and no hibernation is scheduled.");
    if (missing & TOOL_NOT_FOUND) {
        lstrcatA(text, "\r\n\r\nSomnaro cannot find psshutdown.exe. It looks only in the system "
                       "folder, the Windows folder and the folders on the PATH. Put "
                       "psshutdown.exe into ");
        lstrcatA(text, windows);
        lstrcatA(text, ".");
    }
    if (missing & TOOL_LICENCE_OPEN)
        lstrcatA(text, "\r\n\r\nThe psshutdown licence is not accepted by this account. Run "
                       "psshutdown once from a command prompt and accept its licence.");
    if (missing & TOOL_HIBERNATION_OFF)
        lstrcatA(text, "\r\n\r\nHibernation is off or not available. To switch it on, run this "
                       "in a command prompt opened as administrator:\r\n    powercfg /hibernate on");
    if (missing & TOOL_REMOTE_SESSION)
        lstrcatA(text, "\r\n\r\nThis is a Remote Desktop session. Somnaro does not hibernate a "
                       "computer from one, since whoever is connected would be cut off until "
                       "someone wakes the computer by hand. Sign out or disconnect instead, and "
                       "let the computer's own power settings put it to sleep once nobody is "
                       "connected.");
    MessageBoxA(nullptr, text, "Somnaro v0.5", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

void ToolRun(const char* parameters) {
    // Whether it could be started changes nothing: the saver goes on.
    ProgramRun(TOOL, parameters, "", RUN_HIDDEN);
}

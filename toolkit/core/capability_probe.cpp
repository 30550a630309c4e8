// What the system can draw: msimg32's alpha blending, held until shut-down,
// and whether themed drawing is possible on this system version.
#include "toolkit/core/capability_probe.h"
#include "toolkit/core/system_libraries.h"
#include <string.h>

namespace {
struct Capabilities {
    HMODULE msimg32;
    FARPROC alphaBlend;
    int32_t visualStyles;
};
Capabilities g_caps = {};

struct VersionInfo {        // DllGetVersion's record, 20 bytes
    DWORD size, major, minor, build, platform;
};
typedef HRESULT(CALLBACK* DllGetVersionFn)(VersionInfo*);
typedef BOOL(WINAPI* IsAppThemedFn)();

uint32_t commonControlsVersion() {
    uint32_t version = 1;
    LibraryOwner comctl(LoadLibraryA("COMCTL32.DLL"));
    DllGetVersionFn get = comctl.entry<DllGetVersionFn>("DllGetVersion");
    if (get) {
        VersionInfo info;
        memset(&info, 0, sizeof info);
        info.size = sizeof info;
        if (get(&info) >= 0) version = info.major * 65536 + info.minor;
    }
    return version;
}

int32_t themedTest() {
    uint32_t version = commonControlsVersion();
    LibraryOwner uxtheme(LoadLibraryA("uxtheme.dll"));
    IsAppThemedFn themed = uxtheme.entry<IsAppThemedFn>("IsAppThemed");
    return CapabilityThemedDecide(version, themed ? (themed() ? 1 : 0) : -1);
}
}  // namespace

int32_t CapabilityVersionAllowsThemes(const OSVERSIONINFOA* v) {
    if (!v) return 1;
    if (v->dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return 0;
    if (v->dwPlatformId == VER_PLATFORM_WIN32_NT)
        return v->dwMajorVersion < 5 || (v->dwMajorVersion == 5 && v->dwMinorVersion == 0) ? 0 : 1;
    return 1;
}

int32_t CapabilityThemedDecide(uint32_t commonControlsVersion, int32_t appThemed) {
    return appThemed == 1 && commonControlsVersion >= 0x60000 ? 1 : 0;
}

void CapabilityProbeStart() {
    g_caps.msimg32 = LoadLibraryA("msimg32.dll");
    if (g_caps.msimg32) g_caps.alphaBlend = GetProcAddress(g_caps.msimg32, "AlphaBlend");
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = 148;
    // GetVersionExA is deprecated but is exactly the question asked here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL got = GetVersionExA(&version);
#pragma GCC diagnostic pop
    g_caps.visualStyles = CapabilityVersionAllowsThemes(got ? &version : nullptr);
    if (g_caps.visualStyles == 1) g_caps.visualStyles = themedTest();
}

void CapabilityProbeEnd() {
    FreeLibrary(g_caps.msimg32);  // null is harmless: the call just fails
    g_caps = Capabilities{};
}

HMODULE CapabilityAlphaBlendModule() { return g_caps.msimg32; }
FARPROC CapabilityAlphaBlend() { return g_caps.alphaBlend; }
int32_t CapabilityVisualStyles() { return g_caps.visualStyles; }

// The preparation shared by all registry procedures, and the two key
// operations: does a key exist, and make sure that it does.
#include "registry/registry.h"
#include "registry/registry_root.h"
#include "toolkit/core/text.h"

// Both texts are copied before anything is built in the workspace: a caller
// may hand over texts that lie in it, and growing it may move them.
RegistryRoot::RegistryRoot(HKEY top, const char* path, const char* host)
    : path_(path), host_(host) {
    uint32_t scratch = WorkspacePosition();
    TextLeft(path_.get(), 1, scratch);
    int leading = TextEqual(WorkspaceAt(scratch), "\\");
    WorkspacePositionSet(scratch);
    if (leading) {
        TextMid(path_.get(), 2, scratch);
        TextStore(path_.slot(), scratch);
    }
    if (!TextEqual(host_.get(), "")) {
        HKEY remote = nullptr;
        // On failure the top key becomes 0 and nothing is left to close.
        top = RegConnectRegistryA(host_.get(), top, &remote) == ERROR_SUCCESS ? remote
                                                                             : nullptr;
    }
    if (top) *top_.receive() = top;
}

int RegistryKeyExists(HKEY top, const char* path, const char* host) {
    RegistryRoot root(top, path, host);       // closed last
    if (!root.top()) return 0;
    KeyOwner key;                             // closed first
    return RegOpenKeyExA(root.top(), root.path(), 0, KEY_READ, key.receive()) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

int RegistryKeyCreate(HKEY top, const char* path, const char* host) {
    RegistryRoot root(top, path, host);
    if (!root.top()) return 0;
    // All three fields zero: the key gets the system's default security.
    SECURITY_ATTRIBUTES security = {};
    KeyOwner key;
    DWORD disposition = 0;  // created or opened: both count as there
    return RegCreateKeyExA(root.top(), root.path(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, &security, key.receive(), &disposition) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

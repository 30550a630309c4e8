// Registry virtualization switched off for a scope, so that a read under
// HKEY_LOCAL_MACHINE\SOFTWARE sees the machine's own keys and no user's copy.
#pragma once
#include "toolkit/process/handle_owner.h"
#include <windows.h>

// A 32-bit program without a manifest, run by a user, has its reads under
// HKEY_LOCAL_MACHINE\SOFTWARE merged with that user's VirtualStore, where a
// value wins over the machine's. While this owner lives, the process reads
// the machine's keys only; when it goes, virtualization is on again as it was.
// Where it cannot be switched off, nothing is changed.
class VirtualizationPause {
public:
    VirtualizationPause() noexcept;
    VirtualizationPause(const VirtualizationPause&) = delete;
    VirtualizationPause& operator=(const VirtualizationPause&) = delete;
    ~VirtualizationPause();
private:
    HandleOwner token_;           // the process's token, closed last
    bool paused_ = false;         // switched off here, so switched on again
};

// Registry virtualization of the process switched off and back on through its
// token; only the token's owner and the one flag are touched.
#include "registry/virtualization_pause.h"

static int virtualizationSet(HANDLE token, DWORD enabled) {
    return SetTokenInformation(token, TokenVirtualizationEnabled, &enabled, sizeof enabled) ? 1
                                                                                             : 0;
}

// Every failure leaves the process as it was and the caller reads anyway.
// Before Vista there is no such token class, and no VirtualStore either. Where
// the token cannot be asked or changed, a read with virtualization on still
// finds the machine's value unless a user has put a copy in the way; not
// reading at all would ignore the machine's value for everybody.
VirtualizationPause::VirtualizationPause() noexcept {
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_DEFAULT,
                          token_.receive()))
        return;
    DWORD enabled = 0;
    DWORD size = 0;
    if (!GetTokenInformation(token_.get(), TokenVirtualizationEnabled, &enabled,
                             sizeof enabled, &size) ||
        !enabled)
        return;
    paused_ = virtualizationSet(token_.get(), 0) == 1;
}

// Switched on again because the Settings dialog's write to the machine's key
// relies on it: without it a user's write there is refused. Should this fail,
// that write fails and leaves the old setting, as any failed write does.
VirtualizationPause::~VirtualizationPause() {
    if (paused_) virtualizationSet(token_.get(), 1);
}

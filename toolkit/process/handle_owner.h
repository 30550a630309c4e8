// One kernel handle owned by a scope: closed when the scope ends, unless it was
// handed on with release(). Null and INVALID_HANDLE_VALUE are never closed.
#pragma once
#include <windows.h>

class HandleOwner {
public:
    HandleOwner() = default;
    explicit HandleOwner(HANDLE handle) noexcept : handle_(handle) {}
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;
    ~HandleOwner() { reset(); }

    HANDLE get() const noexcept { return handle_; }
    HANDLE* receive() noexcept { reset(); return &handle_; }
    // Gives up ownership: the caller now closes the handle (or keeps it).
    HANDLE release() noexcept { HANDLE h = handle_; handle_ = nullptr; return h; }
    // Takes a handle in place of the one held, which is closed first.
    void take(HANDLE handle) noexcept { reset(); handle_ = handle; }
    void reset() noexcept {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

// What every registry procedure holds while it runs: its copy of the key path
// and the top key it works from, both given up when the procedure returns.
#pragma once
#include "toolkit/core/text.h"
#include <windows.h>

class KeyOwner {                  // one HKEY, predefined ones too; not copyable
public:
    KeyOwner() = default;
    KeyOwner(const KeyOwner&) = delete;
    KeyOwner& operator=(const KeyOwner&) = delete;
    ~KeyOwner() { reset(); }
    HKEY get() const { return key_; }
    HKEY* receive() { reset(); return &key_; }
    void reset() {
        if (key_) RegCloseKey(key_);  // nothing to do with a failed close
        key_ = nullptr;
    }
private:
    HKEY key_ = nullptr;
};

// The shared preparation of a key triple. The path loses one leading
// backslash; a computer name other than "" replaces the top key by a
// connection to that computer's registry. top() is null when the procedure
// must fail at once; otherwise that key is closed when the root goes, also
// when it is a predefined key.
class RegistryRoot {
public:
    RegistryRoot(HKEY top, const char* path, const char* host);
    RegistryRoot(const RegistryRoot&) = delete;
    RegistryRoot& operator=(const RegistryRoot&) = delete;
    HKEY top() const { return top_.get(); }
    const char* path() const { return path_.get(); }
private:
    TextOwner path_;
    TextOwner host_;
    KeyOwner top_;                // declared last: closed before the texts go
};

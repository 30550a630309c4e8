// Registry values as text: read and rendered by their type, written as text
// or as a 32-bit number, into a key that must exist or is made first, and
// removed.
#include "registry/registry.h"
#include "registry/registry_root.h"
#include "toolkit/core/text.h"

// Data longer than this cannot be read and give "".
static const DWORD READ_SIZE = 255;
static const DWORD DWORD_SIZE = 4;

static void emptyDeliver(uint32_t at) { *WorkspaceReserve(0, at) = 0; }

// REG_SZ and REG_MULTI_SZ: the data as zero-ended text, one byte short of the
// reported size. The byte after the offered ones is always zero, so data
// without a terminating zero never lead the reading past the buffer.
static void stringRender(HKEY key, const char* name, char (&buffer)[READ_SIZE + 1],
                         DWORD size, uint32_t at) {
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        emptyDeliver(at);
        return;
    }
    TextLeft(buffer, static_cast<int32_t>(size) - 1, at);
}

// REG_DWORD: the number taken as signed. At most 4 bytes are offered, so data
// longer than that fail the read and render as "0", like any failed read.
static void numberRender(HKEY key, const char* name, DWORD size, uint32_t at) {
    uint32_t number = 0;
    DWORD type = 0;
    DWORD offered = size < DWORD_SIZE ? size : DWORD_SIZE;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number),
                         &offered) != ERROR_SUCCESS)
        number = 0;
    IntegerToText(static_cast<int32_t>(number), at);
}

void RegistryValueGet(HKEY top, const char* path, const char* name, const char* host,
                      uint32_t at, REGSAM view) {
    TextOwner valueName(name);
    RegistryRoot root(top, path, host);
    if (!root.top()) return emptyDeliver(at);
    KeyOwner key;
    if (RegOpenKeyExA(root.top(), root.path(), 0, KEY_READ | view, key.receive()) !=
        ERROR_SUCCESS)
        return emptyDeliver(at);
    char buffer[READ_SIZE + 1] = {};
    DWORD type = 0;
    DWORD size = READ_SIZE;
    if (RegQueryValueExA(key.get(), valueName.get(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return emptyDeliver(at);
    switch (type) {
    case REG_SZ:
    case REG_MULTI_SZ: return stringRender(key.get(), valueName.get(), buffer, size, at);
    case REG_DWORD: return numberRender(key.get(), valueName.get(), size, at);
    default: return emptyDeliver(at);
    }
}

int RegistryDwordGet(HKEY top, const char* path, const char* name, uint32_t* number,
                     REGSAM view) {
    KeyOwner key;
    if (!top || RegOpenKeyExA(top, path, 0, KEY_QUERY_VALUE | view, key.receive()) !=
                    ERROR_SUCCESS)
        return 0;
    uint32_t read = 0;
    DWORD type = 0;
    DWORD size = DWORD_SIZE;
    // A longer value fails the read with ERROR_MORE_DATA; a shorter one is no number.
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&read),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != DWORD_SIZE)
        return 0;
    *number = read;
    return 1;
}

int RegistryValueWrite(HKEY top, const char* path, const char* name, const char* value,
                       uint32_t type, const char* host) {
    TextOwner valueName(name);
    TextOwner text(value);
    RegistryRoot root(top, path, host);
    if (!root.top()) return 0;
    KeyOwner key;
    if (RegOpenKeyExA(root.top(), root.path(), 0, KEY_WRITE, key.receive()) != ERROR_SUCCESS)
        return 0;
    // The write's own result is not looked at: 1 says only that the key opened.
    if (type == REG_SZ || type == REG_MULTI_SZ) {
        RegSetValueExA(key.get(), valueName.get(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.get()), TextLength(text.get()) + 1);
    } else if (type == REG_DWORD) {
        uint64_t n = static_cast<uint64_t>(TextToInteger(text.get()));
        const BYTE bytes[DWORD_SIZE] = {static_cast<BYTE>(n), static_cast<BYTE>(n >> 8),
                                        static_cast<BYTE>(n >> 16), static_cast<BYTE>(n >> 24)};
        RegSetValueExA(key.get(), valueName.get(), 0, REG_DWORD, bytes, DWORD_SIZE);
    }
    return 1;
}

int RegistryValueSet(HKEY top, const char* path, const char* name, const char* value,
                     uint32_t type, const char* host) {
    TextOwner keyPath(path);
    TextOwner valueName(name);
    TextOwner text(value);
    TextOwner computer(host);
    // When the key cannot be made, the write below fails and says so.
    if (!RegistryKeyExists(top, keyPath.get(), computer.get()))
        RegistryKeyCreate(top, keyPath.get(), computer.get());
    return RegistryValueWrite(top, keyPath.get(), valueName.get(), text.get(), type,
                              computer.get());
}

int RegistryValueDelete(HKEY top, const char* path, const char* name) {
    if (!top) return 0;
    KeyOwner key;
    LONG opened = RegOpenKeyExA(top, path, 0, KEY_SET_VALUE, key.receive());
    if (opened == ERROR_FILE_NOT_FOUND) return 1;
    if (opened != ERROR_SUCCESS) return 0;
    LONG deleted = RegDeleteValueA(key.get(), name);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND ? 1 : 0;
}

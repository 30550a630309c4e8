// Registry procedures: test and create keys, read and write values as text,
// on this computer (host "") or another. No handle outlives a call.
#pragma once
#include <stdint.h>
#include <windows.h>

int RegistryKeyExists(HKEY top, const char* path, const char* host);
int RegistryKeyCreate(HKEY top, const char* path, const char* host);

// Delivers the value as text into the workspace at `at`; "" on any failure.
// A view (KEY_WOW64_64KEY or KEY_WOW64_32KEY) chooses which side of a
// redirected key a 32-bit or 64-bit program opens; 0 opens its own.
void RegistryValueGet(HKEY top, const char* path, const char* name, const char* host,
                      uint32_t at, REGSAM view = 0);
// A REG_DWORD value of exactly 4 bytes into `number`: 1 when there is one,
// 0 for a missing key or value, another type or another size. Only this
// computer; the view as for RegistryValueGet.
int RegistryDwordGet(HKEY top, const char* path, const char* name, uint32_t* number,
                     REGSAM view = 0);
int RegistryValueWrite(HKEY top, const char* path, const char* name, const char* value,
                       uint32_t type, const char* host);
int RegistryValueSet(HKEY top, const char* path, const char* name, const char* value,
                     uint32_t type, const char* host);
// Removes a value on this computer: 1 when it is gone, also when there was no
// such value or key; 0 when it is there and cannot be removed.
int RegistryValueDelete(HKEY top, const char* path, const char* name);

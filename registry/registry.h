// Registry procedures: test and create keys, read and write values as text,
// on this computer (host "") or another. No handle outlives a call.
#pragma once
#include <stdint.h>
#include <windows.h>

int RegistryKeyExists(HKEY top, const char* path, const char* host);
int RegistryKeyCreate(HKEY top, const char* path, const char* host);

// Delivers the value as text into the workspace at `at`; "" on any failure.
void RegistryValueGet(HKEY top, const char* path, const char* name, const char* host,
                      uint32_t at);
int RegistryValueWrite(HKEY top, const char* path, const char* name, const char* value,
                       uint32_t type, const char* host);
int RegistryValueSet(HKEY top, const char* path, const char* name, const char* value,
                     uint32_t type, const char* host);

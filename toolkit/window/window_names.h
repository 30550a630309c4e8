// The names that tie the toolkit's windows and controls together: window
// properties, numbered class and property names, and the module instance.
#pragma once
#include <windows.h>
#include <stdint.h>

const char PROPERTY_WINDOW_ID[] = "ZV_WindowID";  // window number + 1
const char PROPERTY_FOCUS[] = "ZV_Focus";         // focus saved on deactivation
const char PROPERTY_GADGET_ID[] = "ZV_ID";        // gadget number of a control
const char PROPERTY_HOTKEY[] = "ZV_Hotkey";       // a control that wants Tab itself

// Room for any prefix used here and a signed 64-bit decimal.
const int NAME_SIZE = 64;

// prefix followed by value as a signed decimal, e.g. "WindowClass_0". The
// value is pointer-sized: an ANY_NUMBER object's number is an address.
void NameFormat(char* out, const char* prefix, intptr_t value);

// The module whose classes and resources the toolkit uses: the program itself.
inline HINSTANCE ModuleInstance() { return GetModuleHandleA(nullptr); }

// DLLs from the system folder only: the search for DLLs loaded by name cut
// down to it, and libraries loaded from it by full path.
#pragma once
#include <windows.h>

// Makes every later load of a DLL by name take the system folder's copy, so
// that nothing lying in the program's folder or the current folder (often
// Downloads) is loaded. The call exists on Windows 8 and later (on 7 with an
// update) and is looked up at run time: 1 when the search was restricted, 0
// where the system cannot do it and the search stays the system's default.
int DllSearchRestrict();

// The library of that file name from the system folder, by full path; null
// when it is not there.
HMODULE SystemLibraryLoad(const char* name);

// Registers the common-control classes with comctl32, version 6 from the
// side-by-side store where the manifest's redirection applies, else the
// system folder's. It stays loaded for the life of the process since the
// controls made from those classes live in it. 0 when the library or the
// call is missing.
int CommonControlsInit(DWORD classes);

// The entry of that name in a loaded library, as the function type the caller
// knows it by; null when the library (null too) has none.
template <typename Function>
Function LibraryEntry(HMODULE module, const char* name) noexcept {
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// One loaded library, released on every way out.
class LibraryOwner {
public:
    explicit LibraryOwner(HMODULE module) noexcept : module_(module) {}
    LibraryOwner(const LibraryOwner&) = delete;
    LibraryOwner& operator=(const LibraryOwner&) = delete;
    ~LibraryOwner() { if (module_) FreeLibrary(module_); }
    template <typename Function>
    Function entry(const char* name) const noexcept {
        return LibraryEntry<Function>(module_, name);
    }
private:
    HMODULE module_;
};

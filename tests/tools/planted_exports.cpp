// The functions the saver once imported or looks up in the DLLs it loads by
// name, so that a planted DLL of any of those names would satisfy Windows'
// loader. Declared here without the system headers, which declare them as
// imports.
extern "C" {
__declspec(dllexport) int __stdcall InitCommonControlsEx(const void*) { return 1; }
__declspec(dllexport) long __stdcall DllGetVersion(void*) { return 0x80004001L; }  // E_NOTIMPL
__declspec(dllexport) unsigned __stdcall timeBeginPeriod(unsigned) { return 0; }
__declspec(dllexport) unsigned __stdcall timeEndPeriod(unsigned) { return 0; }
__declspec(dllexport) int __stdcall AlphaBlend(void*, int, int, int, int, void*, int, int, int,
                                               int, unsigned) { return 0; }
__declspec(dllexport) int __stdcall IsAppThemed() { return 0; }
}

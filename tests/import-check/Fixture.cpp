// The fixtures of the import check's own test: built, never run.
//
// With KV_FIXTURE_PLAIN the program imports only what the oldest Windows
// exports. Without it, it calls a function that Windows has only from Vista
// on, a function of a DLL that has no export list, and one imported by
// ordinal.
#include <windows.h>

#ifndef KV_FIXTURE_PLAIN
extern "C" {
__declspec(dllimport) ULONGLONG WINAPI GetTickCount64(void);
__declspec(dllimport) void WINAPI CoTaskMemFree(void*);
// Ordinal 17 of comctl32.dll, through an import library that names it by
// number only (ByOrdinal.def).
__declspec(dllimport) void KvByOrdinal(void);
}
#endif

int main() {
#ifdef KV_FIXTURE_PLAIN
    return GetTickCount() == 0;
#else
    CoTaskMemFree(nullptr);
    KvByOrdinal();
    return GetTickCount64() == 0;
#endif
}

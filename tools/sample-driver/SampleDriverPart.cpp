// Sample content and test tooling, not part of Setup.
//
// The driver's companion DLLs of the sample installation package: the data
// file's resource DLL (QSRES.DLL), the OEM plug-ins (QSOEMUI.DLL,
// QSOEMUNI.DLL) and the Unidrv resource DLL that models with the DDK layout
// take along (UNIRES.DLL), and, for the Windows 98 folder, placeholders of
// the core files ICONLIB.DLL, UNIDRV.DLL and DMCOLOR.DLL. Setup and the
// spooler only copy them and keep them with the driver; they hold no code of
// their own.
#include <windows.h>

extern "C" WINBOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD /*reason*/, LPVOID /*reserved*/) {
    return TRUE;
}

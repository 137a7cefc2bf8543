// Sample content and test tooling, not part of Setup.
//
// The user-interface DLLs of the sample port monitors, QSUSBUI.DLL and
// QSCOMUI.DLL. The sample ports are fixed, so there is nothing to add,
// configure or delete: each request is declined with ERROR_NOT_SUPPORTED.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

namespace {

WINBOOL WINAPI UiAddPort(PCWSTR /*pszServer*/, HWND /*hWnd*/, PCWSTR /*pszPortNameIn*/,
                         PWSTR* ppszPortNameOut) {
    if (ppszPortNameOut != nullptr) *ppszPortNameOut = nullptr;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

WINBOOL WINAPI UiConfigurePort(PCWSTR /*pName*/, HWND /*hWnd*/, PCWSTR /*pPortName*/) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

WINBOOL WINAPI UiDeletePort(PCWSTR /*pszServer*/, HWND /*hWnd*/, PCWSTR /*pszPortName*/) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

MONITORUI g_ui = {sizeof(MONITORUI), UiAddPort, UiConfigurePort, UiDeletePort};

}  // namespace

extern "C" PMONITORUI WINAPI InitializePrintMonitorUI(VOID) {
    return &g_ui;
}

// The fixtures of the import check that each import one function that
// older Windows lack: built, never run. KV_FIXTURE_IMPORT chooses the
// function. The last one also imports a function of user32 and one of
// winspool that no list of the older Windows covers.
#include <windows.h>
#include <sddl.h>
#include <winspool.h>

int main() {
#if KV_FIXTURE_IMPORT == 1
    LPSTR text = nullptr;
    return ConvertSidToStringSidA(nullptr, &text);
#elif KV_FIXTURE_IMPORT == 2
    HMODULE module = nullptr;
    return GetModuleHandleExA(0, nullptr, &module);
#elif KV_FIXTURE_IMPORT == 3
    return FlsAlloc(nullptr) == 0;
#else
    DWORD size = 0;
    ClosePrinter(nullptr);
    return GetDefaultPrinterA(nullptr, &size) || GetDesktopWindow() == nullptr;
#endif
}

// Test tooling: puts on a Wine prefix what an installation of the sample
// package leaves behind, so that Uninstall has something to list and remove:
// the USB and serial port monitors with their DLLs, the QSPrint processor, a
// receipt queue on a USB port and a ticket queue on LPT1: with their drivers,
// and the USB installation records.
//
//   UninstallSeed.exe <package folder>
//   UninstallSeed.exe job <printer> <seconds>   keeps a document open on a queue
//
// Exits 0 when everything is in place; says what failed otherwise.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* kUsbPrinter = "Quillset KRT-P58(U) 1";
constexpr const char* kLptPrinter = "Quillset KTT-20";

std::string g_package;
int g_failures = 0;

void Fail(const std::string& what) {
    std::fprintf(stderr, "seed: %s: error %lu\n", what.c_str(), GetLastError());
    ++g_failures;
}

std::string SystemDir() {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, sizeof(dir));
    return dir;
}

std::string SpoolDir(bool processor) {
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    if (processor)
        GetPrintProcessorDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir),
                                    &needed);
    else
        GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir),
                                   &needed);
    return dir;
}

void Copy(const char* name, const std::string& folder) {
    const std::string source = g_package + "\\winnt\\" + name;
    const std::string target = folder + "\\" + name;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) Fail("copy " + source);
}

void InstallMonitor(const char* name, const char* dll, const char* uiDll) {
    Copy(dll, SystemDir());
    Copy(uiDll, SystemDir());
    MONITOR_INFO_2A info{const_cast<char*>(name), nullptr, const_cast<char*>(dll)};
    if (!AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&info)) &&
        GetLastError() != ERROR_PRINT_MONITOR_ALREADY_INSTALLED)
        Fail(std::string("AddMonitorA ") + name);
}

void InstallDriver(const char* name, const char* dataFile) {
    for (const char* file : {"QSDRV.DLL", "QSDRVUI.DLL", "QSDRV.HLP", dataFile})
        Copy(file, SpoolDir(false));
    DRIVER_INFO_3A info{};
    info.cVersion = 3;
    info.pName = const_cast<char*>(name);
    info.pDriverPath = const_cast<char*>("QSDRV.DLL");
    info.pDataFile = const_cast<char*>(dataFile);
    info.pConfigFile = const_cast<char*>("QSDRVUI.DLL");
    info.pHelpFile = const_cast<char*>("QSDRV.HLP");
    info.pDependentFiles = const_cast<char*>("\0");
    if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info)))
        Fail(std::string("AddPrinterDriverA ") + name);
}

void InstallQueue(const char* name, const char* driver, const char* port) {
    PRINTER_INFO_2A info{};
    info.pPrinterName = const_cast<char*>(name);
    info.pPortName = const_cast<char*>(port);
    info.pDriverName = const_cast<char*>(driver);
    info.pPrintProcessor = const_cast<char*>("winprint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!printer) {
        Fail(std::string("AddPrinterA ") + name);
        return;
    }
    ClosePrinter(printer);
}

void SetDword(const char* path, const char* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        Fail(std::string("RegCreateKeyExA ") + path);
        return;
    }
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

}  // namespace

// Starts a document on `printer` and keeps it open for `seconds`: a job
// waiting in the queue while this program runs.
int HoldJob(const char* printerName, int seconds) {
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printerName), &printer, nullptr)) {
        Fail(std::string("OpenPrinterA ") + printerName);
        return 1;
    }
    DOC_INFO_1A doc{const_cast<char*>("waiting"), nullptr, const_cast<char*>("RAW")};
    if (!StartDocPrinterA(printer, 1, reinterpret_cast<BYTE*>(&doc))) {
        Fail("StartDocPrinterA");
        ClosePrinter(printer);
        return 1;
    }
    std::printf("job started\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    EndDocPrinter(printer);
    ClosePrinter(printer);
    return 0;
}

int main(int argc, char** argv) {
    if (argc > 3 && std::string(argv[1]) == "job") return HoldJob(argv[2], std::atoi(argv[3]));
    if (argc < 2) {
        std::fprintf(stderr, "usage: UninstallSeed <package folder>\n");
        return 2;
    }
    g_package = argv[1];
    InstallMonitor("Quillset USB Port Monitor", "QSUSBMON.DLL", "QSUSBUI.DLL");
    InstallMonitor("Quillset Serial Port Monitor", "QSCOMMON.DLL", "QSCOMUI.DLL");
    Copy("QSPROC.DLL", SpoolDir(true));
    if (!AddPrintProcessorA(nullptr, nullptr, const_cast<char*>("QSPROC.DLL"),
                            const_cast<char*>("QSPrint")) &&
        GetLastError() != ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED)
        Fail("AddPrintProcessorA QSPrint");
    InstallDriver("Quillset KRT-P58 Receipt", "QSRCPT.GPD");
    InstallDriver("Quillset KTT-20 Ticket", "QSTKT.GPD");
    InstallQueue(kUsbPrinter, "Quillset KRT-P58 Receipt", "USB_KRT-P58_1");
    InstallQueue(kLptPrinter, "Quillset KTT-20 Ticket", "LPT1:");
    SetDword("SOFTWARE\\TARVELO\\INSTALLPRINTER", kUsbPrinter, 0);
    SetDword("SOFTWARE\\TARVELO\\PORTNAME", "USB_KRT-P58_1", 0);
    SetDword("SOFTWARE\\TARVELO\\PRINTERPORT", "USB_KRT-P58_1", 0);
    return g_failures == 0 ? 0 : 1;
}

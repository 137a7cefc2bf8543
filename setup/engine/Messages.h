// Setup's message texts, in one place: the installation engine uses the
// constants, and the program's string table is built from `kSetupStrings`, so
// a text shown from the engine and the same text loaded by number never differ.
#pragma once

#include <cstdint>

namespace msg {

// ---- texts of the string table (the number is the string's id)
inline constexpr const char* kAbout = "&About Quillset...";                              // 101
inline constexpr const char* kNoSystemDir = "Cannot get system directory";              // 102
inline constexpr const char* kMaxPrintersOnPort =
    "Maximum count of printers using the same port has been reached";                   // 103
inline constexpr const char* kNoMemory =
    "Printer installer could not allocate sufficient memory";                           // 104
inline constexpr const char* kNoCurrentDir = "Cannot get current system directory";     // 107
inline constexpr const char* kNoDriverDir = "Cannot get printer driver directory";      // 108
inline constexpr const char* kNoProcessorDir = "Cannot get printer processor directory";// 109
inline constexpr const char* kBadDirectoryType = "Direcory type error";                 // 110
inline constexpr const char* kNoModuleSelected = "You must select a printer module first!";  // 112
inline constexpr const char* kNoUsbOnNt4 =
    "WindowsNT4 and earlier editions do not support USB ports";                         // 113
inline constexpr const char* kRestartQuestion =
    "Restart the computer so that the changes can take effect\n"
    "Click on \"Yes\" to restart the computer immediately\n"
    "Click on \"No\" to restart the computer later";                                    // 114
inline constexpr const char* kSystemNotSupported =
    "This driver doesn't work on this system.\n"
    "Please click \"Cancel\" button to cancel this program.";                           // 115
inline constexpr const char* kAddPrinterError = "Add printer error";                    // 116
inline constexpr const char* kAddDriverError = "Add printer driver error";              // 118
inline constexpr const char* kAddMonitorError = "Add monitor error!";                   // 119
inline constexpr const char* kCopyError = "Copy driver files error";                    // 122
inline constexpr const char* kAddProcessorError =
    "Add printer processor error\nFatal error, try rebooting the system.";              // 123
inline constexpr const char* kExitWindowsError = "Exit windows error";                  // 127
inline constexpr const char* kInstalled = "Successfully installed printer driver";      // 131
inline constexpr const char* kInstalledRepower =
    "Successfully installed printer driver\nPlease repower the printer";                // 133
inline constexpr const char* kF1Help = "Press \"F1\" for help";                         // 134
inline constexpr const char* kInstallDefaultDriver = "Install default printer driver";  // 135
inline constexpr const char* kNoUsbDevice = "No USB device attached";                   // 139
inline constexpr const char* kPortNotSupported = "No support installation for this port";  // 140
inline constexpr const char* kFatalReboot = "Fatal error, try rebooting the system";    // 141
inline constexpr const char* kLostDriverFiles = "Lost of driver files, can't continue"; // 142
inline constexpr const char* kChangePrinterName =
    "This application will change printer name\n"
    "the name will be matching with interface name\n"
    "If continue, click on \"Yes\"\n"
    "Otherwise click on \"No\"";                                                        // 143
inline constexpr const char* kOneUsbPrinter = "Connect just one USB printer to host";   // 144
inline constexpr const char* kNo2003 = "This printer not support WINDOWS SEVER 2003";   // 145
inline constexpr const char* kNoLeftBmp = "Can't load file Left.bmp!";                  // 146
inline constexpr const char* kUpdateUsbDriver = "You need to update the USB device driver!";  // 148
inline constexpr const char* kNoVista = "This printer not support Windows Vista";       // 149
inline constexpr const char* kInstallUsbDriver = "You need to install the USB device driver!";  // 150

// ---- literal texts (not in the string table)
inline constexpr const char* kSetIdFailed = "Failed to set Printer ID!";
inline constexpr const char* kNotAdministrator =
    "You must be logged on the computer as an administrator!";
inline constexpr const char* kUsbLibraryMissing = "Can not load KvUsbInt.dll";
inline constexpr const char* kUsbEntryMissing = "open function error";
inline constexpr const char* kUsbReadIdError = "Get Device ID error";
inline constexpr const char* kUsbNoDevice = "Can not find USB device.";
inline constexpr const char* kUsbWriteIdError = "write ID error";
inline constexpr const char* kSpoolerStartError = "Start spool service error, error code = %u";
inline constexpr const char* kSpoolerNotRunning = "StartSpoolService error";
// Appended to kAddPrinterError with the error number.
inline constexpr const char* kErFormat = "er = %d";
// Shown when a failed installation left no text of its own, so that a failure
// never reads as a success.
inline constexpr const char* kInstallFailed = "Failed to install printer driver";

struct StringEntry {
    int32_t id;
    const char* text;
};

// The string table of Setup as the engine knows it, in id order.
inline constexpr StringEntry kSetupStrings[] = {
    {101, kAbout},           {102, kNoSystemDir},       {103, kMaxPrintersOnPort},
    {104, kNoMemory},        {107, kNoCurrentDir},      {108, kNoDriverDir},
    {109, kNoProcessorDir},  {110, kBadDirectoryType},  {112, kNoModuleSelected},
    {113, kNoUsbOnNt4},      {114, kRestartQuestion},   {115, kSystemNotSupported},
    {116, kAddPrinterError}, {118, kAddDriverError},    {119, kAddMonitorError},
    {122, kCopyError},       {123, kAddProcessorError}, {127, kExitWindowsError},
    {131, kInstalled},       {133, kInstalledRepower},  {134, kF1Help},
    {135, kInstallDefaultDriver}, {139, kNoUsbDevice},  {140, kPortNotSupported},
    {141, kFatalReboot},     {142, kLostDriverFiles},   {143, kChangePrinterName},
    {144, kOneUsbPrinter},   {145, kNo2003},            {146, kNoLeftBmp},
    {148, kUpdateUsbDriver}, {149, kNoVista},           {150, kInstallUsbDriver},
};

// The text of string `id`, or nullptr when the engine knows none.
inline const char* SetupString(int32_t id) {
    for (const auto& entry : kSetupStrings)
        if (entry.id == id) return entry.text;
    return nullptr;
}

}  // namespace msg

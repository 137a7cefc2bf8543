// The installation stages that the Install command and its worker call, one
// section a source file (named in its heading):
// port monitors, print processor, driver files and registration, installation
// records, default printer and serial settings, USB printer identity, and the
// auxiliary installs. Each stage that fails writes its text into `message`
// (the installation's InstallMessage).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ProgramTitles.h"
#include "common/Types.h"
#include "platform/Windows.h"
#include "setup/config/ModelConfigReader.h"

// Where Setup's message boxes go: their owner window and caption (the
// application name).
struct MessageContext {
    plat::Window owner = 0;
    std::string caption = program::kSetupName;
};

// ---- package file copies and the driver (DriverFiles.cpp)
enum CopyDestination : int32_t {
    DestDriverDir = 66000,
    DestProcessorDir = 66001,
    DestSystemDir = 66002,
    DestDriverDir3 = 999,
};

// 1 copied; 0 skipped (name beginning with '0') or failed with a text in
// `message`; 32 or 5 when the target is in use or access was denied (no text).
// A name that is not a plain file name (common/FileNames.h) fails with the
// text of RefusedFileText before anything is read or written.
int32_t CopyPackageFile(plat::Windows& windows, const char* fileName, int32_t destination,
                        int32_t os, bool rename, std::string& message);
// The error number of a refused file name: ERROR_INVALID_NAME.
inline constexpr uint32_t kInvalidNameError = 123;
// The copy failure text for a package file name that is refused because it
// would lead the copy out of its folder: "Copy driver files error", the
// target file name ("n" + name with `rename`), "  er = 123", the source path.
std::string RefusedFileText(plat::Windows& windows, const char* fileName, int32_t os,
                            bool rename);
// A CopyPackageFile result of a target in use or access denied.
inline bool CopyBlocked(int32_t copyResult) {
    return copyResult == static_cast<int32_t>(plat::err::SharingViolation) ||
           copyResult == static_cast<int32_t>(plat::err::AccessDenied);
}
// As CopyPackageFile without the rename, for a file that must be replaced: a
// target in use or access denied also writes the copy failure text.
int32_t ReplacePackageFile(plat::Windows& windows, const char* fileName, int32_t destination,
                           int32_t os, std::string& message);
// Windows 98/Me, spooler running: copies the package's `dllName` into
// `destination` and records it as "Driver" with "DriverVersion" `version`
// under `keyPath` (made when missing). A DLL in use is copied as "n" + name
// and recorded so; both names in use give "Fatal error, try rebooting the
// system". The version is recorded only for a DLL that was copied; false
// (with the text) when the run must fail.
bool ReplaceDll98(plat::Windows& windows, const std::string& keyPath, const char* dllName,
                  int32_t destination, int32_t version, std::string& message);
void CopyCoreDriverFiles(plat::Windows& windows, int32_t os, bool ddk, std::string& message);
bool RegisterDriver(plat::Windows& windows, const DriverRecord& record, std::string& message);
// The driver file copy and registration of one installation: the model's
// files, the core files, DMCOLOR.DLL for the models that take it on Windows
// 98, the DDK check and RegisterDriver. False when the run must fail.
bool InstallDriverFiles(plat::Windows& windows, ModelConfigReader& reader, const char* model,
                        int32_t os, int32_t mode, const DriverFileTable& table,
                        const DriverRecord& record, std::string& message);

// ---- port monitors (Monitors.cpp)
// -15 failed (text in `message`), else UpdateSerialMonitor / UpdateUsbMonitor bits.
int32_t CheckPortMonitors(plat::Windows& windows, ModelConfigReader& reader, int32_t os,
                          const char* portName, std::string& message);
bool RegisterMonitor(plat::Windows& windows, const char* name, const char* environment,
                     const char* dllName, std::string& message);
// Replaces the outdated serial or USB monitor on the NT family (spooler
// stopped by the caller). A DLL that can't be replaced, also one still in
// use, fails the run with its copy text and keeps the old version record.
// False when the run must fail.
bool ReplaceMonitorNT(plat::Windows& windows, const MonitorSettings& settings, int32_t flag,
                      int32_t os, std::string& message);
// Replaces the outdated USB monitor on Windows 98 (spooler running): a DLL
// in use is copied as "n" + name and recorded so; both names in use give
// "Fatal error, try rebooting the system". The version is recorded only for
// a DLL that was copied; false (with the text) when the run must fail.
bool ReplaceUsbMonitor98(plat::Windows& windows, const MonitorSettings& settings,
                         std::string& message);

// ---- print processor (PrintProcessor.cpp)
// -14 failed, else 0 or UpdatePrintProcessor. "WinPrint" (exactly) is the
// system's own and needs nothing. The processor's key lies under "Windows 4.0"
// for Windows 98 and under the machine's own environment otherwise.
int32_t CheckPrintProcessor(plat::Windows& windows, int32_t os, const char* processorName,
                            const char* dllName, std::string& message);
// 1 success; 87, 183 or 3005 for those errors; 0 for any other.
int32_t RegisterPrintProcessor(plat::Windows& windows, const char* processorName,
                               const char* dllName, int32_t os);
// NT family, spooler stopped; `processorDir` was read before the stop. The
// version is recorded under the machine's own environment.
bool ReplacePrintProcessorNT(plat::Windows& windows, int32_t os, const char* processorName,
                             const char* dllName, const std::string& processorDir,
                             int32_t version, std::string& message);
// Windows 98, as ReplaceUsbMonitor98 for the processor DLL.
bool ReplacePrintProcessor98(plat::Windows& windows, const char* processorName,
                             const char* dllName, int32_t version, std::string& message);

// ---- installation records under SOFTWARE\TARVELO\ (HKEY_LOCAL_MACHINE; UsbRecords.cpp)
void WriteUsbPortRecords(plat::Windows& windows, const char* portName);
// The [SUPPORTED-USB-DEVICE] entries "0" .. PRNCOUNT-1 of setup.ini (at most
// kMaxUsbDeviceEntries), each read as a port name of at most 29 characters.
std::vector<std::string> ReadSupportedUsbDevices(plat::Windows& windows);
// The worker's one write: PRINTERPORT\<chosen port> = 0.
void MarkUsbPortInstalled(plat::Windows& windows, const char* portName);
// "USB_" + the name up to its first "(" + "_" + the character four places
// after that "("; a name without "(" gives "USB_" + the whole name.
std::string UsbPortForPrinterName(const std::string& printerName);

// ---- default printer and serial settings (PrinterSettings.cpp)
// False for a null or empty name and for a printer that can't be made default.
bool MakeDefaultPrinter(plat::Windows& windows, const char* printerName);
// "%d,%c,%d,%.0f,%c" (or "%.1f" for 1.5 stop bits).
std::string SerialSettingsString(int32_t baud, char parity, int32_t dataBits, double stopBits,
                                 char flow);
// The 28-byte device control block of Windows 98.
void BuildDeviceControlBlock(uint8_t (&dcb)[28], int32_t baud, char parity, int32_t dataBits,
                             double stopBits, char flow);
void WriteSerialSettings98(plat::Windows& windows, int32_t portIndex, const char* portName,
                           int32_t baud, int32_t dataBits, double stopBits, char parity,
                           char flow);
void WriteSerialSettingsNT(plat::Windows& windows, const char* portName, int32_t baud,
                           int32_t dataBits, double stopBits, char parity, char flow);

// ---- USB printer identity (UsbIdentity.cpp)
// The printer's ID, -1 when it can't be read, -2 when more than one is attached.
int32_t ReadPrinterId(plat::Windows& windows, const MessageContext& context);
// True when the printer took the new ID (port number 1..8). A port number
// outside 1..8 gives false without loading the library or telling anything.
bool WritePrinterId(plat::Windows& windows, const MessageContext& context, int32_t portNumber);

// ---- auxiliary installs (AuxiliaryInstalls.cpp)
bool InstallVietnameseFonts(plat::Windows& windows);
std::string GetFileVersionString(plat::Windows& windows, const std::string& path);
// 0 nothing to do, 1 installed driver older than the package's, -1 none
// installed. Versions compare by their four numbers (2.10 is newer than 2.9).
int32_t CheckUsbDeviceDriver(plat::Windows& windows);

// Win32 error numbers the core relies on, named once. The platform answers
// with exactly these numbers, as GetLastError or a registry call would.
#pragma once
#include <cstdint>

namespace plat::err {
constexpr uint32_t Success = 0;
constexpr uint32_t FileNotFound = 2;
constexpr uint32_t PathNotFound = 3;
constexpr uint32_t AccessDenied = 5;
constexpr uint32_t InvalidHandle = 6;
constexpr uint32_t NotEnoughMemory = 8;
constexpr uint32_t NoMoreFiles = 18;
constexpr uint32_t SharingViolation = 32;
constexpr uint32_t FileExists = 80;
constexpr uint32_t InvalidParameter = 87;
constexpr uint32_t InsufficientBuffer = 122;
constexpr uint32_t ModNotFound = 126;
constexpr uint32_t ProcNotFound = 127;
constexpr uint32_t AlreadyExists = 183;
constexpr uint32_t MoreData = 234;
constexpr uint32_t NoMoreItems = 259;
constexpr uint32_t NoToken = 1008;
constexpr uint32_t CanNotComplete = 1003;
constexpr uint32_t ServiceRequestTimeout = 1053;
constexpr uint32_t ServiceDatabaseLocked = 1055;
constexpr uint32_t ServiceAlreadyRunning = 1056;
constexpr uint32_t ServiceDoesNotExist = 1060;
constexpr uint32_t ServiceNotActive = 1062;
constexpr uint32_t InvalidPrinterName = 1801;
constexpr uint32_t PrinterAlreadyExists = 1802;
constexpr uint32_t UnknownPrinterDriver = 1797;
constexpr uint32_t UnknownPrintProcessor = 1798;
constexpr uint32_t UnknownPort = 1796;
constexpr uint32_t UnknownPrintMonitor = 3000;
constexpr uint32_t PrinterDriverInUse = 3001;
constexpr uint32_t PrintProcessorAlreadyInstalled = 3005;
constexpr uint32_t PrintMonitorAlreadyInstalled = 3006;
constexpr uint32_t PrintMonitorInUse = 3008;
}  // namespace plat::err

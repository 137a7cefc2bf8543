// The printer queue of an installation: which name it gets, which port it is
// bound to, and its creation with the spooler.
//
// The name is the model name with a suffix telling the port kind: "(P)" for a
// parallel port, "(S)" for a serial one, "(U) 1" to "(U) 4" for the numbered
// USB ports. When a queue of that name exists already the name is numbered
// "(1)" to "(98)", except on USB ports, where the name must match the port
// and the printer's stored ID, so a taken name is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Types.h"
#include "platform/Spooler.h"

// The printer name buffer that the PrinterRecord points at while the queue is
// named and created.
inline constexpr size_t kPrinterNameSize = 260;
// The port name buffers of the installation.
inline constexpr size_t kPortNameSize = 100;

// Appends `text` to the NUL-terminated text in `buffer` of `capacity`
// characters; what does not fit is cut, the terminator always stays.
void AppendBounded(char* buffer, size_t capacity, const char* text);
// Copies `text` into `buffer`, cut to capacity - 1 characters.
void CopyBounded(char* buffer, size_t capacity, const char* text);

// Usb when the name contains "USB_", else Serial when it contains "COM" (the
// maker's "VXCOM1:" to "VXCOM8:" included), else Parallel when it contains
// "LPT"; -1 for any other port. Case-sensitive.
int32_t DerivePortKind(const char* portName);

// The port number that the printer's internal ID answers to: (ID modulo 8) + 1,
// computed in floating point and truncated (ID 9 gives 2; -2 gives -1).
int32_t PrinterIdToPortNumber(int32_t id);

// The number of a numbered USB port: the last of "_1", "_2", "_3", "_4" found
// in the name, testing in that order; 0 when none is there.
int32_t UsbPortNumber(const char* portName);

// Appends "(U) 1" .. "(U) 4" for each of "_1" .. "_4" that the port name
// contains, in that order, directly to the printer name.
void AppendUsbSuffixes(char* printerName, size_t capacity, const char* portName);

// Appends "(S)" for a serial port and "(P)" for a parallel one.
void AppendPortSuffix(char* printerName, size_t capacity, int32_t portKind);

// The port a USB printer is bound to: for a port name containing "KRT-C3",
// "USB_KRT-C3_" followed by the port name's last character; otherwise the
// port name itself.
std::string BoundUsbPort(const char* portName);

// Asks the spooler for the local ports (sized first, then read); false, with
// "Printer installer could not allocate sufficient memory" in `message`, when
// they can't be enumerated.
bool ProbePorts(plat::Spooler& spooler, std::string& message);

// Creates the queue with AddPrinterA level 2. `record.pPrinterName` is pointed
// at `nameBuffer`, which holds the wanted name; on success the buffer holds
// the name actually created (it may carry "(1)" .. "(98)"), on failure it is
// cleared and `message` says why. With `keepName` a taken name is refused
// ("Maximum count of printers using the same port has been reached").
bool CreatePrinterQueue(plat::Spooler& spooler, PrinterRecord& record,
                        char (&nameBuffer)[kPrinterNameSize], bool keepName,
                        std::string& message);

#include "setup/engine/PrinterQueue.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/Errors.h"
#include "platform/Spooler.h"
#include "setup/engine/Messages.h"
#include "setup/engine/ModelRules.h"

void AppendBounded(char* buffer, size_t capacity, const char* text) {
    if (capacity == 0 || text == nullptr) return;
    size_t used = strnlen(buffer, capacity - 1);
    size_t room = capacity - 1 - used;
    size_t add = strnlen(text, room);
    memcpy(buffer + used, text, add);
    buffer[used + add] = '\0';
}

void CopyBounded(char* buffer, size_t capacity, const char* text) {
    if (capacity == 0) return;
    buffer[0] = '\0';
    AppendBounded(buffer, capacity, text);
}

int32_t DerivePortKind(const char* portName) {
    if (portName == nullptr) return -1;
    if (strstr(portName, "USB_")) return Usb;
    if (strstr(portName, "COM")) return Serial;
    if (strstr(portName, "LPT")) return Parallel;
    return -1;
}

int32_t PrinterIdToPortNumber(int32_t id) {
    return static_cast<int32_t>(std::fmod(static_cast<double>(id), 8.0) + 1.0);
}

int32_t UsbPortNumber(const char* portName) {
    if (portName == nullptr) return 0;
    int32_t number = 0;
    static const char* const marks[] = {"_1", "_2", "_3", "_4"};
    for (int32_t i = 0; i < 4; ++i)
        if (strstr(portName, marks[i])) number = i + 1;
    return number;
}

void AppendUsbSuffixes(char* printerName, size_t capacity, const char* portName) {
    if (portName == nullptr) return;
    static const char* const marks[] = {"_1", "_2", "_3", "_4"};
    static const char* const suffixes[] = {"(U) 1", "(U) 2", "(U) 3", "(U) 4"};
    for (int i = 0; i < 4; ++i)
        if (strstr(portName, marks[i])) AppendBounded(printerName, capacity, suffixes[i]);
}

void AppendPortSuffix(char* printerName, size_t capacity, int32_t portKind) {
    if (portKind == Serial) AppendBounded(printerName, capacity, "(S)");
    if (portKind == Parallel) AppendBounded(printerName, capacity, "(P)");
}

std::string BoundUsbPort(const char* portName) {
    if (portName == nullptr) return {};
    std::string port = portName;
    if (IsKrtC3Port(port) && !port.empty()) return KrtC3BoundPort(port);
    return port;
}

bool ProbePorts(plat::Spooler& spooler, std::string& message) {
    std::vector<std::string> ports;
    if (spooler.EnumPorts(ports) != plat::err::Success) {
        message = msg::kNoMemory;
        return false;
    }
    return true;
}

namespace {

uint32_t TryAddPrinter(plat::Spooler& spooler, const PrinterRecord& record) {
    plat::Printer handle;
    uint32_t error = spooler.AddPrinter(record, handle);
    // The handle closes as it goes out of scope.
    return error;
}

bool AddPrinterFailed(char (&nameBuffer)[kPrinterNameSize], uint32_t error,
                      std::string& message) {
    char number[32];
    snprintf(number, sizeof number, msg::kErFormat, static_cast<int>(error));
    message = std::string(msg::kAddPrinterError) + number;
    nameBuffer[0] = '\0';
    return false;
}

bool NameTaken(char (&nameBuffer)[kPrinterNameSize], std::string& message) {
    message = msg::kMaxPrintersOnPort;
    nameBuffer[0] = '\0';
    return false;
}

}  // namespace

bool CreatePrinterQueue(plat::Spooler& spooler, PrinterRecord& record,
                        char (&nameBuffer)[kPrinterNameSize], bool keepName,
                        std::string& message) {
    nameBuffer[kPrinterNameSize - 1] = '\0';
    record.pPrinterName = nameBuffer;

    uint32_t error = TryAddPrinter(spooler, record);
    if (error == plat::err::Success) return true;
    if (error != plat::err::PrinterAlreadyExists) return AddPrinterFailed(nameBuffer, error, message);
    if (keepName) return NameTaken(nameBuffer, message);

    // Leave room for the longest number, "(98)", so that every numbered name
    // differs from the others even when the saved name fills the buffer.
    char saved[kPrinterNameSize];
    CopyBounded(saved, kPrinterNameSize - 4, nameBuffer);
    for (int i = 1; i <= 98; ++i) {
        char number[8];
        snprintf(number, sizeof number, "(%d)", i);
        CopyBounded(nameBuffer, kPrinterNameSize, saved);
        AppendBounded(nameBuffer, kPrinterNameSize, number);
        error = TryAddPrinter(spooler, record);
        if (error == plat::err::Success) return true;
        if (error != plat::err::PrinterAlreadyExists)
            return AddPrinterFailed(nameBuffer, error, message);
    }
    return NameTaken(nameBuffer, message);
}

// The spooler area of the platform layer (local machine): monitors, print
// processors, drivers, printers, ports and the spooler library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Forwarding.h"
#include "platform/Handles.h"

namespace plat {

// The spooler environments the programs name: the Windows 95/98/Me driver
// family, and the NT family's for 32-bit and 64-bit x86.
inline constexpr const char* kEnvironment40 = "Windows 4.0";
inline constexpr const char* kEnvironmentX86 = "Windows NT x86";
inline constexpr const char* kEnvironmentX64 = "Windows x64";

// MONITOR_INFO_2A. Null pointers are passed as null.
struct MonitorInfo2 {
    const char* pName = nullptr;
    const char* pEnvironment = nullptr;
    const char* pDLLName = nullptr;
};

// DRIVER_INFO_3A in its published field order. pDependentFiles is a list of
// NUL-terminated names ended by an empty name (or null).
struct DriverInfo3 {
    uint32_t cVersion = 0;
    const char* pName = nullptr;
    const char* pEnvironment = nullptr;
    const char* pDriverPath = nullptr;
    const char* pDataFile = nullptr;
    const char* pConfigFile = nullptr;
    const char* pHelpFile = nullptr;
    const char* pDependentFiles = nullptr;
    const char* pMonitorName = nullptr;
    const char* pDefaultDataType = nullptr;
};

// PRINTER_INFO_2A in its published field order, as handed to AddPrinterA.
struct PrinterInfo2 {
    const char* pServerName = nullptr;
    const char* pPrinterName = nullptr;
    const char* pShareName = nullptr;
    const char* pPortName = nullptr;
    const char* pDriverName = nullptr;
    const char* pComment = nullptr;
    const char* pLocation = nullptr;
    void* pDevMode = nullptr;
    const char* pSepFile = nullptr;
    const char* pPrintProcessor = nullptr;
    const char* pDatatype = nullptr;
    const char* pParameters = nullptr;
    void* pSecurityDescriptor = nullptr;
    uint32_t Attributes = 0;
    uint32_t Priority = 0;
    uint32_t DefaultPriority = 0;
    uint32_t StartTime = 0;
    uint32_t UntilTime = 0;
    uint32_t Status = 0;
    uint32_t cJobs = 0;
    uint32_t AveragePPM = 0;
};

// A printer's level-2 information as GetPrinterA returns it (owned copy).
struct PrinterInfo {
    std::string serverName, printerName, shareName, portName, driverName, comment, location,
        sepFile, printProcessor, datatype, parameters;
    uint32_t attributes = 0, priority = 0, defaultPriority = 0, startTime = 0, untilTime = 0,
             status = 0, cJobs = 0, averagePPM = 0;
};

// PRINTER_INFO_5A, the fields that EnumPrintersA level 5 gives.
struct PrinterInfo5 {
    std::string printerName, portName;
    uint32_t attributes = 0;
};

namespace printer_attr {
constexpr uint32_t Default = 0x4;
}

// The spooler library ("winspool.drv"), with its entry points looked up by
// name. Destroying the object frees the library.
class SpoolerLibrary {
public:
    virtual ~SpoolerLibrary() = default;
    virtual bool HasSetDefaultPrinter() const = 0;
    virtual bool HasDeletePrinterDriverEx() const = 0;
    // SetDefaultPrinterA; a false result gives its error number.
    virtual uint32_t SetDefaultPrinter(const char* printerName) = 0;
    // DeletePrinterDriverExA.
    virtual uint32_t DeletePrinterDriverEx(const char* server, const char* environment,
                                           const char* driverName, uint32_t deleteFlag,
                                           uint32_t versionFlag) = 0;
};

class Spooler : public HandleOwner {
public:
    virtual ~Spooler() = default;

    // The spooler environment of this machine and build: "Windows NT x86" for
    // a 32-bit program, "Windows x64" for a 64-bit one.
    virtual const char* LocalEnvironment() const = 0;
    virtual uint32_t AddMonitor(const MonitorInfo2& info) = 0;
    virtual uint32_t DeleteMonitor(const char* environment, const std::string& name) = 0;
    virtual uint32_t EnumMonitors(std::vector<std::string>& names) = 0;
    virtual uint32_t AddPrintProcessor(const char* environment, const std::string& pathName,
                                       const std::string& name) = 0;
    virtual uint32_t DeletePrintProcessor(const char* environment, const std::string& name) = 0;
    virtual uint32_t EnumPrintProcessors(const char* environment,
                                         std::vector<std::string>& names) = 0;
    virtual uint32_t AddPrinterDriver(const DriverInfo3& info) = 0;
    virtual uint32_t DeletePrinterDriver(const char* server, const char* environment,
                                         const std::string& name) = 0;
    virtual uint32_t EnumPrinterDrivers(const char* environment,
                                        std::vector<std::string>& names) = 0;
    // AddPrinterA level 2; the returned handle is open.
    virtual uint32_t AddPrinter(const PrinterInfo2& info, Printer& out) = 0;
    // OpenPrinterA with PRINTER_ALL_ACCESS and no defaults.
    virtual uint32_t OpenPrinter(const std::string& name, Printer& out) = 0;
    // The same with PRINTER_ACCESS_USE, enough for GetPrinter level 2 without
    // administrator rights (the simulation: OpenPrinter).
    virtual uint32_t OpenPrinterForReading(const std::string& name, Printer& out) {
        return OpenPrinter(name, out);
    }
    // GetPrinterA level 2 with an empty buffer: InsufficientBuffer and the
    // needed size, as Windows answers.
    virtual uint32_t GetPrinterSize(const Printer& printer, uint32_t& needed) = 0;
    virtual uint32_t GetPrinter(const Printer& printer, PrinterInfo& out) = 0;
    // SetPrinterA level 2, command 0.
    virtual uint32_t SetPrinter(const Printer& printer, const PrinterInfo& info) = 0;
    virtual uint32_t DeletePrinter(const Printer& printer) = 0;
    // EnumPrintersA, PRINTER_ENUM_LOCAL, level 5.
    virtual uint32_t EnumPrinters(std::vector<PrinterInfo5>& printers) = 0;
    // EnumPortsA level 1.
    virtual uint32_t EnumPorts(std::vector<std::string>& names) = 0;
    // LoadLibraryA of the spooler library by name.
    virtual std::unique_ptr<SpoolerLibrary> LoadSpoolerLibrary(const std::string& name,
                                                               uint32_t& error) = 0;
};

// Hands every call to another spooler area: the base of a decorator. The
// printers the inner one opens are handed out as this one's own.
class ForwardingSpooler : public Forwarding<Spooler> {
public:
    using Forwarding::Forwarding;

    const char* LocalEnvironment() const override { return inner_.LocalEnvironment(); }
    uint32_t AddMonitor(const MonitorInfo2& info) override { return inner_.AddMonitor(info); }
    uint32_t DeleteMonitor(const char* environment, const std::string& name) override {
        return inner_.DeleteMonitor(environment, name);
    }
    uint32_t EnumMonitors(std::vector<std::string>& names) override {
        return inner_.EnumMonitors(names);
    }
    uint32_t AddPrintProcessor(const char* environment, const std::string& pathName,
                               const std::string& name) override {
        return inner_.AddPrintProcessor(environment, pathName, name);
    }
    uint32_t DeletePrintProcessor(const char* environment, const std::string& name) override {
        return inner_.DeletePrintProcessor(environment, name);
    }
    uint32_t EnumPrintProcessors(const char* environment,
                                 std::vector<std::string>& names) override {
        return inner_.EnumPrintProcessors(environment, names);
    }
    uint32_t AddPrinterDriver(const DriverInfo3& info) override {
        return inner_.AddPrinterDriver(info);
    }
    uint32_t DeletePrinterDriver(const char* server, const char* environment,
                                 const std::string& name) override {
        return inner_.DeletePrinterDriver(server, environment, name);
    }
    uint32_t EnumPrinterDrivers(const char* environment, std::vector<std::string>& names) override {
        return inner_.EnumPrinterDrivers(environment, names);
    }
    uint32_t AddPrinter(const PrinterInfo2& info, Printer& out) override {
        Printer inner;
        return Adopt(inner_.AddPrinter(info, inner), this, inner, out);
    }
    uint32_t OpenPrinter(const std::string& name, Printer& out) override {
        Printer inner;
        return Adopt(inner_.OpenPrinter(name, inner), this, inner, out);
    }
    uint32_t OpenPrinterForReading(const std::string& name, Printer& out) override {
        Printer inner;
        return Adopt(inner_.OpenPrinterForReading(name, inner), this, inner, out);
    }
    uint32_t GetPrinterSize(const Printer& printer, uint32_t& needed) override {
        return inner_.GetPrinterSize(printer, needed);
    }
    uint32_t GetPrinter(const Printer& printer, PrinterInfo& out) override {
        return inner_.GetPrinter(printer, out);
    }
    uint32_t SetPrinter(const Printer& printer, const PrinterInfo& info) override {
        return inner_.SetPrinter(printer, info);
    }
    uint32_t DeletePrinter(const Printer& printer) override {
        return inner_.DeletePrinter(printer);
    }
    uint32_t EnumPrinters(std::vector<PrinterInfo5>& printers) override {
        return inner_.EnumPrinters(printers);
    }
    uint32_t EnumPorts(std::vector<std::string>& names) override { return inner_.EnumPorts(names); }
    std::unique_ptr<SpoolerLibrary> LoadSpoolerLibrary(const std::string& name,
                                                       uint32_t& error) override {
        return inner_.LoadSpoolerLibrary(name, error);
    }

};

}  // namespace plat

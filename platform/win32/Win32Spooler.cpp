// The spooler area on the real Win32 API.
#include "platform/win32/Win32Support.h"

#include "platform/win32/Win32Windows.h"

namespace plat {

using namespace w32;

namespace {

class Win32SpoolerLibrary final : public SpoolerLibrary {
public:
    explicit Win32SpoolerLibrary(HMODULE module)
        : module_(module),
          setDefaultPrinter_(ProcAs<SetDefaultPrinterFn>(
              ::GetProcAddress(module, "SetDefaultPrinterA"))),
          deletePrinterDriverEx_(ProcAs<DeletePrinterDriverExFn>(
              ::GetProcAddress(module, "DeletePrinterDriverExA"))) {}
    Win32SpoolerLibrary(const Win32SpoolerLibrary&) = delete;
    Win32SpoolerLibrary& operator=(const Win32SpoolerLibrary&) = delete;
    ~Win32SpoolerLibrary() override { ::FreeLibrary(module_); }

    bool HasSetDefaultPrinter() const override { return setDefaultPrinter_ != nullptr; }
    bool HasDeletePrinterDriverEx() const override { return deletePrinterDriverEx_ != nullptr; }

    uint32_t SetDefaultPrinter(const char* printerName) override {
        if (!setDefaultPrinter_) return err::ProcNotFound;
        return Result(setDefaultPrinter_(printerName));
    }

    uint32_t DeletePrinterDriverEx(const char* server, const char* environment,
                                   const char* driverName, uint32_t deleteFlag,
                                   uint32_t versionFlag) override {
        if (!deletePrinterDriverEx_) return err::ProcNotFound;
        return Result(deletePrinterDriverEx_(Mutable(server), Mutable(environment),
                                             Mutable(driverName), deleteFlag, versionFlag));
    }

private:
    using SetDefaultPrinterFn = BOOL(WINAPI*)(LPCSTR);
    using DeletePrinterDriverExFn = BOOL(WINAPI*)(LPSTR, LPSTR, LPSTR, DWORD, DWORD);

    HMODULE module_;
    SetDefaultPrinterFn setDefaultPrinter_;
    DeletePrinterDriverExFn deletePrinterDriverEx_;
};

}  // namespace

uint32_t Win32Spooler::Release(HandleKind kind, uintptr_t value) {
    return CloseHandleOf(kind, value);
}

const char* Win32Spooler::LocalEnvironment() const {
#ifdef _WIN64
    return kEnvironmentX64;
#else
    return kEnvironmentX86;
#endif
}

uint32_t Win32Spooler::AddMonitor(const MonitorInfo2& info) {
    MONITOR_INFO_2A record{};
    record.pName = Mutable(info.pName);
    record.pEnvironment = Mutable(info.pEnvironment);
    record.pDLLName = Mutable(info.pDLLName);
    return Result(::AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&record)));
}

uint32_t Win32Spooler::DeleteMonitor(const char* environment, const std::string& name) {
    return Result(::DeleteMonitorA(nullptr, Mutable(environment), Mutable(name)));
}

uint32_t Win32Spooler::EnumMonitors(std::vector<std::string>& names) {
    return EnumNames<MONITOR_INFO_1A>(names, [](BYTE* data, DWORD size, DWORD* needed,
                                                DWORD* count) {
        return ::EnumMonitorsA(nullptr, 1, data, size, needed, count);
    });
}

uint32_t Win32Spooler::AddPrintProcessor(const char* environment, const std::string& pathName,
                                         const std::string& name) {
    return Result(
        ::AddPrintProcessorA(nullptr, Mutable(environment), Mutable(pathName), Mutable(name)));
}

uint32_t Win32Spooler::DeletePrintProcessor(const char* environment, const std::string& name) {
    return Result(::DeletePrintProcessorA(nullptr, Mutable(environment), Mutable(name)));
}

uint32_t Win32Spooler::EnumPrintProcessors(const char* environment,
                                           std::vector<std::string>& names) {
    return EnumNames<PRINTPROCESSOR_INFO_1A>(
        names, [environment](BYTE* data, DWORD size, DWORD* needed, DWORD* count) {
            return ::EnumPrintProcessorsA(nullptr, Mutable(environment), 1, data, size, needed,
                                          count);
        });
}

uint32_t Win32Spooler::AddPrinterDriver(const DriverInfo3& info) {
    DRIVER_INFO_3A record{};
    record.cVersion = info.cVersion;
    record.pName = Mutable(info.pName);
    record.pEnvironment = Mutable(info.pEnvironment);
    record.pDriverPath = Mutable(info.pDriverPath);
    record.pDataFile = Mutable(info.pDataFile);
    record.pConfigFile = Mutable(info.pConfigFile);
    record.pHelpFile = Mutable(info.pHelpFile);
    record.pDependentFiles = Mutable(info.pDependentFiles);
    record.pMonitorName = Mutable(info.pMonitorName);
    record.pDefaultDataType = Mutable(info.pDefaultDataType);
    return Result(::AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&record)));
}

uint32_t Win32Spooler::DeletePrinterDriver(const char* server, const char* environment,
                                           const std::string& name) {
    return Result(::DeletePrinterDriverA(Mutable(server), Mutable(environment), Mutable(name)));
}

uint32_t Win32Spooler::EnumPrinterDrivers(const char* environment,
                                          std::vector<std::string>& names) {
    return EnumNames<DRIVER_INFO_1A>(
        names, [environment](BYTE* data, DWORD size, DWORD* needed, DWORD* count) {
            return ::EnumPrinterDriversA(nullptr, Mutable(environment), 1, data, size, needed,
                                         count);
        });
}

uint32_t Win32Spooler::AddPrinter(const PrinterInfo2& info, Printer& out) {
    out = Printer();
    // A printer without a print processor is refused here: Wine's spooler
    // crashes on it.
    if (!info.pPrintProcessor) return err::InvalidParameter;
    // Wine replaces an existing queue of the same name where Windows refuses
    // with 1802; ask first. A name with a comma would open a job, port or
    // server handle instead of a printer, so only plain names are asked for.
    if (info.pPrinterName && *info.pPrinterName && !std::strchr(info.pPrinterName, ',')) {
        HANDLE existing = nullptr;
        if (::OpenPrinterA(Mutable(info.pPrinterName), &existing, nullptr)) {
            ::ClosePrinter(existing);
            return err::PrinterAlreadyExists;
        }
    }
    PRINTER_INFO_2A record{};
    record.pServerName = Mutable(info.pServerName);
    record.pPrinterName = Mutable(info.pPrinterName);
    record.pShareName = Mutable(info.pShareName);
    record.pPortName = Mutable(info.pPortName);
    record.pDriverName = Mutable(info.pDriverName);
    record.pComment = Mutable(info.pComment);
    record.pLocation = Mutable(info.pLocation);
    record.pDevMode = static_cast<LPDEVMODEA>(info.pDevMode);
    record.pSepFile = Mutable(info.pSepFile);
    record.pPrintProcessor = Mutable(info.pPrintProcessor);
    // Windows takes a missing data type as "RAW"; Wine fails with 87 and
    // leaves half a printer behind, so it is given explicitly.
    record.pDatatype = Mutable(info.pDatatype ? info.pDatatype : "RAW");
    record.pParameters = Mutable(info.pParameters);
    record.pSecurityDescriptor = static_cast<PSECURITY_DESCRIPTOR>(info.pSecurityDescriptor);
    record.Attributes = info.Attributes;
    record.Priority = info.Priority;
    record.DefaultPriority = info.DefaultPriority;
    record.StartTime = info.StartTime;
    record.UntilTime = info.UntilTime;
    record.Status = info.Status;
    record.cJobs = info.cJobs;
    record.AveragePPM = info.AveragePPM;
    const HANDLE printer = ::AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&record));
    if (!printer) return Failure();
    out = Printer(this, Value(printer));
    return err::Success;
}

uint32_t Win32Spooler::OpenPrinter(const std::string& name, Printer& out) {
    return OpenPrinterWith(name, PRINTER_ALL_ACCESS, out);
}

uint32_t Win32Spooler::OpenPrinterForReading(const std::string& name, Printer& out) {
    return OpenPrinterWith(name, PRINTER_ACCESS_USE, out);
}

uint32_t Win32Spooler::OpenPrinterWith(const std::string& name, uint32_t access, Printer& out) {
    out = Printer();
    PRINTER_DEFAULTSA defaults{};
    defaults.DesiredAccess = access;
    HANDLE printer = nullptr;
    if (!::OpenPrinterA(Mutable(name), &printer, &defaults)) return Failure();
    out = Printer(this, Value(printer));
    return err::Success;
}

uint32_t Win32Spooler::GetPrinterSize(const Printer& printer, uint32_t& needed) {
    needed = 0;
    if (!printer) return err::InvalidHandle;
    DWORD size = 0;
    ::SetLastError(0);
    const BOOL ok = ::GetPrinterA(As<HANDLE>(printer.value()), 2, nullptr, 0, &size);
    needed = size;
    return ok ? err::Success : Failure();
}

uint32_t Win32Spooler::GetPrinter(const Printer& printer, PrinterInfo& out) {
    out = PrinterInfo();
    if (!printer) return err::InvalidHandle;
    std::vector<BYTE> buffer;
    const uint32_t e = ReadSized(buffer, [&](BYTE* data, DWORD size, DWORD* needed) {
        return ::GetPrinterA(As<HANDLE>(printer.value()), 2, data, size, needed);
    });
    if (e != err::Success) return e;
    if (buffer.size() < sizeof(PRINTER_INFO_2A)) return err::CanNotComplete;
    const auto& r = *reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    out.serverName = Text(r.pServerName);
    out.printerName = Text(r.pPrinterName);
    out.shareName = Text(r.pShareName);
    out.portName = Text(r.pPortName);
    out.driverName = Text(r.pDriverName);
    out.comment = Text(r.pComment);
    out.location = Text(r.pLocation);
    out.sepFile = Text(r.pSepFile);
    out.printProcessor = Text(r.pPrintProcessor);
    out.datatype = Text(r.pDatatype);
    out.parameters = Text(r.pParameters);
    out.attributes = r.Attributes;
    out.priority = r.Priority;
    out.defaultPriority = r.DefaultPriority;
    out.startTime = r.StartTime;
    out.untilTime = r.UntilTime;
    out.status = r.Status;
    out.cJobs = r.cJobs;
    out.averagePPM = r.AveragePPM;
    return err::Success;
}

uint32_t Win32Spooler::SetPrinter(const Printer& printer, const PrinterInfo& info) {
    if (!printer) return err::InvalidHandle;
    PRINTER_INFO_2A record{};
    // The local spooler reports no server name; an empty one is passed as none.
    record.pServerName = info.serverName.empty() ? nullptr : Mutable(info.serverName);
    record.pPrinterName = Mutable(info.printerName);
    record.pShareName = Mutable(info.shareName);
    record.pPortName = Mutable(info.portName);
    record.pDriverName = Mutable(info.driverName);
    record.pComment = Mutable(info.comment);
    record.pLocation = Mutable(info.location);
    record.pSepFile = Mutable(info.sepFile);
    record.pPrintProcessor = Mutable(info.printProcessor);
    record.pDatatype = Mutable(info.datatype);
    record.pParameters = Mutable(info.parameters);
    record.Attributes = info.attributes;
    record.Priority = info.priority;
    record.DefaultPriority = info.defaultPriority;
    record.StartTime = info.startTime;
    record.UntilTime = info.untilTime;
    record.Status = info.status;
    record.cJobs = info.cJobs;
    record.AveragePPM = info.averagePPM;
    return Result(
        ::SetPrinterA(As<HANDLE>(printer.value()), 2, reinterpret_cast<LPBYTE>(&record), 0));
}

uint32_t Win32Spooler::DeletePrinter(const Printer& printer) {
    if (!printer) return err::InvalidHandle;
    return Result(::DeletePrinter(As<HANDLE>(printer.value())));
}

uint32_t Win32Spooler::EnumPrinters(std::vector<PrinterInfo5>& printers) {
    printers.clear();
    std::vector<BYTE> buffer;
    DWORD count = 0;
    const uint32_t e = ReadSized(buffer, [&](BYTE* data, DWORD size, DWORD* needed) {
        count = 0;
        return ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, data, size, needed, &count);
    });
    if (e != err::Success) return e;
    const auto* records = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        printers.push_back(
            {Text(records[i].pPrinterName), Text(records[i].pPortName), records[i].Attributes});
    return err::Success;
}

uint32_t Win32Spooler::EnumPorts(std::vector<std::string>& names) {
    return EnumNames<PORT_INFO_1A>(names, [](BYTE* data, DWORD size, DWORD* needed,
                                             DWORD* count) {
        return ::EnumPortsA(nullptr, 1, data, size, needed, count);
    });
}

std::unique_ptr<SpoolerLibrary> Win32Spooler::LoadSpoolerLibrary(const std::string& name,
                                                                 uint32_t& error) {
    return w32::LoadLibraryAs<Win32SpoolerLibrary, SpoolerLibrary>(name, error);
}

}  // namespace plat

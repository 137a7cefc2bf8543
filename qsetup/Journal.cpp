#include "qsetup/Journal.h"

#include <cstdio>

#include "qsetup/Json.h"

namespace qsetup {

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

std::string Str(const char* text) { return text ? text : ""; }

std::string Environment(const char* environment) {
    return environment ? std::string(environment) : std::string("(local)");
}

std::string JsonOrNull(const char* text) { return text ? JsonString(text) : "null"; }

// Bytes in hexadecimal, a blank between two.
std::string Hex(const uint8_t* bytes, size_t count) {
    std::string hex;
    for (size_t i = 0; bytes && i < count; ++i) {
        char b[4];
        std::snprintf(b, sizeof b, "%02x", bytes[i]);
        hex += (i ? " " : "") + std::string(b);
    }
    return hex;
}

std::string Failure(uint32_t error) {
    return error ? " -- failed, error " + std::to_string(error) : std::string();
}

const char* RootName(plat::Root root) {
    switch (root) {
        case plat::Root::LocalMachine: return "HKLM";
        case plat::Root::CurrentUser: return "HKCU";
        case plat::Root::Users: return "HKU";
    }
    return "?";
}

// A registry value's data as people read it, and its type's name.
std::string ValueText(uint32_t type, const void* data, uint32_t size, const char** typeName) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (type == plat::regtype::Dword && size == 4 && bytes) {
        *typeName = "REG_DWORD";
        return std::to_string(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                              static_cast<uint32_t>(bytes[3]) << 24);
    }
    if (type == plat::regtype::Sz) {
        *typeName = "REG_SZ";
        std::string text(reinterpret_cast<const char*>(bytes), bytes ? size : 0);
        while (!text.empty() && text.back() == '\0') text.pop_back();
        return QuotedText(text);
    }
    *typeName = type == plat::regtype::Binary ? "REG_BINARY" : type == plat::regtype::None
                                                                    ? "REG_NONE"
                                                                    : "REG_?";
    return Hex(bytes, size);
}

// The spooler library with its calls that change the machine recorded.
class RecordedSpooler final : public plat::SpoolerLibrary {
public:
    RecordedSpooler(std::unique_ptr<plat::SpoolerLibrary> inner, RecordingWindows& recorder)
        : inner_(std::move(inner)), recorder_(recorder) {}
    bool HasSetDefaultPrinter() const override { return inner_->HasSetDefaultPrinter(); }
    bool HasDeletePrinterDriverEx() const override { return inner_->HasDeletePrinterDriverEx(); }
    uint32_t SetDefaultPrinter(const char* printerName) override {
        const uint32_t e = inner_->SetDefaultPrinter(printerName);
        recorder_.Add({"default-printer",
                       {{"printer", JsonOrNull(printerName)}},
                       "make " + QuotedText(Str(printerName)) + " the default printer" + Failure(e),
                       e});
        return e;
    }
    uint32_t DeletePrinterDriverEx(const char* server, const char* environment,
                                   const char* driverName, uint32_t deleteFlag,
                                   uint32_t versionFlag) override {
        const uint32_t e =
            inner_->DeletePrinterDriverEx(server, environment, driverName, deleteFlag, versionFlag);
        recorder_.Add({"driver",
                       {{"operation", "\"delete\""}, {"name", JsonOrNull(driverName)},
                        {"deleteUnusedFiles", deleteFlag & 1 ? "true" : "false"}},
                       "delete printer driver " + QuotedText(Str(driverName)) +
                           (deleteFlag & 1 ? " with its unused files" : "") + Failure(e),
                       e});
        return e;
    }

private:
    std::unique_ptr<plat::SpoolerLibrary> inner_;
    RecordingWindows& recorder_;
};

// The USB interface library with the writes to the printer recorded.
class RecordedUsb final : public plat::UsbLibrary {
public:
    RecordedUsb(std::unique_ptr<plat::UsbLibrary> inner, RecordingWindows& recorder)
        : inner_(std::move(inner)), recorder_(recorder) {}
    bool Has(std::string_view entryPoint) const override { return inner_->Has(entryPoint); }
    int32_t OpenDeviceX(int32_t index) override { return inner_->OpenDeviceX(index); }
    void CloseDevice(int32_t handle) override { inner_->CloseDevice(handle); }
    int32_t uWrite(int32_t handle, int32_t reserved, const uint8_t* bytes,
                   int32_t count) override {
        const int32_t written = inner_->uWrite(handle, reserved, bytes, count);
        const std::string hex = Hex(bytes, count > 0 ? static_cast<size_t>(count) : 0);
        const uint32_t error = written > 0 ? 0u : 31u;  // ERROR_GEN_FAILURE
        recorder_.Add({"usb",
                       {{"bytes", JsonString(hex)}, {"written", std::to_string(written)}},
                       "write " + std::to_string(count) + " bytes to the USB printer (" + hex +
                           ")" + Failure(error),
                       error});
        return written;
    }
    int32_t GetPrinterInternalID(int32_t handle) override {
        return inner_->GetPrinterInternalID(handle);
    }

private:
    std::unique_ptr<plat::UsbLibrary> inner_;
    RecordingWindows& recorder_;
};

}  // namespace

std::string QuotedText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out + "\"";
}

void Journal::Record(const JournalEntry& entry) {
    plat::LockGuard lock(mu_);
    entries_.push_back(entry);
}

std::vector<JournalEntry> Journal::Entries() const {
    plat::LockGuard lock(mu_);
    return entries_;
}

RecordingWindows::RecordingWindows(const plat::Windows& inner, JournalSink& sink,
                                   std::function<std::string(const std::string&)> showPath)
    : Windows(inner), sink_(sink), showPath_(std::move(showPath)), registry_(inner, *this),
      profile_(inner, *this), files_(inner, *this), spooler_(inner, *this),
      services_(inner, *this), desktop_(inner, *this), clock_(inner, *this), usb_(inner, *this) {
    // The parts are made after the machine this is, which then takes them.
    static_cast<Windows&>(*this) = inner.With(registry_).With(profile_).With(files_)
                                       .With(spooler_).With(services_).With(desktop_)
                                       .With(clock_).With(usb_);
}

void RecordingWindows::Add(JournalEntry entry) { sink_.Record(entry); }

std::string RecordingWindows::Show(const std::string& path) const {
    return showPath_ ? showPath_(path) : path;
}

std::string RecordingWindows::NameOf(uintptr_t handle) const {
    plat::LockGuard lock(mu_);
    auto it = names_.find(handle);
    return it == names_.end() ? std::string("?") : it->second;
}

void RecordingWindows::Remember(uintptr_t handle, std::string name) {
    plat::LockGuard lock(mu_);
    names_[handle] = std::move(name);
}

void RecordingWindows::Forget(uintptr_t handle) {
    plat::LockGuard lock(mu_);
    names_.erase(handle);
}

uint32_t RecordingWindows::RegistryPart::Release(plat::HandleKind kind, uintptr_t value) {
    r_.Forget(value);
    return plat::ForwardingRegistry::Release(kind, value);
}

uint32_t RecordingWindows::SpoolerPart::Release(plat::HandleKind kind, uintptr_t value) {
    r_.Forget(value);
    return plat::ForwardingSpooler::Release(kind, value);
}

uint32_t RecordingWindows::ServicesPart::Release(plat::HandleKind kind, uintptr_t value) {
    r_.Forget(value);
    return plat::ForwardingServices::Release(kind, value);
}


uint32_t RecordingWindows::RegistryPart::RegOpenKey(plat::Root root, const std::string& path,
                                      plat::RegKey& out) {
    const uint32_t e = plat::ForwardingRegistry::RegOpenKey(root, path, out);
    if (out) r_.Remember(out.value(), std::string(RootName(root)) + "\\" + path);
    return e;
}

uint32_t RecordingWindows::RegistryPart::RegCreateKey(plat::Root root, const std::string& path,
                                        plat::RegKey& out) {
    const uint32_t e = plat::ForwardingRegistry::RegCreateKey(root, path, out);
    if (out) r_.Remember(out.value(), std::string(RootName(root)) + "\\" + path);
    return e;
}

uint32_t RecordingWindows::RegistryPart::RegOpenSubKey(const plat::RegKey& key,
                                                       const std::string& path, plat::RegKey& out) {
    const uint32_t e = plat::ForwardingRegistry::RegOpenSubKey(key, path, out);
    if (out) r_.Remember(out.value(), r_.NameOf(key.value()) + "\\" + path);
    return e;
}

uint32_t RecordingWindows::RegistryPart::RegSetValue(const plat::RegKey& key,
                                                     const std::string& name, uint32_t type,
                                                     const void* data, uint32_t size) {
    const uint32_t e = plat::ForwardingRegistry::RegSetValue(key, name, type, data, size);
    std::string path = r_.NameOf(key.value());
    while (!path.empty() && path.back() == '\\') path.pop_back();
    const char* typeName = "";
    const std::string value = ValueText(type, data, size, &typeName);
    r_.Add({"registry",
         {{"operation", "\"set\""}, {"key", JsonString(path)}, {"name", JsonString(name)},
          {"type", JsonString(typeName)}, {"data", JsonString(value)}},
         "set " + path + "\\" + name + " = " + value + " (" + typeName + ")" + Failure(e),
         e});
    return e;
}

uint32_t RecordingWindows::RegistryPart::RegDeleteKey(plat::Root root, const std::string& path) {
    const uint32_t e = plat::ForwardingRegistry::RegDeleteKey(root, path);
    const std::string full = std::string(RootName(root)) + "\\" + path;
    r_.Add({"registry", {{"operation", "\"delete-key\""}, {"key", JsonString(full)}},
         "delete the key " + full + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::RegistryPart::RegDeleteValue(const plat::RegKey& key,
                                                        const std::string& name) {
    const uint32_t e = plat::ForwardingRegistry::RegDeleteValue(key, name);
    const std::string path = r_.NameOf(key.value());
    r_.Add({"registry",
         {{"operation", "\"delete-value\""}, {"key", JsonString(path)}, {"name", JsonString(name)}},
         "delete " + path + "\\" + name + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::ProfilePart::WriteProfileString(const char* section, const char* key,
                                              const char* value) {
    const uint32_t e = plat::ForwardingProfile::WriteProfileString(section, key, value);
    if (!section && !key && !value) return e;  // the cache flush changes nothing
    std::string text = "write win.ini [" + Str(section) + "] ";
    if (!key) text += "(delete the section)";
    else if (!value) text += Str(key) + " (delete)";
    else text += Str(key) + " = " + QuotedText(value);
    r_.Add({"profile",
         {{"file", "\"win.ini\""}, {"section", JsonOrNull(section)}, {"key", JsonOrNull(key)},
          {"value", JsonOrNull(value)}},
         text + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::FilesPart::CopyFile(const std::string& source, const std::string& target,
                                    bool failIfExists) {
    const uint32_t e = plat::ForwardingFiles::CopyFile(source, target, failIfExists);
    r_.Add({"copy",
         {{"source", JsonString(r_.Show(source))}, {"target", JsonString(r_.Show(target))},
          {"overwrite", failIfExists ? "false" : "true"}},
         "copy " + r_.Show(source) + " to " + r_.Show(target) +
             (failIfExists ? " (unless it exists)" : "") + Failure(e),
         e});
    return e;
}

uint32_t RecordingWindows::FilesPart::DeleteFile(const std::string& path) {
    const uint32_t e = plat::ForwardingFiles::DeleteFile(path);
    r_.Add({"file", {{"operation", "\"delete\""}, {"path", JsonString(r_.Show(path))}},
         "delete " + r_.Show(path) + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::FilesPart::CreateDirectory(const std::string& path) {
    const uint32_t e = plat::ForwardingFiles::CreateDirectory(path);
    r_.Add({"folder", {{"operation", "\"create\""}, {"path", JsonString(r_.Show(path))}},
         "create the folder " + r_.Show(path) + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::FilesPart::WriteFile(const std::string& path, const std::string& bytes) {
    const uint32_t e = plat::ForwardingFiles::WriteFile(path, bytes);
    r_.Add({"file",
         {{"operation", "\"write\""}, {"path", JsonString(r_.Show(path))},
          {"bytes", std::to_string(bytes.size())}},
         "write " + std::to_string(bytes.size()) + " bytes to " + r_.Show(path) + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::SpoolerPart::AddMonitor(const plat::MonitorInfo2& info) {
    const uint32_t e = plat::ForwardingSpooler::AddMonitor(info);
    r_.Add({"monitor",
         {{"operation", "\"add\""}, {"name", JsonOrNull(info.pName)},
          {"environment", JsonOrNull(info.pEnvironment)}, {"dll", JsonOrNull(info.pDLLName)}},
         "add the port monitor " + QuotedText(Str(info.pName)) + ": DLL " + Str(info.pDLLName) +
             ", environment " + Environment(info.pEnvironment) + Failure(e),
         e});
    return e;
}

uint32_t RecordingWindows::SpoolerPart::DeleteMonitor(const char* environment,
                                                      const std::string& name) {
    const uint32_t e = plat::ForwardingSpooler::DeleteMonitor(environment, name);
    r_.Add({"monitor", {{"operation", "\"delete\""}, {"name", JsonString(name)}},
         "delete the port monitor " + QuotedText(name) + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::SpoolerPart::AddPrintProcessor(const char* environment,
                                                          const std::string& pathName,
                                                          const std::string& name) {
    const uint32_t e = plat::ForwardingSpooler::AddPrintProcessor(environment, pathName, name);
    r_.Add({"processor",
         {{"operation", "\"add\""}, {"name", JsonString(name)},
          {"environment", JsonOrNull(environment)}, {"dll", JsonString(pathName)}},
         "add the print processor " + QuotedText(name) + ": DLL " + pathName + ", environment " +
             Environment(environment) + Failure(e),
         e});
    return e;
}

uint32_t RecordingWindows::SpoolerPart::DeletePrintProcessor(const char* environment,
                                                             const std::string& name) {
    const uint32_t e = plat::ForwardingSpooler::DeletePrintProcessor(environment, name);
    r_.Add({"processor", {{"operation", "\"delete\""}, {"name", JsonString(name)}},
         "delete the print processor " + QuotedText(name) + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::SpoolerPart::AddPrinterDriver(const plat::DriverInfo3& info) {
    const uint32_t e = plat::ForwardingSpooler::AddPrinterDriver(info);
    std::string dependent, dependentJson;
    for (const char* p = info.pDependentFiles; p && *p; p += std::string(p).size() + 1) {
        dependent += (dependent.empty() ? "" : " ") + std::string(p);
        dependentJson += (dependentJson.empty() ? "" : ",") + JsonString(p);
    }
    r_.Add({"driver",
         {{"operation", "\"add\""},
          {"name", JsonOrNull(info.pName)},
          {"version", std::to_string(info.cVersion)},
          {"environment", JsonOrNull(info.pEnvironment)},
          {"driverPath", JsonOrNull(info.pDriverPath)},
          {"dataFile", JsonOrNull(info.pDataFile)},
          {"configFile", JsonOrNull(info.pConfigFile)},
          {"helpFile", JsonOrNull(info.pHelpFile)},
          {"dependentFiles", "[" + dependentJson + "]"},
          {"monitorName", JsonOrNull(info.pMonitorName)},
          {"defaultDataType", JsonOrNull(info.pDefaultDataType)}},
         "add the printer driver " + QuotedText(Str(info.pName)) + ": version " +
             std::to_string(info.cVersion) + ", environment " + Environment(info.pEnvironment) +
             ", driver " + Str(info.pDriverPath) + ", data " + Str(info.pDataFile) +
             ", configuration " + Str(info.pConfigFile) + ", help " + Str(info.pHelpFile) +
             ", dependent files " + (dependent.empty() ? "(none)" : dependent) + ", monitor " +
             (info.pMonitorName ? info.pMonitorName : "(none)") + ", default data type " +
             (info.pDefaultDataType ? info.pDefaultDataType : "(none)") + Failure(e),
         e});
    return e;
}

uint32_t RecordingWindows::SpoolerPart::DeletePrinterDriver(const char* server,
                                                            const char* environment,
                                                            const std::string& name) {
    const uint32_t e = plat::ForwardingSpooler::DeletePrinterDriver(server, environment, name);
    r_.Add({"driver", {{"operation", "\"delete\""}, {"name", JsonString(name)}},
         "delete the printer driver " + QuotedText(name) + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::SpoolerPart::AddPrinter(const plat::PrinterInfo2& info,
                                                   plat::Printer& out) {
    const uint32_t e = plat::ForwardingSpooler::AddPrinter(info, out);
    if (out) r_.Remember(out.value(), Str(info.pPrinterName));
    r_.Add({"printer",
         {{"operation", "\"add\""},
          {"name", JsonOrNull(info.pPrinterName)},
          {"port", JsonOrNull(info.pPortName)},
          {"driver", JsonOrNull(info.pDriverName)},
          {"printProcessor", JsonOrNull(info.pPrintProcessor)},
          {"dataType", JsonOrNull(info.pDatatype)},
          {"attributes", std::to_string(info.Attributes)}},
         "add the printer " + QuotedText(Str(info.pPrinterName)) + ": port " + Str(info.pPortName) +
             ", driver " + QuotedText(Str(info.pDriverName)) + ", print processor " +
             Str(info.pPrintProcessor) + ", data type " +
             (info.pDatatype ? info.pDatatype : "(none)") + ", attributes " +
             std::to_string(info.Attributes) + Failure(e),
         e});
    return e;
}

uint32_t RecordingWindows::SpoolerPart::OpenPrinter(const std::string& name, plat::Printer& out) {
    const uint32_t e = plat::ForwardingSpooler::OpenPrinter(name, out);
    if (out) r_.Remember(out.value(), name);
    return e;
}

uint32_t RecordingWindows::SpoolerPart::SetPrinter(const plat::Printer& printer,
                                                   const plat::PrinterInfo& info) {
    const uint32_t e = plat::ForwardingSpooler::SetPrinter(printer, info);
    const std::string name = r_.NameOf(printer.value());
    r_.Add({"printer",
         {{"operation", "\"set\""}, {"name", JsonString(name)},
          {"attributes", std::to_string(info.attributes)}},
         "set the printer " + QuotedText(name) + ": attributes " + std::to_string(info.attributes) +
             ((info.attributes & plat::printer_attr::Default) ? " (the default printer)" : "") +
             Failure(e),
         e});
    return e;
}

uint32_t RecordingWindows::SpoolerPart::DeletePrinter(const plat::Printer& printer) {
    const uint32_t e = plat::ForwardingSpooler::DeletePrinter(printer);
    const std::string name = r_.NameOf(printer.value());
    r_.Add({"printer", {{"operation", "\"delete\""}, {"name", JsonString(name)}},
         "delete the printer " + QuotedText(name) + Failure(e), e});
    return e;
}

std::unique_ptr<plat::SpoolerLibrary> RecordingWindows::SpoolerPart::LoadSpoolerLibrary(
    const std::string& name, uint32_t& error) {
    auto inner = plat::ForwardingSpooler::LoadSpoolerLibrary(name, error);
    if (!inner) return inner;
    return std::make_unique<RecordedSpooler>(std::move(inner), r_);
}

void RecordingWindows::DesktopPart::BroadcastIniChange(const char* section, bool notifyOnly) {
    plat::ForwardingDesktop::BroadcastIniChange(section, notifyOnly);
    r_.Add({"broadcast", {{"section", JsonOrNull(section)}},
         std::string("tell every window that win.ini changed") +
             (section ? " (section " + QuotedText(section) + ")" : std::string()),
         0});
}

uint32_t RecordingWindows::ServicesPart::OpenService(const plat::ScHandle& manager,
                                                     const std::string& name, uint32_t access,
                                                     plat::ScHandle& out) {
    const uint32_t e = plat::ForwardingServices::OpenService(manager, name, access, out);
    if (out) r_.Remember(out.value(), name);
    return e;
}

uint32_t RecordingWindows::ServicesPart::ControlServiceStop(const plat::ScHandle& service) {
    const uint32_t e = plat::ForwardingServices::ControlServiceStop(service);
    const std::string name = r_.NameOf(service.value());
    r_.Add({"service", {{"operation", "\"stop\""}, {"name", JsonString(name)}},
         "stop the " + QuotedText(name) + " service" + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::ServicesPart::StartService(const plat::ScHandle& service) {
    const uint32_t e = plat::ForwardingServices::StartService(service);
    const std::string name = r_.NameOf(service.value());
    r_.Add({"service", {{"operation", "\"start\""}, {"name", JsonString(name)}},
         "start the " + QuotedText(name) + " service" + Failure(e), e});
    return e;
}

uint32_t RecordingWindows::DesktopPart::ExitWindows(uint32_t flags, uint32_t reason) {
    const uint32_t e = plat::ForwardingDesktop::ExitWindows(flags, reason);
    r_.Add({"restart", {{"flags", std::to_string(flags)}}, "restart Windows" + Failure(e), e});
    return e;
}

std::unique_ptr<plat::UsbLibrary> RecordingWindows::UsbPart::LoadUsbLibrary(const std::string& name,
                                                                   uint32_t& error) {
    auto inner = inner_.LoadUsbLibrary(name, error);
    if (!inner) return inner;
    return std::make_unique<RecordedUsb>(std::move(inner), r_);
}

void RecordingWindows::ClockPart::Sleep(uint32_t milliseconds) {
    r_.Add({"wait", {{"ms", std::to_string(milliseconds)}},
         "wait " + std::to_string(milliseconds) + " ms", 0});
    plat::ForwardingClock::Sleep(milliseconds);
}

int RecordingWindows::DesktopPart::MessageBox(plat::Window owner, const std::string& text,
                                 const std::string& caption, uint32_t flags) {
    const int answer = plat::ForwardingDesktop::MessageBox(owner, text, caption, flags);
    const bool question = (flags & 0xF) == plat::mb::YesNo;
    const char* answered = answer == plat::mb::IdYes  ? "Yes"
                           : answer == plat::mb::IdNo ? "No"
                           : answer == plat::mb::IdOk ? "OK"
                                                      : "nothing";
    r_.Add({"message",
         {{"text", JsonString(text)}, {"caption", JsonString(caption)},
          {"buttons", question ? "\"Yes/No\"" : "\"OK\""}, {"answer", JsonString(answered)}},
         std::string(question ? "question " : "message ") + QuotedText(text) +
             (question ? std::string(": answered ") + answered : std::string()),
         0});
    return answer;
}

}  // namespace qsetup

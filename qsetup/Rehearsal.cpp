#include "qsetup/Rehearsal.h"

#include <optional>

#include "common/Types.h"
#include "platform/Desktop.h"
#include "platform/Files.h"
#include "platform/Spooler.h"
#include "platform/Windows.h"
#include "qsetup/MountedPackage.h"
#include "setup/engine/InstallCommand.h"
#include "setup/engine/UsbCommand.h"
#include "setup/wizard/PortPage.h"
#include "setup/wizard/SetupStartup.h"

namespace qsetup {

namespace {

// Keeps the last failing call that changes the machine, and the last text
// Setup showed: one decorator each for the files, the spooler and the
// desktop, writing to one record.
class FailureWatch {
public:
    explicit FailureWatch(const plat::Windows& inner)
        : files_(inner, *this), spooler_(inner, *this), desktop_(inner, *this),
          watched_(inner.With(files_).With(spooler_).With(desktop_)) {}
    FailureWatch(const FailureWatch&) = delete;
    FailureWatch& operator=(const FailureWatch&) = delete;

    plat::Windows& Watched() { return watched_; }

    FailedCall Failed() const {
        plat::LockGuard lock(mu_);
        return failed_;
    }
    std::string LastMessage() const {
        plat::LockGuard lock(mu_);
        return last_;
    }

private:
    struct Files final : plat::ForwardingFiles {
        Files(plat::Files& inner, FailureWatch& watch) : ForwardingFiles(inner), watch_(watch) {}
        uint32_t CopyFile(const std::string& source, const std::string& target,
                          bool failIfExists) override {
            const uint32_t e = ForwardingFiles::CopyFile(source, target, failIfExists);
            if (e) watch_.Fail(FailedCall::Copy, source.substr(source.find_last_of('\\') + 1));
            return e;
        }
        FailureWatch& watch_;
    };
    struct Spooler final : plat::ForwardingSpooler {
        Spooler(plat::Spooler& inner, FailureWatch& watch)
            : ForwardingSpooler(inner), watch_(watch) {}
        uint32_t AddMonitor(const plat::MonitorInfo2& info) override {
            const uint32_t e = ForwardingSpooler::AddMonitor(info);
            if (e && e != plat::err::PrintMonitorAlreadyInstalled && e != plat::err::AlreadyExists)
                watch_.Fail(FailedCall::Monitor, {});
            return e;
        }
        uint32_t AddPrintProcessor(const char* environment, const std::string& pathName,
                                   const std::string& name) override {
            const uint32_t e = ForwardingSpooler::AddPrintProcessor(environment, pathName, name);
            if (e) watch_.Fail(FailedCall::Processor, {});
            return e;
        }
        uint32_t AddPrinterDriver(const plat::DriverInfo3& info) override {
            const uint32_t e = ForwardingSpooler::AddPrinterDriver(info);
            if (e) watch_.Fail(FailedCall::Driver, {});
            return e;
        }
        uint32_t AddPrinter(const plat::PrinterInfo2& info, plat::Printer& out) override {
            const uint32_t e = ForwardingSpooler::AddPrinter(info, out);
            if (e) watch_.Fail(FailedCall::Printer, {});
            return e;
        }
        FailureWatch& watch_;
    };
    struct Desktop final : plat::ForwardingDesktop {
        Desktop(plat::Desktop& inner, FailureWatch& watch)
            : ForwardingDesktop(inner), watch_(watch) {}
        int MessageBox(plat::Window owner, const std::string& text, const std::string& caption,
                       uint32_t flags) override {
            {
                plat::LockGuard lock(watch_.mu_);
                watch_.last_ = text;
            }
            return ForwardingDesktop::MessageBox(owner, text, caption, flags);
        }
        FailureWatch& watch_;
    };

    void Fail(FailedCall::Kind kind, std::string file) {
        plat::LockGuard lock(mu_);
        failed_ = {kind, std::move(file)};
    }

    mutable plat::Lock mu_;
    FailedCall failed_;
    std::string last_;
    Files files_;
    Spooler spooler_;
    Desktop desktop_;
    plat::Windows watched_;
};

class Rehearser {
public:
    explicit Rehearser(const PackageImage& image) : image_(image) {}

    // The walk on a fresh machine of `os`; `usbPrinterId` attaches a printer.
    Rehearsal Walk(const WizardInput& input, int32_t os, std::optional<int32_t> usbPrinterId) {
        plat::SimWindows machine;
        // Setup reads the same INI files hundreds of times.
        machine.SetProfileIndexing(true);
        PutPackageImage(image_, machine);
        std::string assumed;
        PrepareMachine(machine, os, usbPrinterId, assumed);
        FailureWatch watch(machine);
        JoinedProgress progress;
        Rehearsal r;
        r.input = input;
        r.os = os;
        r.result = RunWizard(watch.Watched(), input, progress, ApplicationName(machine));
        if (!r.Installed()) {
            r.failed = watch.Failed();
            r.message = r.result.end == WizardEnd::Failed ? r.result.message : watch.LastMessage();
        }
        return r;
    }

private:
    const PackageImage& image_;
};

// The internal ID of a USB printer that picks `port` of `model` ("USB_M_3": 2).
int32_t UsbPrinterIdFor(const std::string& model, const std::string& port) {
    for (int n = 1; n <= 4; ++n)
        if (UsbPortName(model, n) == port) return n - 1;
    return 0;
}

}  // namespace

std::vector<Rehearsal> RehearseOffered(plat::Windows& from, const std::string& root) {
    std::vector<Rehearsal> done;
    PackageImage image;
    if (!ReadPackageImage(from, root, image)) return done;
    Rehearser rehearser(image);
    for (int32_t os = Win98; os <= WinVista; ++os) {
        const std::vector<std::string> models =
            rehearser.Walk(WizardInput{}, os, std::nullopt).result.models;
        for (const std::string& model : models) {
            for (const bool advanced : {false, true}) {
                WizardInput input;
                input.model = model;
                input.advanced = advanced;
                // To the port page: what it lists (nothing when the setup
                // type or the Windows version is not offered).
                const Rehearsal probe = rehearser.Walk(input, os, std::nullopt);
                if (probe.result.end != WizardEnd::BadChoice) continue;
                std::vector<std::string> ports;
                std::vector<int32_t> kinds;
                for (const std::string& port : probe.result.ports) {
                    const int32_t kind = DerivePortKind(port.c_str());
                    bool seen = false;
                    for (int32_t k : kinds) seen = seen || k == kind;
                    if (seen) continue;
                    kinds.push_back(kind);
                    ports.push_back(port);
                }
                for (size_t i = 0; i < ports.size(); ++i) {
                    input.port = ports[i];
                    const std::optional<int32_t> usb =
                        kinds[i] == Usb ? std::optional<int32_t>(UsbPrinterIdFor(model, ports[i]))
                                        : std::nullopt;
                    for (const bool raster : {false, true}) {
                        input.raster = raster;
                        Rehearsal r = rehearser.Walk(input, os, usb);
                        r.portKind = kinds[i];
                        const bool choice = r.result.rasterChoice;
                        if (r.result.end != WizardEnd::BadChoice) done.push_back(std::move(r));
                        // Only a box the person can tick has a second mode.
                        if (!choice) break;
                    }
                }
            }
        }
    }
    return done;
}

}  // namespace qsetup

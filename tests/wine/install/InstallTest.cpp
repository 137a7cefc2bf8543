// Installations under Wine: the Install command and its worker on the real
// Win32 layer, on the sample package laid out by the build with its driver
// binaries and the stand-in KvUsbInt.dll. Message boxes are answered by
// script; every result is read back from the spooler (printers, monitors,
// ports, drivers) and the registry, not from the program's own messages.
//
// The tests of this program share one Wine prefix and run in order.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/Win32Windows.h"
#include "setup/engine/InstallCommand.h"
#include "setup/engine/Messages.h"
#include "tests/wine/install/ScriptedWindows.h"

namespace {

using plat::Root;

constexpr const char* kUsbMonitor = "Quillset USB Port Monitor";
constexpr const char* kSerialMonitor = "Quillset Serial Port Monitor";
constexpr const char* kMonitorKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
constexpr const char* kPrinterPortKey = "SOFTWARE\\TARVELO\\PRINTERPORT";
constexpr const char* kPortNameKey = "SOFTWARE\\TARVELO\\PORTNAME";
constexpr const char* kNtPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
constexpr const char* kUsbState = "C:\\windows\\temp\\kvusbint-install.state";

// The laid-out package as this Wine's programs see it (drive Z: is the root).
std::string PackageDir() {
    std::string path = std::string("Z:") + KV_PACKAGE_DIR_UNIX;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Waits for the worker through the platform's clock, as the headless runner does.
class InstallUnderWine : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The stand-in USB library reads its attached printers from here.
        static std::string setting = std::string("KVUSB_STATE=") + kUsbState;
        _putenv(setting.c_str());
    }

    void SetUp() override {
        ASSERT_EQ(real.folders().SetCurrentDirectory(PackageDir()), plat::err::Success)
            << PackageDir();
        uint32_t attributes = 0;
        ASSERT_EQ(real.files().GetFileAttributes(PackageDir() + "\\winnt\\QSDRV.DLL", attributes),
                  plat::err::Success)
            << "the sample binaries are not in the package";
    }

    InstallOutcome Install(const WizardChoices& choices) {
        session = std::make_unique<InstallSession>(windows);
        HeadlessProgress progress(windows);
        NoWizardWindow wizard;
        InstallCommand command(windows, *session, progress, wizard, MessageContext{0, "Setup"});
        return command.Run(choices);
    }

    static WizardChoices Choices(const std::string& model, int32_t module,
                                 const std::string& port) {
        WizardChoices c;
        c.module = module;
        c.model = model;
        c.os = WinXP;
        c.portName = port;
        c.driverMode = port.find("COM") != std::string::npos ? Std : Gdi;
        return c;
    }

    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : windows.Boxes()) texts.push_back(box.text);
        return texts;
    }

    // ---- reading the machine back
    std::optional<plat::PrinterInfo> Printer(const std::string& name) {
        std::vector<plat::PrinterInfo5> printers;
        if (real.spooler().EnumPrinters(printers) != plat::err::Success) return std::nullopt;
        bool listed = std::any_of(printers.begin(), printers.end(),
                                  [&](const auto& p) { return p.printerName == name; });
        if (!listed) return std::nullopt;
        plat::Printer handle;
        if (real.spooler().OpenPrinter(name, handle) != plat::err::Success) return std::nullopt;
        plat::PrinterInfo info;
        if (real.spooler().GetPrinter(handle, info) != plat::err::Success) return std::nullopt;
        return info;
    }
    size_t PrintersNamedLike(const std::string& prefix) {
        std::vector<plat::PrinterInfo5> printers;
        real.spooler().EnumPrinters(printers);
        return std::count_if(printers.begin(), printers.end(), [&](const auto& p) {
            return p.printerName.compare(0, prefix.size(), prefix) == 0;
        });
    }
    bool HasMonitor(const std::string& name) {
        std::vector<std::string> names;
        return real.spooler().EnumMonitors(names) == plat::err::Success &&
               std::find(names.begin(), names.end(), name) != names.end();
    }
    bool HasPort(const std::string& name) {
        std::vector<std::string> names;
        return real.spooler().EnumPorts(names) == plat::err::Success &&
               std::find(names.begin(), names.end(), name) != names.end();
    }
    bool HasDriver(const std::string& name) {
        std::vector<std::string> names;
        return real.spooler().EnumPrinterDrivers(nullptr, names) == plat::err::Success &&
               std::find(names.begin(), names.end(), name) != names.end();
    }
    bool KeyExists(const std::string& path) {
        plat::RegKey key;
        return real.registry().RegOpenKey(Root::LocalMachine, path, key) == plat::err::Success;
    }
    std::optional<uint32_t> Dword(const std::string& path, const std::string& name) {
        plat::RegKey key;
        if (real.registry().RegOpenKey(Root::LocalMachine, path, key) != plat::err::Success)
            return std::nullopt;
        std::vector<uint8_t> data;
        uint32_t type = 0;
        if (real.registry().RegQueryValue(key, name, &type, data, 4) != plat::err::Success ||
            type != plat::regtype::Dword || data.size() != 4)
            return std::nullopt;
        return data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
    }
    std::optional<std::string> Text(const std::string& path, const std::string& name) {
        plat::RegKey key;
        if (real.registry().RegOpenKey(Root::LocalMachine, path, key) != plat::err::Success)
            return std::nullopt;
        std::vector<uint8_t> data;
        uint32_t type = 0;
        if (real.registry().RegQueryValue(key, name, &type, data, 400) != plat::err::Success)
            return std::nullopt;
        std::string text(data.begin(), data.end());
        return text.substr(0, text.find('\0'));
    }
    std::string DriverKey(const std::string& driver) {
        return std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") +
               real.spooler().LocalEnvironment() + "\\Drivers\\Version-3\\" + driver;
    }

    plat::Win32Windows real;
    plat::ScriptedWindows windows{real, PackageDir() + "\\Setup.exe"};
    std::unique_ptr<InstallSession> session;
};

TEST_F(InstallUnderWine, ParallelTypicalAndTheSameAgain) {
    ASSERT_EQ(Install(Choices("KRT-P58", Receipt, "LPT1:")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kInstalled});

    auto printer = Printer("KRT-P58(P)");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->portName, "LPT1:");
    EXPECT_EQ(printer->driverName, "Quillset KRT-P58 Receipt Raster");
    EXPECT_EQ(printer->printProcessor, "WinPrint");
    EXPECT_TRUE(HasDriver("Quillset KRT-P58 Receipt Raster"));
    EXPECT_TRUE(KeyExists(DriverKey("Quillset KRT-P58 Receipt Raster")));
    // A parallel port needs no monitor and writes no USB records.
    EXPECT_FALSE(HasMonitor(kUsbMonitor));
    EXPECT_FALSE(KeyExists(kPrinterPortKey));

    windows.ClearBoxes();
    ASSERT_EQ(Install(Choices("KRT-P58", Receipt, "LPT1:")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kInstalled});
    auto second = Printer("KRT-P58(P)(1)");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->portName, "LPT1:");
    EXPECT_TRUE(Printer("KRT-P58(P)"));
    EXPECT_EQ(PrintersNamedLike("KRT-P58(P)"), 2u);
    EXPECT_STREQ(session->createdName, "KRT-P58(P)(1)");
}

TEST_F(InstallUnderWine, UsbTypicalWithThePrinterOnItsPort) {
    ASSERT_EQ(real.files().WriteFile(kUsbState, "0 0\n"), plat::err::Success);
    ASSERT_EQ(Install(Choices("KRT-P58", Receipt, "USB_KRT-P58_1")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kInstalledRepower});

    EXPECT_TRUE(HasMonitor(kUsbMonitor));
    EXPECT_EQ(Dword(std::string(kMonitorKey) + kUsbMonitor, "DriverVersion"), 3u);
    EXPECT_TRUE(HasPort("USB_KRT-P58_1"));
    auto printer = Printer("KRT-P58(U) 1");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->portName, "USB_KRT-P58_1");
    EXPECT_EQ(printer->driverName, "Quillset KRT-P58 Receipt Raster");

    for (int d = 1; d <= 8; ++d) EXPECT_EQ(Dword(kPrinterPortKey, "D" + std::to_string(d)), 0u);
    EXPECT_EQ(Dword(kPrinterPortKey, "USB_KRT-P58_1"), 0u);
    EXPECT_EQ(Dword(kPrinterPortKey, "USB_KRT-P58_2"), 255u);
    EXPECT_EQ(Dword(kPortNameKey, "USB_KRT-P58_1"), 0u);

    // The printer's ID was right: nothing was written to it.
    std::string state;
    ASSERT_EQ(real.files().ReadFile(kUsbState, state), plat::err::Success);
    EXPECT_EQ(state, "0 0\n");

    // A second queue of the same name on that port is refused.
    windows.ClearBoxes();
    ASSERT_EQ(Install(Choices("KRT-P58", Receipt, "USB_KRT-P58_1")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kMaxPrintersOnPort});
    EXPECT_EQ(PrintersNamedLike("KRT-P58(U)"), 1u);
}

TEST_F(InstallUnderWine, UsbPrinterWithAnotherIdIsMovedToTheFirstPort) {
    ASSERT_EQ(real.files().WriteFile(kUsbState, "0 2\n"), plat::err::Success);
    ASSERT_EQ(Install(Choices("KLB-L40", Label, "USB_KLB-L40_1")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{msg::kChangePrinterName,
                                                     msg::kInstalledRepower}));
    std::string state;
    ASSERT_EQ(real.files().ReadFile(kUsbState, state), plat::err::Success);
    EXPECT_EQ(state.substr(0, 3), "0 0");
    auto printer = Printer("KLB-L40(U) 1");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->portName, "USB_KLB-L40_1");
    EXPECT_EQ(Dword(kPortNameKey, "USB_KLB-L40_1"), 20u);
}

// Before the serial installation below: this one brings the serial monitor.
TEST_F(InstallUnderWine, APackageOnReadOnlyMediaLeavesNoReadOnlyFiles) {
    // The package as a CD holds it: every file read-only.
    const std::string cd = "C:\\readonly-package";
    std::function<void(const std::string&, const std::string&)> copyTree =
        [&](const std::string& from, const std::string& to) {
            real.files().CreateDirectory(to);
            std::vector<plat::FindData> entries;
            plat::FindHandle find;
            plat::FindData entry;
            if (real.files().FindFirstFile(from + "\\*", find, entry) != plat::err::Success) return;
            do {
                if (entry.name != "." && entry.name != "..") entries.push_back(entry);
            } while (real.files().FindNextFile(find, entry) == plat::err::Success);
            for (const auto& e : entries) {
                if (e.attributes & plat::attr::Directory) {
                    copyTree(from + "\\" + e.name, to + "\\" + e.name);
                    continue;
                }
                ASSERT_EQ(real.files().CopyFile(from + "\\" + e.name, to + "\\" + e.name, false),
                          plat::err::Success);
                real.files().SetFileAttributes(to + "\\" + e.name, plat::attr::ReadOnly);
            }
        };
    copyTree(PackageDir(), cd);
    uint32_t attributes = 0;
    ASSERT_EQ(real.files().GetFileAttributes(cd + "\\winnt\\QSCOMMON.DLL", attributes),
              plat::err::Success);
    ASSERT_TRUE(attributes & plat::attr::ReadOnly);

    ASSERT_EQ(real.folders().SetCurrentDirectory(cd), plat::err::Success);
    plat::ScriptedWindows fromCd{real, cd + "\\Setup.exe"};
    session = std::make_unique<InstallSession>(fromCd);
    HeadlessProgress progress(fromCd);
    NoWizardWindow wizard;
    InstallCommand command(fromCd, *session, progress, wizard, MessageContext{0, "Setup"});
    auto c = Choices("KTT-T80", Ticket, "VXCOM1:");
    c.installFonts = true;
    ASSERT_EQ(command.Run(c), InstallOutcome::Finished);
    ASSERT_EQ(fromCd.Boxes().size(), 1u);
    EXPECT_EQ(fromCd.Boxes()[0].text, msg::kInstalled);
    ASSERT_TRUE(Printer("KTT-T80(S)"));

    std::string system, processors, drivers, windowsDir;
    ASSERT_EQ(real.folders().GetSystemDirectory(system, 260), plat::err::Success);
    ASSERT_EQ(real.folders().GetPrintProcessorDirectory(nullptr, processors, 260),
              plat::err::Success);
    ASSERT_EQ(real.folders().GetPrinterDriverDirectory(nullptr, drivers, 260), plat::err::Success);
    ASSERT_EQ(real.folders().GetWindowsDirectory(windowsDir, 260), plat::err::Success);
    for (const std::string& copy :
         {system + "\\QSCOMMON.DLL", system + "\\QSCOMUI.DLL", processors + "\\QSPROC.DLL",
          drivers + "\\QSTKT.GPD", drivers + "\\QSDRV.DLL", drivers + "\\3\\QSFONT.TTF",
          windowsDir + "\\Fonts\\QSTCVN3.TTF", windowsDir + "\\Fonts\\QSVNI.TTF"}) {
        SCOPED_TRACE(copy);
        ASSERT_EQ(real.files().GetFileAttributes(copy, attributes), plat::err::Success);
        EXPECT_EQ(attributes & plat::attr::ReadOnly, 0u);
    }
}

TEST_F(InstallUnderWine, SerialOnTheMakersPortWithItsSettings) {
    auto c = Choices("KRT-P58", Receipt, "VXCOM2:");
    c.baudRate = 19200;
    c.parity = 'E';
    c.dataBits = 8;
    c.stopBits = 1.0;
    c.flow = 'x';
    ASSERT_EQ(Install(c), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kInstalled});

    EXPECT_TRUE(HasMonitor(kSerialMonitor));
    EXPECT_EQ(Dword(std::string(kMonitorKey) + kSerialMonitor, "DriverVersion"), 2u);
    EXPECT_TRUE(HasPort("VXCOM2:"));
    auto printer = Printer("KRT-P58(S)");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->portName, "VXCOM2:");
    EXPECT_EQ(printer->driverName, "Quillset KRT-P58 Receipt");
    EXPECT_EQ(Text(kNtPortsKey, "COM2:"), "19200,e,8,1,x");
    EXPECT_FALSE(Text(kNtPortsKey, "VXCOM2:"));
}

}  // namespace

// Test tooling, not part of Setup.
//
// Registers the sample package's binaries with Wine's spooler the way Setup
// does (ANSI calls, files copied where Windows expects them) and checks that
// the spooler accepts them: the port monitors and their ports, the driver,
// the print processor and a printer queue on a USB port. It also checks the
// KvUsbInt.dll stand-in against its state file. Runs under Wine on a
// throw-away prefix (tests/wine/wine-run.sh).
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "setup/engine/UsbCommand.h"

namespace {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

constexpr const char* kUsbMonitor = "Quillset USB Port Monitor";
constexpr const char* kSerialMonitor = "Quillset Serial Port Monitor";
constexpr const char* kDriverName = "Quillset KRT-A100 Receipt";
constexpr const char* kProcessor = "QSPrint";

// A Unix path as Wine's Windows programs see it.
std::string DosPath(const char* unixPath) {
    using ToDos = WCHAR*(CDECL*)(LPCSTR);
    auto toDos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                               "wine_get_dos_file_name")));
    if (toDos != nullptr) {
        if (WCHAR* wide = toDos(unixPath)) {
            char narrow[MAX_PATH] = {};
            WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
            HeapFree(GetProcessHeap(), 0, wide);
            return narrow;
        }
    }
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string PackageDir() {
    return DosPath(KV_PACKAGE_DIR_UNIX);
}

std::string NtFolder() {
    return PackageDir() + "\\winnt\\";
}

std::string SystemDir() {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, sizeof(dir));
    return dir;
}

std::string DriverDir() {
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir),
                               &needed);
    return dir;
}

std::string ProcessorDir() {
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrintProcessorDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir),
                                &needed);
    return dir;
}

AssertionResult CopyInto(const std::string& sourceFolder, const char* name,
                         const std::string& targetFolder) {
    const std::string source = sourceFolder + name;
    const std::string target = targetFolder + "\\" + name;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE))
        return AssertionFailure() << "copy " << source << " to " << target << ": error "
                                  << GetLastError();
    return AssertionSuccess();
}

bool MonitorInstalled(const char* name) {
    DWORD needed = 0, returned = 0;
    EnumMonitorsA(nullptr, 1, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed + 1);
    if (!EnumMonitorsA(nullptr, 1, buffer.data(), needed, &needed, &returned)) return false;
    for (DWORD i = 0; i < returned; ++i)
        if (std::strcmp(reinterpret_cast<MONITOR_INFO_1A*>(buffer.data())[i].pName, name) == 0)
            return true;
    return false;
}

// Copies a monitor's DLLs into the system folder and registers it, as Setup
// does. A monitor registered by an earlier test is left alone: the spooler
// runs in this process and keeps its DLL loaded, so it can't be copied over.
AssertionResult InstallMonitor(const char* name, const char* dll, const char* uiDll) {
    if (MonitorInstalled(name)) return AssertionSuccess();
    if (auto copied = CopyInto(NtFolder(), dll, SystemDir()); !copied) return copied;
    if (auto copied = CopyInto(NtFolder(), uiDll, SystemDir()); !copied) return copied;
    MONITOR_INFO_2A info{};
    info.pName = const_cast<char*>(name);
    info.pEnvironment = nullptr;
    info.pDLLName = const_cast<char*>(dll);
    if (AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&info))) return AssertionSuccess();
    const DWORD error = GetLastError();
    if (error == ERROR_PRINT_MONITOR_ALREADY_INSTALLED) return AssertionSuccess();
    return AssertionFailure() << "AddMonitorA(" << name << "): error " << error;
}

AssertionResult InstallDriver() {
    for (const char* file : {"QSDRV.DLL", "QSDRVUI.DLL", "QSRCPT.GPD", "QSDRV.HLP"})
        if (auto copied = CopyInto(NtFolder(), file, DriverDir()); !copied) return copied;
    DRIVER_INFO_3A info{};
    info.cVersion = 3;
    info.pName = const_cast<char*>(kDriverName);
    info.pEnvironment = nullptr;
    info.pDriverPath = const_cast<char*>("QSDRV.DLL");
    info.pDataFile = const_cast<char*>("QSRCPT.GPD");
    info.pConfigFile = const_cast<char*>("QSDRVUI.DLL");
    info.pHelpFile = const_cast<char*>("QSDRV.HLP");
    info.pDependentFiles = const_cast<char*>("\0");
    if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info)))
        return AssertionFailure() << "AddPrinterDriverA: error " << GetLastError();
    return AssertionSuccess();
}

AssertionResult InstallProcessor() {
    if (auto copied = CopyInto(NtFolder(), "QSPROC.DLL", ProcessorDir()); !copied) return copied;
    if (AddPrintProcessorA(nullptr, nullptr, const_cast<char*>("QSPROC.DLL"),
                           const_cast<char*>(kProcessor)))
        return AssertionSuccess();
    const DWORD error = GetLastError();
    if (error == ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED) return AssertionSuccess();
    return AssertionFailure() << "AddPrintProcessorA: error " << error;
}

struct Port {
    std::string name;
    std::string monitor;  // level 2 only
};

std::vector<Port> ListPorts(DWORD level) {
    DWORD needed = 0, returned = 0;
    EnumPortsA(nullptr, level, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed + 1);
    std::vector<Port> ports;
    if (!EnumPortsA(nullptr, level, buffer.data(), needed, &needed, &returned)) return ports;
    for (DWORD i = 0; i < returned; ++i) {
        if (level == 1) {
            ports.push_back({reinterpret_cast<PORT_INFO_1A*>(buffer.data())[i].pName, ""});
        } else {
            const auto& info = reinterpret_cast<PORT_INFO_2A*>(buffer.data())[i];
            ports.push_back({info.pPortName, info.pMonitorName ? info.pMonitorName : ""});
        }
    }
    return ports;
}

const Port* FindPort(const std::vector<Port>& ports, const std::string& name) {
    for (const Port& port : ports)
        if (port.name == name) return &port;
    return nullptr;
}

// ---- port monitors

TEST(SampleMonitors, UsbMonitorRegistersAndOffersTheModelsPorts) {
    ASSERT_TRUE(InstallMonitor(kUsbMonitor, "QSUSBMON.DLL", "QSUSBUI.DLL"));

    const auto ports = ListPorts(1);
    for (const char* name : {"USB_KRT-A100_1", "USB_KRT-A100_4", "USB_KRT-C3_1", "USB_KRT-C3_4",
                             "USB_KRT-P58_2", "USB_KRT-B200_3"})
        EXPECT_NE(FindPort(ports, name), nullptr) << name;
    EXPECT_EQ(FindPort(ports, "USB_KRT-A100_5"), nullptr);

    const auto detailed = ListPorts(2);
    const Port* port = FindPort(detailed, "USB_KRT-A100_1");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->monitor, kUsbMonitor);

    // Setup relies on a second registration failing with this error.
    MONITOR_INFO_2A info{const_cast<char*>(kUsbMonitor), nullptr,
                         const_cast<char*>("QSUSBMON.DLL")};
    EXPECT_FALSE(AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&info)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINT_MONITOR_ALREADY_INSTALLED));
}

TEST(SampleMonitors, UsbPortsCoverThePackagesUsbDeviceList) {
    ASSERT_TRUE(InstallMonitor(kUsbMonitor, "QSUSBMON.DLL", "QSUSBUI.DLL"));
    const std::string ini = PackageDir() + "\\DRVCONFIG\\setup.ini";
    const int count =
        static_cast<int>(GetPrivateProfileIntA("SUPPORTED-USB-DEVICE", "PRNCOUNT", 0, ini.c_str()));
    ASSERT_GT(count, 0) << ini;
    const auto ports = ListPorts(1);
    for (int i = 0; i < count; ++i) {
        char name[64] = {};
        GetPrivateProfileStringA("SUPPORTED-USB-DEVICE", std::to_string(i).c_str(), "0", name,
                                 sizeof(name), ini.c_str());
        EXPECT_NE(FindPort(ports, name), nullptr) << "entry " << i << ": " << name;
    }
}

TEST(SampleMonitors, SerialMonitorOffersVxcom1To8) {
    ASSERT_TRUE(InstallMonitor(kSerialMonitor, "QSCOMMON.DLL", "QSCOMUI.DLL"));
    const auto ports = ListPorts(2);
    for (int n = 1; n <= 8; ++n) {
        const std::string name = "VXCOM" + std::to_string(n) + ":";
        const Port* port = FindPort(ports, name);
        ASSERT_NE(port, nullptr) << name;
        EXPECT_EQ(port->monitor, kSerialMonitor);
    }
    EXPECT_EQ(FindPort(ports, "VXCOM9:"), nullptr);

    // Uninstall removes it again; its ports go with it. (No other test uses
    // this monitor: its DLL stays loaded and could not be copied again.)
    ASSERT_TRUE(DeleteMonitorA(nullptr, nullptr, const_cast<char*>(kSerialMonitor)))
        << "error " << GetLastError();
    EXPECT_FALSE(MonitorInstalled(kSerialMonitor));
    EXPECT_EQ(FindPort(ListPorts(1), "VXCOM1:"), nullptr);
}

// ---- driver, processor, printer

TEST(SampleDriver, RegistersWithTheSpooler) {
    ASSERT_TRUE(InstallDriver());
    DWORD needed = 0, returned = 0;
    EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed + 1);
    ASSERT_TRUE(EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed,
                                    &returned));
    bool found = false;
    for (DWORD i = 0; i < returned; ++i)
        found = found || std::strcmp(reinterpret_cast<DRIVER_INFO_1A*>(buffer.data())[i].pName,
                                     kDriverName) == 0;
    EXPECT_TRUE(found);
}

TEST(SamplePrintProcessor, RegistersWithTheSpooler) {
    ASSERT_TRUE(InstallProcessor());
    DWORD needed = 0, returned = 0;
    EnumPrintProcessorsA(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed + 1);
    ASSERT_TRUE(EnumPrintProcessorsA(nullptr, nullptr, 1, buffer.data(), needed, &needed,
                                     &returned));
    bool found = false;
    for (DWORD i = 0; i < returned; ++i)
        found = found || std::strcmp(reinterpret_cast<PRINTPROCESSOR_INFO_1A*>(buffer.data())[i]
                                         .pName,
                                     kProcessor) == 0;
    EXPECT_TRUE(found);

}

// Wine's spooler does not ask a processor for its data types or
// capabilities, so the installed DLL is asked directly, as Windows would.
TEST(SamplePrintProcessor, InstalledDllOffersRawAndRunsAJob) {
    ASSERT_TRUE(InstallProcessor());
    HMODULE dll = LoadLibraryA((ProcessorDir() + "\\QSPROC.DLL").c_str());
    ASSERT_NE(dll, nullptr);
    auto proc = [dll](const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(dll, name));
    };
    using EnumTypesFn = BOOL(WINAPI*)(LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
    using OpenFn = HANDLE(WINAPI*)(LPWSTR, PPRINTPROCESSOROPENDATA);
    using PrintFn = BOOL(WINAPI*)(HANDLE, LPWSTR);
    using CloseFn = BOOL(WINAPI*)(HANDLE);
    using ControlFn = BOOL(WINAPI*)(HANDLE, DWORD);
    using CapsFn = DWORD(WINAPI*)(LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD);
    auto enumTypes = reinterpret_cast<EnumTypesFn>(proc("EnumPrintProcessorDatatypesW"));
    auto open = reinterpret_cast<OpenFn>(proc("OpenPrintProcessor"));
    auto print = reinterpret_cast<PrintFn>(proc("PrintDocumentOnPrintProcessor"));
    auto close = reinterpret_cast<CloseFn>(proc("ClosePrintProcessor"));
    auto control = reinterpret_cast<ControlFn>(proc("ControlPrintProcessor"));
    auto caps = reinterpret_cast<CapsFn>(proc("GetPrintProcessorCapabilities"));
    ASSERT_TRUE(enumTypes && open && print && close && control && caps);

    DWORD needed = 0, returned = 0;
    EXPECT_FALSE(enumTypes(nullptr, const_cast<wchar_t*>(L"QSPrint"), 1, nullptr, 0, &needed,
                           &returned));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<BYTE> types(needed);
    ASSERT_TRUE(enumTypes(nullptr, const_cast<wchar_t*>(L"QSPrint"), 1, types.data(), needed,
                          &needed, &returned));
    ASSERT_EQ(returned, 1u);
    EXPECT_STREQ(reinterpret_cast<DATATYPES_INFO_1W*>(types.data())->pName, L"RAW");

    PRINTPROCESSOROPENDATA data{};
    data.pDatatype = const_cast<wchar_t*>(L"NT EMF 1.008");
    EXPECT_EQ(open(const_cast<wchar_t*>(L"KRT-A100(U) 1"), &data), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATATYPE));
    data.pDatatype = const_cast<wchar_t*>(L"RAW");
    HANDLE job = open(const_cast<wchar_t*>(L"KRT-A100(U) 1"), &data);
    ASSERT_NE(job, nullptr);
    EXPECT_TRUE(control(job, JOB_CONTROL_PAUSE));
    EXPECT_TRUE(control(job, JOB_CONTROL_RESUME));
    EXPECT_TRUE(print(job, const_cast<wchar_t*>(L"receipt")));
    EXPECT_TRUE(close(job));

    PRINTPROCESSOR_CAPS_1 capabilities{};
    EXPECT_EQ(caps(const_cast<wchar_t*>(L"RAW"), 0, nullptr, 0, &needed),
              static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(needed, sizeof(capabilities));
    EXPECT_EQ(caps(const_cast<wchar_t*>(L"RAW"), 0, reinterpret_cast<BYTE*>(&capabilities),
                   sizeof(capabilities), &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(capabilities.dwLevel, 1u);
    EXPECT_EQ(capabilities.dwNumberOfCopies, 1u);
    FreeLibrary(dll);
}

class SamplePrinter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InstallMonitor(kUsbMonitor, "QSUSBMON.DLL", "QSUSBUI.DLL"));
        ASSERT_TRUE(InstallProcessor());
        ASSERT_TRUE(InstallDriver());
        PRINTER_INFO_2A info{};
        info.pPrinterName = const_cast<char*>(kPrinter);
        info.pPortName = const_cast<char*>("USB_KRT-A100_1");
        info.pDriverName = const_cast<char*>(kDriverName);
        info.pPrintProcessor = const_cast<char*>(kProcessor);
        info.pDatatype = const_cast<char*>("RAW");
        info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
        printer_ = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        ASSERT_NE(printer_, nullptr) << "AddPrinterA: error " << GetLastError();
    }
    void TearDown() override {
        if (printer_ != nullptr) {
            DeletePrinter(printer_);
            ClosePrinter(printer_);
        }
    }
    static constexpr const char* kPrinter = "KRT-A100(U) 1";
    HANDLE printer_ = nullptr;
};

TEST_F(SamplePrinter, QueueSitsOnTheUsbPortWithTheProcessor) {
    DWORD needed = 0;
    GetPrinterA(printer_, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + 1);
    ASSERT_TRUE(GetPrinterA(printer_, 2, buffer.data(), needed, &needed));
    const auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    EXPECT_STREQ(info->pPortName, "USB_KRT-A100_1");
    EXPECT_STREQ(info->pDriverName, kDriverName);
    EXPECT_STREQ(info->pPrintProcessor, kProcessor);
}

TEST_F(SamplePrinter, DriverGivesAReceiptDevModeAndCapabilities) {
    const LONG size = DocumentPropertiesA(nullptr, printer_, const_cast<char*>(kPrinter), nullptr,
                                          nullptr, 0);
    ASSERT_GE(size, static_cast<LONG>(sizeof(DEVMODEA)));
    std::vector<BYTE> buffer(size);
    auto* dm = reinterpret_cast<DEVMODEA*>(buffer.data());
    ASSERT_EQ(DocumentPropertiesA(nullptr, printer_, const_cast<char*>(kPrinter), dm, nullptr,
                                  DM_OUT_BUFFER),
              IDOK);
    EXPECT_EQ(dm->dmPaperWidth, 800);
    EXPECT_EQ(dm->dmPaperLength, 2970);
    EXPECT_EQ(dm->dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_STREQ(reinterpret_cast<const char*>(dm->dmDeviceName), kPrinter);

    POINT paper{};
    EXPECT_EQ(DeviceCapabilitiesA(kPrinter, "USB_KRT-A100_1", DC_PAPERSIZE,
                                  reinterpret_cast<char*>(&paper), nullptr),
              1);
    EXPECT_EQ(paper.x, 800);
    EXPECT_EQ(paper.y, 2970);
}

// ---- the KvUsbInt.dll stand-in

class KvUsbStandin : public ::testing::Test {
protected:
    using OpenFn = int(WINAPI*)(int);
    using HandleFn = int(WINAPI*)(int);
    using WriteFn = int(WINAPI*)(int, int, unsigned char*, int);
    using DescriptorFn = int(WINAPI*)(int, void*, int);

    void SetUp() override {
        // A private copy, so that a state file beside it is the test's own.
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof(temp), temp);
        folder_ = std::string(temp) + "kvusb-" + std::to_string(GetCurrentProcessId()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(folder_.c_str(), nullptr);
        ASSERT_TRUE(CopyInto(PackageDir() + "\\", "KvUsbInt.dll", folder_));
        state_ = folder_ + "\\state.txt";
        SetEnvironmentVariableA("KVUSB_STATE", state_.c_str());
        library_ = LoadLibraryA((folder_ + "\\KvUsbInt.dll").c_str());
        ASSERT_NE(library_, nullptr);
        open_ = Lookup<OpenFn>("OpenDeviceX");
        close_ = Lookup<HandleFn>("CloseDevice");
        write_ = Lookup<WriteFn>("uWrite");
        id_ = Lookup<HandleFn>("GetPrinterInternalID");
        descriptor_ = Lookup<DescriptorFn>("GetDescriptor");
        ASSERT_TRUE(open_ && close_ && write_ && id_ && descriptor_);
    }
    void TearDown() override {
        SetEnvironmentVariableA("KVUSB_STATE", nullptr);
        if (library_ != nullptr) FreeLibrary(library_);
        DeleteFileA(state_.c_str());
        DeleteFileA((folder_ + "\\KvUsbInt.state").c_str());
        DeleteFileA((folder_ + "\\KvUsbInt.dll").c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    template <typename Fn>
    Fn Lookup(const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
    }
    static void WriteText(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string ReadText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    int Write(int handle, usbcmd::SetIdCommand command, int count = usbcmd::kSetIdCommandSize,
              int reserved = 0) {
        return write_(handle, reserved, command.data(), count);
    }

    std::string folder_, state_;
    HMODULE library_ = nullptr;
    OpenFn open_ = nullptr;
    HandleFn close_ = nullptr;
    WriteFn write_ = nullptr;
    HandleFn id_ = nullptr;
    DescriptorFn descriptor_ = nullptr;
};

TEST_F(KvUsbStandin, NoStateFileMeansNoPrinter) {
    for (int index = 0; index < 8; ++index) EXPECT_EQ(open_(index), -1) << index;
    EXPECT_EQ(open_(8), -1);
    EXPECT_EQ(open_(-1), -1);
    // Setup hands back whatever OpenDeviceX gave, 0 and -1 included.
    EXPECT_EQ(close_(0), 0);
    EXPECT_EQ(close_(-1), 0);
    EXPECT_EQ(id_(1), -1);
}

TEST_F(KvUsbStandin, OpensAttachedPrintersAndReadsTheirIds) {
    WriteText(state_, "0 5\n2 9\n");
    EXPECT_EQ(open_(1), -1);
    const int first = open_(0);
    const int second = open_(2);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 3);
    EXPECT_EQ(id_(first), 5);
    EXPECT_EQ(id_(second), 9);
    char text[64] = {};
    EXPECT_GT(descriptor_(first, text, sizeof(text)), 0);
    EXPECT_NE(std::string(text).find("stand-in"), std::string::npos);
    EXPECT_EQ(close_(first), 1);
    EXPECT_EQ(id_(first), -1);  // closed
    EXPECT_EQ(close_(first), 0);
    EXPECT_EQ(close_(second), 1);
}

TEST_F(KvUsbStandin, SetIdCommandStoresTheNewId) {
    WriteText(state_, "0 5\n2 9\n");
    const int handle = open_(0);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(Write(handle, usbcmd::BuildSetIdCommand(2)), 10);
    EXPECT_EQ(ReadText(state_), "0 2\n2 9\n");
    EXPECT_EQ(id_(handle), 2);
    close_(handle);
}

TEST_F(KvUsbStandin, AnyOtherWriteChangesNothing) {
    const std::string before = "# two printers\n0 5\n2 9\n";
    WriteText(state_, before);
    const int handle = open_(0);
    ASSERT_GT(handle, 0);

    auto badPreamble = usbcmd::BuildSetIdCommand(3);
    badPreamble[2] ^= 0x01;
    auto badEsc = usbcmd::BuildSetIdCommand(3);
    badEsc[0] = 0x1C;
    auto badGs = usbcmd::BuildSetIdCommand(3);
    badGs[6] = 0x1B;
    auto badLetter = usbcmd::BuildSetIdCommand(3);
    badLetter[7] = 'i';
    auto badBlank = usbcmd::BuildSetIdCommand(3);
    badBlank[8] = 0x00;
    for (const auto& command : {badPreamble, badEsc, badGs, badLetter, badBlank})
        EXPECT_EQ(Write(handle, command), 0);
    EXPECT_EQ(Write(handle, usbcmd::BuildSetIdCommand(3), 9), 0);
    EXPECT_EQ(Write(handle, usbcmd::BuildSetIdCommand(3), 0), 0);
    EXPECT_EQ(Write(handle, usbcmd::BuildSetIdCommand(3), 10, 1), 0);  // reserved must be 0
    EXPECT_EQ(write_(handle, 0, nullptr, 10), 0);
    EXPECT_EQ(Write(open_(1), usbcmd::BuildSetIdCommand(3)), 0);  // no printer there
    close_(handle);
    EXPECT_EQ(Write(handle, usbcmd::BuildSetIdCommand(3)), 0);  // closed
    EXPECT_EQ(ReadText(state_), before);
}

TEST_F(KvUsbStandin, StateFileBesideTheDllWithoutTheVariable) {
    SetEnvironmentVariableA("KVUSB_STATE", nullptr);
    WriteText(folder_ + "\\KvUsbInt.state", "4 12\r\n");
    const int handle = open_(4);
    ASSERT_EQ(handle, 5);
    EXPECT_EQ(id_(handle), 12);
    EXPECT_EQ(Write(handle, usbcmd::BuildSetIdCommand(7)), 10);
    EXPECT_EQ(ReadText(folder_ + "\\KvUsbInt.state"), "4 7\r\n");
    close_(handle);
}

}  // namespace

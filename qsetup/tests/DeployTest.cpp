// install, uninstall and list through the command line on a simulated
// Windows XP with the sample package: the exit codes, what they changed and
// did not change, and what they told.
#include <gtest/gtest.h>

#include <map>

#include "qsetup/Cli.h"
#include "qsetup/Deploy.h"
#include "qsetup/PackageCheck.h"
#include "setup/engine/Messages.h"
#include "tests/support/SamplePackage.h"

namespace qsetup {
namespace {

constexpr const char* kPkg = "C:\\PKG";

// Replaces `from` after the line `section` of the package's file `rel`.
void Edit(plat::SimTestWindows& m, const std::string& rel, const std::string& section,
          const std::string& from, const std::string& to) {
    const std::string path = std::string(kPkg) + "\\" + rel;
    std::string text = m.FileText(path).value_or("");
    const size_t at = text.find(from, text.find(section));
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    m.PutFile(path, text);
}

class DeployTest : public ::testing::Test {
protected:
    void SetUp() override { Machine(WinXP); }

    void Machine(int32_t os) {
        w = std::make_unique<plat::SimTestWindows>();
        support::SetOsClass(*w, os);
        if (os == Win98) w->SetLocalEnvironment("Windows 4.0");
        ASSERT_GT(support::MountSamplePackage(*w, kPkg), 10);
        support::SetSamplePorts(*w);
        w->SetUsbLibraryPresent(true);
        // Where qsetup.exe runs from: the package.
        w->SetModuleFileName(std::string(kPkg) + "\\qsetup.exe");
        logs.clear();
    }

    int Run(std::vector<std::string> args) {
        StringConsole console;
        Host host;
        host.machine = w.get();
        host.openLog = [this](const std::string& path) -> LogWriter {
            if (path == "Z:\\readonly\\qsetup.log") return [](const std::string&) { return false; };
            return [this, path](const std::string& line) {
                logs[path] += line + "\n";
                return true;
            };
        };
        const int code = qsetup::Run(args, console, host);
        out = console.out;
        err = console.err;
        return code;
    }

    std::vector<std::string> Install(const std::string& model, const std::string& port,
                                     std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"install", kPkg, "--model", model, "--port", port};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    // Nothing of the package reached the machine.
    void ExpectUntouched() {
        EXPECT_TRUE(w->Printers().empty());
        EXPECT_TRUE(w->Drivers().empty());
        EXPECT_EQ(w->Monitors().size(), 1u);  // Local Port
        EXPECT_FALSE(w->KeyExists(plat::Root::LocalMachine, "SOFTWARE\\TARVELO"));
    }

    std::unique_ptr<plat::SimTestWindows> w;
    std::map<std::string, std::string> logs;
    std::string out, err;
};

TEST_F(DeployTest, AParallelInstallTellsItsStepsAndLogsThem) {
    ASSERT_EQ(Run(Install("KRT-A100", "LPT1:", {"--default"})), 0) << err;
    const auto printer = w->FindPrinter("KRT-A100(P)");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->printProcessor, "QSPrint");
    EXPECT_EQ(w->DefaultPrinter(), "KRT-A100(P)");
    // Progress lines with the elapsed time of the machine's clock; Setup's
    // final message on standard error.
    EXPECT_NE(out.find("[   0.0 s] step 1: wait 100 ms\n"), std::string::npos) << out;
    EXPECT_NE(out.find("] step 2: copy C:\\PKG\\winnt\\QSPROC.DLL to C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\QSPROC.DLL"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("qsetup: installed \"KRT-A100(P)\" (exit code 0, "), std::string::npos);
    EXPECT_EQ(err, "Setup: Successfully installed printer driver\n");
    // The log beside the program, one time-stamped line each.
    const std::string& log = logs["C:\\PKG\\qsetup.log"];
    EXPECT_EQ(log.rfind("2024-06-03 09:00:00.000  qsetup install C:\\PKG --model KRT-A100 --port "
                        "LPT1: --default\n",
                        0),
              0u)
        << log;
    EXPECT_NE(log.find("  Windows found: Windows NT 5.1 build 2600, which Setup installs for as "
                       "Windows XP\n"),
              std::string::npos);
    EXPECT_NE(log.find("09:00:00.100  step 2: copy C:\\PKG\\winnt\\QSPROC.DLL"), std::string::npos) << log;
    EXPECT_NE(log.find("  Setup: Successfully installed printer driver\n"), std::string::npos);
    EXPECT_NE(log.find("  installed \"KRT-A100(P)\" (exit code 0, "), std::string::npos);

    // A second installation takes the numbered name; the log is appended.
    ASSERT_EQ(Run(Install("KRT-A100", "LPT1:", {"--log", "D:\\logs\\q.log"})), 0) << err;
    EXPECT_TRUE(w->FindPrinter("KRT-A100(P)(1)"));
    EXPECT_NE(logs["D:\\logs\\q.log"].find("installed \"KRT-A100(P)(1)\""), std::string::npos);
}

TEST_F(DeployTest, ExitCodesAndNothingChangedBeforeTheRun) {
    struct Case {
        const char* what;
        void (*machine)(plat::SimTestWindows&);
        std::vector<std::string> args;
        int code;
        const char* told;  // a part of standard error
    } cases[] = {
        {"Setup's window open",
         [](plat::SimTestWindows& m) { m.AddWindow("Install Driver for Printers"); },
         {"--model", "KRT-A100", "--port", "LPT1:"},
         1618,
         "qsetup: Setup is running (its window \"Install Driver for Printers\" is open)"},
        {"Uninstall's window open",
         [](plat::SimTestWindows& m) { m.AddWindow("Uninstall"); },
         {"--model", "KRT-A100", "--port", "LPT1:"},
         1618,
         "Uninstall is running"},
        {"Setup's mutex held",
         [](plat::SimTestWindows& m) { m.OwnMutexElsewhere("Setup"); },
         {"--model", "KRT-A100", "--port", "LPT1:"},
         1618,
         "qsetup: Setup is running (its mutex \"Setup\" is held)"},
        {"not an administrator",
         [](plat::SimTestWindows& m) {
             m.SetProcessGroups({"S-1-1-0", "S-1-5-32-545"});
         },
         {"--model", "KRT-A100", "--port", "LPT1:"},
         5,
         "Setup: You must be logged on the computer as an administrator!"},
        {"another Windows than this one",
         nullptr,
         {"--model", "KRT-A100", "--port", "LPT1:", "--os", "2003"},
         2,
         "qsetup: Setup installs only for the running Windows, Windows XP; --os asks for Windows "
         "Server 2003"},
        {"an unknown model",
         nullptr,
         {"--model", "KRT-X1", "--port", "LPT1:"},
         2,
         "qsetup: the model \"KRT-X1\" is not offered"},
        {"a port of the wrong kind",
         nullptr,
         {"--model", "KTT-T82", "--port", "USB_KTT-T82_1"},
         2,
         "the port \"USB_KTT-T82_1\" is not offered for KTT-T82 on Windows XP (Typical)"},
        {"conflicting options",
         nullptr,
         {"--model", "KRT-A100", "--port", "LPT1:", "--serial", "9600,None,8,1,None"},
         2,
         "serial settings are for serial ports"},
        {"the USB printer's ID without --set-id",
         [](plat::SimTestWindows& m) { m.AttachUsbPrinter(0, 2); },
         {"--model", "KRT-P58", "--port", "USB_KRT-P58_1"},
         1602,
         "(answered No)"},
        {"Advanced USB without a printer",
         nullptr,
         {"--model", "KRT-A100", "--port", "USB_KRT-A100_2", "--advanced"},
         1603,
         "Setup: No USB device attached"},
        {"a package that can't install the model",
         [](plat::SimTestWindows& m) { m.RemovePath("C:\\PKG\\winnt\\QSRCPT.GPD"); },
         {"--model", "KRT-C3", "--port", "LPT1:"},
         2,
         ": error: [KRT-C3.XP] GDIDataFile \"QSRCPT.GPD\" not found in winnt\\"},
        {"a model whose module INI is missing",
         [](plat::SimTestWindows& m) { m.RemovePath("C:\\PKG\\DRVCONFIG\\setup_lable.ini"); },
         {"--model", "KLB-L40", "--port", "LPT1:"},
         2,
         ": error: \"KLB-L40\" is a label model, but DRVCONFIG\\setup_lable.ini is missing"},
        {"a monitor DLL in a folder",
         [](plat::SimTestWindows& m) {
             Edit(m, "DRVCONFIG\\setup.ini", "[COMMON-MONITOR.XP]", "COMMONitorPDLLName=QSCOMMON.DLL",
                  "COMMONitorPDLLName=winnt\\QSCOMMON.DLL");
         },
         {"--model", "KRT-A100", "--port", "VXCOM1:"},
         2,
         "PDLLName \"winnt\\QSCOMMON.DLL\" is not a plain file name"},
        {"a data file that escapes its folder",
         [](plat::SimTestWindows& m) {
             Edit(m, "DRVCONFIG\\setup_receipt.ini", "[KRT-A100.XP]", "STDDataFile=QSRCPT.GPD",
                  "STDDataFile=..\\winnt\\QSRCPT.GPD");
         },
         {"--model", "KRT-A100", "--port", "VXCOM1:"},
         2,
         "STDDataFile \"..\\winnt\\QSRCPT.GPD\" is not a plain file name"},
        {"no such package folder",
         nullptr,
         {"--model", "KRT-A100", "--port", "LPT1:"},
         2,
         "C:\\NOPE: no such folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine(WinXP);
        if (c.machine) c.machine(*w);
        std::vector<std::string> args = {"install",
                                         std::string(c.what) == "no such package folder" ? "C:\\NOPE" : kPkg};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(Run(args), c.code) << err;
        EXPECT_NE(err.find(c.told), std::string::npos) << err;
        // Every refusal ends with its summary line, also in the log.
        const std::string summary = "(exit code " + std::to_string(c.code) + ", ";
        EXPECT_NE(out.find(summary), std::string::npos) << out;
        EXPECT_NE(logs["C:\\PKG\\qsetup.log"].find(summary), std::string::npos);
        if (c.code != 1603) ExpectUntouched();
        // With --json the document alone, and the same exit code.
        args.push_back("--json");
        EXPECT_EQ(Run(args), c.code);
        EXPECT_EQ(out.rfind("{\"command\":\"install\",", 0), 0u) << out;
        EXPECT_NE(out.find("\"exitCode\":" + std::to_string(c.code) + ","), std::string::npos);
    }
}

TEST_F(DeployTest, UsbIdentityAndWindows98Restart) {
    w->AttachUsbPrinter(0, 2);
    ASSERT_EQ(Run(Install("KRT-P58", "USB_KRT-P58_1", {"--set-id"})), 0) << err;
    EXPECT_TRUE(w->FindPrinter("KRT-P58(U) 1"));
    EXPECT_EQ(w->UsbPrinterId(0), 0);  // the printer now answers to port 1
    EXPECT_NE(err.find("(answered Yes: --set-id)"), std::string::npos) << err;

    Machine(Win98);
    ASSERT_EQ(Run(Install("KRT-A100", "LPT1:")), 3010) << err;
    EXPECT_TRUE(w->FindPrinter("KRT-A100(P)"));
    EXPECT_TRUE(w->ExitWindowsCalls().empty());
    EXPECT_NE(out.find("Windows must be restarted for the changes to take effect"),
              std::string::npos);
    EXPECT_EQ(err.find("Restart the computer"), std::string::npos) << err;
}

TEST_F(DeployTest, ListAndUninstallAfterwards) {
    ASSERT_EQ(Run(Install("KRT-P58", "USB_KRT-P58_1")), 0) << err;
    ASSERT_EQ(Run(Install("KRT-A100", "VXCOM2:", {"--serial", "19200,Even,7,2,Xon/Xoff"})), 0) << err;
    EXPECT_EQ(w->RegText(plat::Root::LocalMachine,
                         "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM2:"),
              "19200,e,7,2,x");
    ASSERT_EQ(Run({"list", kPkg}), 0) << err;
    EXPECT_EQ(out,
              "printer\tKRT-P58(U) 1\nprinter\tKRT-A100(S)\nmonitor\tQuillset USB Port Monitor\n"
              "monitor\tQuillset Serial Port Monitor\nprocessor\tQSPrint\n");
    ASSERT_EQ(Run({"list", kPkg, "--json"}), 0);
    EXPECT_NE(out.find("{\"kind\":\"processor\",\"name\":\"QSPrint\"}]}"), std::string::npos);

    // A name not in the list removes nothing.
    EXPECT_EQ(Run({"uninstall", kPkg, "--item", "KRT-P58(U) 1", "--item", "Nope"}), 1);
    EXPECT_NE(err.find("\"Nope\" is not in Uninstall's list"), std::string::npos) << err;
    EXPECT_EQ(w->Printers().size(), 2u);
    // A printer with jobs blocks the run.
    w->SetPrinterJobs("KRT-A100(S)", 1);
    EXPECT_EQ(Run({"uninstall", kPkg, "--all"}), 1603);
    EXPECT_NE(err.find("Uninstall: Please delete jobs in printer KRT-A100(S) first."),
              std::string::npos)
        << err;
    EXPECT_EQ(w->Printers().size(), 2u);
    w->SetPrinterJobs("KRT-A100(S)", 0);

    // On XP the spooler's restart after each removal is enough: 0, and the
    // log says that Uninstall would have offered a restart.
    EXPECT_EQ(Run({"uninstall", kPkg, "--item", "krt-p58(u) 1"}), 0) << err;
    EXPECT_FALSE(w->FindPrinter("KRT-P58(U) 1"));
    EXPECT_NE(logs["C:\\PKG\\qsetup.log"].find("Uninstall itself would offer a restart"),
              std::string::npos);
    EXPECT_EQ(err.find("Please select the printers"), std::string::npos) << err;
    EXPECT_EQ(Run({"uninstall", kPkg, "--all"}), 0) << err;
    EXPECT_NE(err.find("Uninstall: Quillset USB Port Monitor has been deleted."), std::string::npos);
    EXPECT_TRUE(w->Printers().empty());
    EXPECT_EQ(w->Monitors().size(), 1u);
    for (const auto& p : w->Processors()) EXPECT_EQ(p.name, "WinPrint");
    EXPECT_TRUE(w->ExitWindowsCalls().empty());
    // Nothing left to remove.
    EXPECT_EQ(Run({"uninstall", kPkg, "--all"}), 0);
    EXPECT_NE(err.find("No printer to uninstall!"), std::string::npos) << err;
    EXPECT_EQ(Run({"uninstall", kPkg, "--item", "KRT-P58(U) 1"}), 1);
}

TEST_F(DeployTest, ArgumentsAndALogThatCantBeWritten) {
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* told;
    } cases[] = {
        {{"install", kPkg, "--model", "KRT-A100"}, 2, "qsetup install: --port is missing"},
        {{"install", kPkg, "--model", "KRT-A100", "--port", "LPT1:", "--os", "Win7"}, 2,
         "--os \"Win7\" is none of auto, 98"},
        {{"uninstall", kPkg}, 2, "qsetup uninstall: --all or --item NAME is missing"},
        {{"uninstall", kPkg, "--all", "--item", "X"}, 2, "--all and --item exclude each other"},
        {{"list"}, 2, "qsetup list: PACKAGE_DIR is missing"},
        {{"install", "--help"}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        EXPECT_EQ(Run(c.args), c.code);
        EXPECT_NE(err.find(c.told), std::string::npos) << err;
    }
    EXPECT_EQ(Run(Install("KRT-A100", "LPT1:", {"--os", "auto", "--log", "Z:\\readonly\\qsetup.log",
                                                  "--quiet"})),
              0);
    EXPECT_NE(err.find("qsetup: warning: the log can't be written; the run goes on without it\n"),
              std::string::npos)
        << err;
    // --quiet: no progress, the summary line only.
    EXPECT_EQ(out.rfind("qsetup: installed \"KRT-A100(P)\" (exit code 0, ", 0), 0u) << out;
    EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
    EXPECT_TRUE(w->FindPrinter("KRT-A100(P)"));
}

// status compares item by item; install --ensure brings each item back and
// leaves one queue. One row per item that is missing or differs.
TEST_F(DeployTest, StatusTellsWhatDiffersAndEnsureMendsIt) {
    constexpr const char* kMonitors = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
    constexpr const char* kProcessor =
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print "
        "Processors\\QSPrint";
    const std::vector<std::string> usb = {"--model", "KRT-P58", "--port", "USB_KRT-P58_1",
                                          "--default"};
    const std::vector<std::string> serial = {"--model", "KRT-A100", "--port", "VXCOM2:",
                                             "--serial", "19200,Even,7,2,Xon/Xoff"};
    struct Case {
        const char* what;
        const std::vector<std::string>& choices;
        void (*change)(plat::SimTestWindows&);
        const char* line;  // the one line that is not "ok"
    } cases[] = {
        {"queue deleted", usb,
         [](plat::SimTestWindows& m) {
             plat::Printer p;
             ASSERT_EQ(m.spooler().OpenPrinter("KRT-P58(U) 1", p), 0u);
             ASSERT_EQ(m.spooler().DeletePrinter(p), 0u);
         },
         "queue: none bound to USB_KRT-P58_1 with driver \"Quillset KRT-P58 Receipt Raster\""},
        {"driver file gone", usb,
         [](plat::SimTestWindows& m) {
             for (const char* d : {"", "3\\"})
                 m.RemovePath(std::string("C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\") + d +
                              "QSDRV.DLL");
         },
         "driver: QSDRV.DLL is missing from C:\\WINDOWS\\system32\\spool\\drivers\\w32x86"},
        {"monitor outdated", usb,
         [](plat::SimTestWindows& m) {
             m.PutRegDword(plat::Root::LocalMachine,
                           std::string(kMonitors) + "Quillset USB Port Monitor", "DriverVersion", 0);
         },
         "monitor: version 0 installed, the package has "},
        {"processor with an empty version", serial,
         [](plat::SimTestWindows& m) {
             std::vector<uint8_t> none;
             m.PutRegValue(plat::Root::LocalMachine, kProcessor, "DriverVersion", 0, none);
         },
         "processor: version 0 installed, the package has "},
        {"USB record changed", usb,
         [](plat::SimTestWindows& m) {
             m.PutRegDword(plat::Root::LocalMachine, "SOFTWARE\\TARVELO\\PRINTERPORT",
                           "USB_KRT-P58_1", 255);
         },
         "usb: PRINTERPORT\\USB_KRT-P58_1 is 255, the installation writes 0"},
        {"another default printer", usb,
         [](plat::SimTestWindows& m) {
             m.profile().WriteProfileString("windows", "device", "Other,winspool,LPT1:");
         },
         "default: the default printer is \"Other\", not \"KRT-P58(U) 1\""},
        {"serial settings changed", serial,
         [](plat::SimTestWindows& m) {
             m.PutRegString(plat::Root::LocalMachine,
                            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM2:",
                            "9600,n,8,1,p");
         },
         "serial: COM2: is 9600,n,8,1,p, the installation writes 19200,e,7,2,x"},
    };
    auto with = [](const char* verb, const std::vector<std::string>& choices,
                   std::vector<std::string> more = {}) {
        std::vector<std::string> args = {verb, kPkg};
        args.insert(args.end(), choices.begin(), choices.end());
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine(WinXP);
        EXPECT_EQ(Run(with("status", c.choices)), 1) << out;  // nothing there yet
        ASSERT_EQ(Run(with("install", c.choices, {"--ensure"})), 0) << err;
        EXPECT_EQ(Run(with("status", c.choices)), 0) << out;
        const size_t queues = w->Printers().size();
        const std::string queue = w->Printers().front().printerName;
        c.change(*w);
        ASSERT_EQ(Run(with("status", c.choices)), 1) << out;
        EXPECT_NE(("\n" + out).find("\n" + std::string(c.line)), std::string::npos) << out;
        int notOk = 0;
        for (size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
            const std::string line = out.substr(at, end - at);
            notOk += line.rfind("qsetup:", 0) != 0 && line.find(": ok") == std::string::npos;
        }
        // A deleted queue is no longer the default printer either.
        EXPECT_EQ(notOk, std::string(c.what) == "queue deleted" ? 2 : 1) << out;
        // install --ensure mends it: one queue, of the same name, and in place.
        ASSERT_EQ(Run(with("install", c.choices, {"--ensure"})), 0) << err;
        EXPECT_EQ(err.find("Maximum count"), std::string::npos) << err;
        EXPECT_EQ(w->Printers().size(), queues);
        EXPECT_TRUE(w->FindPrinter(queue));
        EXPECT_EQ(Run(with("status", c.choices)), 0) << out;
        // Nothing to do now: nothing changes.
        w->ClearServiceLog();
        ASSERT_EQ(Run(with("install", c.choices, {"--ensure", "--json"})), 0) << err;
        EXPECT_NE(out.find("\"changed\":false,\"exitCode\":0"), std::string::npos) << out;
        EXPECT_TRUE(w->ServiceLog().empty());
    }
}

// Windows 98/Me keeps the serial settings in win.ini and the driver under
// "Windows 4.0"; an installation there asks for a restart, a run that
// changes nothing does not.
TEST_F(DeployTest, StatusAndEnsureOnWindows98) {
    Machine(Win98);
    const std::vector<std::string> choices = {"C:\\PKG", "--model", "KRT-A100", "--port", "COM2:",
                                              "--serial", "19200,Even,7,2,Xon/Xoff"};
    auto with = [&](const char* verb, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {verb};
        args.insert(args.end(), choices.begin(), choices.end());
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    ASSERT_EQ(Run(with("install", {"--ensure"})), 3010) << err;
    EXPECT_EQ(Run(with("status")), 0) << out;
    EXPECT_NE(out.find("serial: ok\n"), std::string::npos) << out;
    EXPECT_NE(out.find("driver: ok\n"), std::string::npos) << out;
    w->profile().WriteProfileString("Ports", "COM2:", "9600,n,8,1,p");
    EXPECT_EQ(Run(with("status")), 1) << out;
    EXPECT_NE(out.find("serial: COM2: is 9600,n,8,1,p, the installation writes 19200,e,7,2,x\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(Run(with("install", {"--ensure"})), 3010) << err;
    EXPECT_EQ(Run(with("install", {"--ensure"})), 0) << err;
    EXPECT_NE(out.find("nothing changed)"), std::string::npos) << out;
    EXPECT_EQ(w->Printers().size(), 1u);
}

// uninstall --ensure: what is gone already is no error; 3010 only where a
// restart is needed; --json documents on standard output only.
TEST_F(DeployTest, UninstallEnsureAndTheRestartRule) {
    ASSERT_EQ(Run(Install("KRT-A100", "LPT1:")), 0) << err;
    EXPECT_EQ(Run({"uninstall", kPkg, "--item", "KRT-A100(P)", "--ensure", "--json"}), 0) << err;
    EXPECT_EQ(out.rfind("{\"command\":\"uninstall\",\"arguments\":[\"C:\\\\PKG\",", 0), 0u) << out;
    EXPECT_NE(out.find("\"changed\":true,\"exitCode\":0,\"meaning\":\"done\""), std::string::npos)
        << out;
    EXPECT_EQ(out.find('\n'), out.size() - 1);
    EXPECT_EQ(Run({"uninstall", kPkg, "--item", "KRT-A100(P)", "--ensure"}), 0) << err;
    EXPECT_NE(out.find("already gone"), std::string::npos) << out;
    EXPECT_EQ(Run({"uninstall", kPkg, "--item", "KRT-A100(P)"}), 1);

    // Windows 98: the spooler's restart does not take the change.
    Machine(Win98);
    ASSERT_EQ(Run(Install("KRT-A100", "LPT1:")), 3010) << err;
    EXPECT_EQ(Run({"uninstall", kPkg, "--all"}), 3010) << err;
    // A usage error is logged and summed up too.
    EXPECT_EQ(Run({"uninstall", kPkg, "--json"}), 2);
    EXPECT_NE(out.find("\"exitCode\":2"), std::string::npos) << out;
    EXPECT_NE(logs["C:\\PKG\\qsetup.log"].find("nothing done (exit code 2"), std::string::npos);
}

// The install gate chooses the findings by their subject: reworded texts
// choose the same ones.
TEST(DeployGate, FindingsAreChosenByTheirSubjectNotTheirText) {
    plat::SimTestWindows m;
    ASSERT_GT(support::MountSamplePackage(m, kPkg), 10);
    m.RemovePath(std::string(kPkg) + "\\winnt\\QSLBL.GPD");
    m.RemovePath(std::string(kPkg) + "\\KvUsbInt.dll");
    Edit(m, "DRVCONFIG\\setup_receipt.ini", "[KRT-A100.XP]", "STDPrintProcessor=QSPrint",
         "STDPrintProcessor=QS\\Print");
    CheckReport report = CheckPackage(m, kPkg, {.rehearse = false});
    auto chosen = [&](const std::string& model, int32_t os, int32_t mode, int32_t port) {
        std::vector<std::string> where;
        for (const Finding& f : ErrorsConcerning(report.findings, model, os, mode, port))
            where.push_back(f.file + ":" + std::to_string(f.line));
        return where;
    };
    const struct {
        const char* model;
        int32_t os, mode, port;
        size_t count;
    } installations[] = {
        {"KLB-L40", WinXP, Gdi, Parallel, 1},  // the raster driver's data file
        {"KLB-L40", WinXP, Std, Serial, 1},
        {"KLB-L40", Win98, Gdi, Parallel, 0},
        {"KRT-A100", WinXP, Std, Serial, 1},   // the text driver's print processor
        {"KRT-A100", WinXP, Gdi, Parallel, 0},
        {"KRT-A100", WinXP, Gdi, Usb, 1},      // KvUsbInt.dll
        {"KRT-P58", Win2000, Std, Serial, 0},
    };
    std::vector<std::vector<std::string>> before;
    for (const auto& i : installations) {
        before.push_back(chosen(i.model, i.os, i.mode, i.port));
        EXPECT_EQ(before.back().size(), i.count) << i.model << " " << i.os << " " << i.mode;
    }
    for (Finding& f : report.findings) f.text = "reworded: " + std::string(f.text.rbegin(), f.text.rend());
    for (size_t n = 0; n < std::size(installations); ++n) {
        const auto& i = installations[n];
        EXPECT_EQ(chosen(i.model, i.os, i.mode, i.port), before[n]);
    }
}

// The exit code of an installation comes from the run's values: Setup's
// messages reworded give the same codes.
TEST(DeployEnd, ExitCodesDoNotDependOnMessageTexts) {
    const struct {
        WizardEnd end;
        bool restartOffered, declined, restartWanted;
        int code;
    } runs[] = {
        {WizardEnd::Installed, false, false, false, kDeployDone},
        {WizardEnd::Installed, true, false, false, kDeployRestart},
        {WizardEnd::Installed, false, false, true, kDeployRestart},
        {WizardEnd::NotStarted, false, false, false, kDeployNotAdmin},
        {WizardEnd::BadChoice, false, false, false, kDeployBadInput},
        {WizardEnd::Unsupported, false, false, false, kDeployBadInput},
        {WizardEnd::Refused, false, true, false, kDeployDeclined},
        {WizardEnd::Refused, false, false, false, kDeployFailed},
        {WizardEnd::Failed, false, false, false, kDeployFailed},
    };
    const std::pair<const char*, const char*> texts[] = {
        {"Successfully installed printer driver", "All done"},
        {"Add printer driver error er = 2", "Successfully installed printer driver"},
        {"Please restart Windows", ""},
    };
    for (const auto& run : runs)
        for (const auto& [text, reworded] : texts) {
            WizardResult result;
            result.end = run.end;
            result.restartOffered = run.restartOffered;
            result.printer = "KRT-A100(P)";
            result.message = text;
            const InstallEnd original = EndOfInstall(result, run.declined, run.restartWanted, text);
            result.message = reworded;
            const InstallEnd changed = EndOfInstall(result, run.declined, run.restartWanted, reworded);
            EXPECT_EQ(original.code, run.code) << static_cast<int>(run.end) << " " << text;
            EXPECT_EQ(changed.code, run.code) << static_cast<int>(run.end) << " " << reworded;
        }
}

}  // namespace
}  // namespace qsetup

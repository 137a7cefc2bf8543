// qsetup plan on the sample package: the steps of an installation in their
// order, as the engine's own tests expect them, and Setup's refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "qsetup/Plan.h"
#include "qsetup/tests/HostPackage.h"
#include "setup/engine/Messages.h"

namespace qsetup {
namespace {

// One plan with its choices and a text it must give.
struct PlanCase {
    const char* what;
    const char* model;
    int32_t os;
    const char* port;
    void (*tweak)(PlanOptions&);
    const char* expected;
};

class PlanTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { package_ = new test::SamplePackageFolder("plan"); }
    static void TearDownTestSuite() {
        delete package_;
        package_ = nullptr;
    }

    PlanResult Plan(const std::string& model, int32_t os, const std::string& port,
                    void (*tweak)(PlanOptions&) = nullptr) {
        options = PlanOptions{};
        options.packageDir = package_->Path();
        options.os = os;
        options.wizard.model = model;
        options.wizard.port = port;
        if (tweak) tweak(options);
        return RunPlan(options);
    }

    // The texts of the steps of one action, in order.
    static std::vector<std::string> Texts(const PlanResult& r, const std::string& action) {
        std::vector<std::string> texts;
        for (const JournalEntry& e : r.steps)
            if (e.action == action) texts.push_back(e.text);
        return texts;
    }
    // The place of the first step whose text starts with `prefix` (-1: none).
    static int Find(const PlanResult& r, const std::string& prefix) {
        for (size_t i = 0; i < r.steps.size(); ++i)
            if (r.steps[i].text.rfind(prefix, 0) == 0) return static_cast<int>(i);
        return -1;
    }
    static std::string Last(const PlanResult& r, const std::string& action) {
        const auto texts = Texts(r, action);
        return texts.empty() ? std::string() : texts.back();
    }

    PlanOptions options;
    static test::SamplePackageFolder* package_;
};

test::SamplePackageFolder* PlanTest::package_ = nullptr;

TEST_F(PlanTest, UsbTypicalOnXp) {
    const PlanResult r = Plan("KRT-P58", WinXP, "USB_KRT-P58_1");
    ASSERT_EQ(PlanExitCode(r), 0) << PlanText(options, r);
    EXPECT_EQ(r.wizard.printer, "KRT-P58(U) 1");
    EXPECT_EQ(r.wizard.message, msg::kInstalledRepower);
    // The USB records before the worker, the monitor, the driver with its
    // dependent files, the installed port's record, the queue, the message.
    const int records = Find(r, "set HKLM\\SOFTWARE\\TARVELO\\PRINTERPORT\\D1 = 0");
    const int monitor = Find(r, "add the port monitor \"Quillset USB Port Monitor\": DLL QSUSBMON.DLL");
    const int driver = Find(r,
        "add the printer driver \"Quillset KRT-P58 Receipt Raster\": version 3, environment "
        "(local), driver QSDRV.DLL, data QSRCPT.GPD, configuration QSDRVUI.DLL, help QSDRV.HLP, "
        "dependent files QSRCPT.GPD TTFSUB.GPD UNIRES.DLL STDNAMES.GPD QSRES.DLL QSOEMUI.DLL "
        "QSOEMUNI.DLL QSOEM.INI");
    const int port = Find(r, "set HKLM\\SOFTWARE\\TARVELO\\PRINTERPORT\\USB_KRT-P58_1 = 0");
    const int queue = Find(r,
        "add the printer \"KRT-P58(U) 1\": port USB_KRT-P58_1, driver \"Quillset KRT-P58 Receipt "
        "Raster\", print processor WinPrint, data type (none), attributes 576");
    EXPECT_TRUE(records >= 0 && records < monitor && monitor < driver && driver < port &&
                port < queue)
        << PlanText(options, r);
    EXPECT_GE(Find(r, "copy winnt\\QSUSBMON.DLL to C:\\WINDOWS\\system32\\QSUSBMON.DLL"), 0);
    EXPECT_GE(Find(r, "set HKLM\\SOFTWARE\\TARVELO\\PORTNAME\\USB_KRT-P58_1 = 0"), 0);
    EXPECT_EQ(Texts(r, "wait"), std::vector<std::string>{"wait 100 ms"});
    EXPECT_TRUE(Texts(r, "service").empty());
    EXPECT_EQ(Last(r, "message"),
              "message \"Successfully installed printer driver\\nPlease repower the printer\"");
}

TEST_F(PlanTest, SerialWithSettingsOnXp) {
    const PlanResult r = Plan("KTT-T80", WinXP, "VXCOM3:", [](PlanOptions& o) {
        o.wizard.baud = "19200";
        o.wizard.parity = "Even";
        o.wizard.dataBits = "7";
        o.wizard.stopBits = "1.5";
        o.wizard.protocol = "Xon/Xoff";
    });
    ASSERT_EQ(PlanExitCode(r), 0) << PlanText(options, r);
    EXPECT_EQ(r.wizard.printer, "KTT-T80(S)");
    EXPECT_EQ(Texts(r, "monitor"),
              std::vector<std::string>{"add the port monitor \"Quillset Serial Port Monitor\": "
                                       "DLL QSCOMMON.DLL, environment (local)"});
    EXPECT_EQ(Last(r, "registry"),
              "set HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports\\COM3: = "
              "\"19200,e,7,1.5,x\" (REG_SZ)");
    EXPECT_EQ(Last(r, "message"), "message \"Successfully installed printer driver\"");
}

TEST_F(PlanTest, ParallelWithItsProcessorOnXpAndOn98) {
    PlanResult r = Plan("KRT-A100", WinXP, "LPT1:", [](PlanOptions& o) { o.wizard.setDefault = true; });
    ASSERT_EQ(PlanExitCode(r), 0) << PlanText(options, r);
    EXPECT_EQ(Texts(r, "processor"),
              std::vector<std::string>{"add the print processor \"QSPrint\": DLL QSPROC.DLL, "
                                       "environment (local)"});
    EXPECT_TRUE(Texts(r, "monitor").empty());
    EXPECT_EQ(Texts(r, "wait"), (std::vector<std::string>{"wait 100 ms", "wait 200 ms"}));
    EXPECT_EQ(Texts(r, "default-printer"),
              std::vector<std::string>{"make \"KRT-A100(P)\" the default printer"});
    EXPECT_GE(Find(r, "add the printer \"KRT-A100(P)\": port LPT1:, driver \"Quillset KRT-A100 "
                      "Receipt Raster\", print processor QSPrint"),
              0);

    r = Plan("KRT-A100", Win98, "LPT1:");
    ASSERT_EQ(PlanExitCode(r), 0) << PlanText(options, r);
    EXPECT_GE(Find(r, "add the printer driver \"Quillset KRT-A100 Receipt Raster\": version 0, "
                      "environment Windows 4.0"),
              0);
    EXPECT_GE(Find(r, "copy win98\\DMCOLOR.DLL to "), 0);
    EXPECT_GE(Find(r, "copy win98\\ICONLIB.DLL to "), 0);
    EXPECT_TRUE(r.wizard.restartOffered);
    EXPECT_EQ(Last(r, "message"), std::string("question \"") + [] {
                  std::string q;
                  for (const char* c = msg::kRestartQuestion; *c; ++c)
                      q += *c == '\n' ? std::string("\\n") : std::string(1, *c);
                  return q;
              }() + "\": answered No");
    EXPECT_TRUE(Texts(r, "restart").empty());
}

TEST_F(PlanTest, SetupsRefusalsAsItShowsThem) {
    const PlanCase cases[] = {
        {"Vista for a model without it", "KRT-B200", WinVista, "LPT1:", nullptr, msg::kNoVista},
        {"Server 2003 for a model without it", "KEM-E10", Win2003, "LPT1:", nullptr, msg::kNo2003},
        {"Advanced USB without a printer", "KRT-A100", WinXP, "USB_KRT-A100_2",
         [](PlanOptions& o) { o.wizard.advanced = true; }, msg::kNoUsbDevice},
        {"the port question answered No", "KRT-A100", WinXP, "USB_KRT-A100_1",
         [](PlanOptions& o) {
             o.wizard.advanced = true;
             o.usbPrinterId = 2;
         },
         msg::kChangePrinterName},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.what);
        const PlanResult r = Plan(c.model, c.os, c.port, c.tweak);
        EXPECT_EQ(r.wizard.end, c.os == WinXP ? WizardEnd::Refused : WizardEnd::Unsupported);
        EXPECT_EQ(PlanExitCode(r), 1);
        ASSERT_FALSE(r.steps.empty());
        EXPECT_EQ(r.steps.back().action, "message");
        EXPECT_NE(r.steps.back().text.find(std::string(c.expected).substr(0, 30)),
                  std::string::npos)
            << r.steps.back().text;
        EXPECT_TRUE(Texts(r, "printer").empty());
        EXPECT_TRUE(Texts(r, "driver").empty());
    }
    // The printer's ID picks its own port: no question, nothing written.
    const PlanResult r = Plan("KRT-A100", WinXP, "USB_KRT-A100_3", [](PlanOptions& o) {
        o.wizard.advanced = true;
        o.usbPrinterId = 2;
    });
    EXPECT_EQ(r.wizard.printer, "KRT-A100(U) 3");
    EXPECT_TRUE(Texts(r, "usb").empty());
}

TEST_F(PlanTest, ChoicesTheWizardDoesNotOffer) {
    const PlanCase cases[] = {
        {"an unknown model", "KRT-X1", WinXP, "LPT1:", nullptr,
         "the model \"KRT-X1\" is not offered; the package offers KRT-P58, KRT-A100"},
        {"a model without a kind", "KSV-D1", WinXP, "LPT1:", nullptr, "the model \"KSV-D1\""},
        {"USB on NT 4.0", "KRT-P58", WinNT4, "USB_KRT-P58_1", nullptr,
         "the port \"USB_KRT-P58_1\" is not offered for KRT-P58 on Windows NT 4.0 (Typical); the "
         "port page offers LPT1:, LPT2:, LPT3:, VXCOM1:"},
        {"a VXCOM port on 98", "KRT-P58", Win98, "VXCOM1:", nullptr,
         "the port page offers COM1:, COM2:, LPT1:, USB_KRT-P58_1"},
        {"a second USB port in Typical", "KRT-P58", WinXP, "USB_KRT-P58_2", nullptr,
         "is not offered for KRT-P58 on Windows XP (Typical)"},
        {"Advanced for a model without it", "KRT-C3", WinXP, "LPT1:",
         [](PlanOptions& o) { o.wizard.advanced = true; },
         "KRT-C3 has no Advanced setup (its AdvancedSetup is 0)"},
        {"raster on a serial port", "KRT-A100", WinXP, "VXCOM1:",
         [](PlanOptions& o) {
             o.wizard.advanced = true;
             o.wizard.raster = true;
         },
         "the raster driver is not offered for the serial port \"VXCOM1:\""},
        {"raster in a Typical setup", "KRT-A100", WinXP, "LPT1:",
         [](PlanOptions& o) { o.wizard.raster = true; }, "--raster is for an Advanced setup"},
        {"serial settings on a parallel port", "KRT-A100", WinXP, "LPT1:",
         [](PlanOptions& o) { o.wizard.baud = "9600"; },
         "serial settings are for serial ports; \"LPT1:\" is not one"},
        {"a baud rate the list lacks", "KRT-A100", WinXP, "VXCOM1:",
         [](PlanOptions& o) { o.wizard.baud = "14400"; },
         "the baud rate \"14400\" is not in the port page's list: 110, 300"},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.what);
        const PlanResult r = Plan(c.model, c.os, c.port, c.tweak);
        EXPECT_EQ(r.wizard.end, WizardEnd::BadChoice);
        EXPECT_EQ(PlanExitCode(r), 2);
        EXPECT_NE(r.wizard.problem.find(c.expected), std::string::npos) << r.wizard.problem;
    }
}

TEST_F(PlanTest, TheTextAndTheJsonTellTheSameSteps) {
    const PlanResult r = Plan("KRT-P58", WinXP, "LPT2:", [](PlanOptions& o) {
        o.wizard.advanced = true;  // the raster box cleared: the text driver
    });
    ASSERT_EQ(PlanExitCode(r), 0);
    const std::string text = PlanText(options, r);
    const std::string json = PlanJson(options, r);
    EXPECT_NE(text.find("Simulated machine: a fresh Windows XP (NT 5.1 build 2600)"),
              std::string::npos);
    EXPECT_NE(text.find("add the printer driver \"Quillset KRT-P58 Receipt\""), std::string::npos);
    EXPECT_NE(text.find("Result: installed the printer \"KRT-P58(P)\""), std::string::npos);
    EXPECT_EQ(json.rfind("{\"command\":\"plan\",", 0), 0u);
    EXPECT_NE(json.find("\"action\":\"printer\",\"operation\":\"add\",\"name\":\"KRT-P58(P)\","
                        "\"port\":\"LPT2:\",\"driver\":\"Quillset KRT-P58 Receipt\""),
              std::string::npos);
    EXPECT_NE(json.find("\"result\":{\"outcome\":\"installed\",\"printer\":\"KRT-P58(P)\""),
              std::string::npos);
    EXPECT_EQ(std::count(json.begin(), json.end(), '{'), std::count(json.begin(), json.end(), '}'));
}

TEST_F(PlanTest, AMissingPackageFolder) {
    options.packageDir = package_->Path() + "-none";
    const PlanResult r = RunPlan(options);
    EXPECT_FALSE(r.packageRead);
    EXPECT_EQ(PlanExitCode(r), 2);
}

}  // namespace
}  // namespace qsetup

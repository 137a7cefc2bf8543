// The command line: verbs, options, help, exit codes and where the text goes.
#include <gtest/gtest.h>

#include <filesystem>

#include "qsetup/Cli.h"
#include "qsetup/Json.h"
#include "qsetup/tests/HostPackage.h"

namespace qsetup {
namespace {

struct Ran {
    int code;
    std::string out, err;
};

Ran RunArgs(std::vector<std::string> args) {
    StringConsole console;
    const int code = Run(args, console);
    return {code, console.out, console.err};
}

TEST(Cli, ArgumentsAndExitCodes) {
    const test::SamplePackageFolder package("cli");
    const std::string dir = package.Path();
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* out;  // a part of standard output ("" for none)
        const char* err;  // a part of standard error ("" for none)
    } cases[] = {
        {{}, 2, "", "usage: qsetup VERB [options]"},
        {{"--help"}, 0, "usage: qsetup VERB [options]", ""},
        {{"help", "plan"}, 0, "usage: qsetup plan PACKAGE_DIR", ""},
        {{"frob"}, 2, "", "qsetup: unknown verb \"frob\""},
        {{"check"}, 2, "", "qsetup check: PACKAGE_DIR is missing"},
        {{"check", "--help"}, 0, "Exit codes: 0 no errors (warnings alone give 0)", ""},
        {{"check", dir, dir}, 2, "", "one PACKAGE_DIR only"},
        {{"check", dir, "--bogus"}, 2, "", "qsetup check: unknown option --bogus"},
        {{"check", dir, "--json=yes"}, 2, "", "--json takes no value"},
        {{"check", dir, "-q"}, 2, "", "qsetup check: unknown option -q\n"},
        {{"check", "/quiet", dir}, 2, "", "qsetup check: unknown option /quiet\n"},
        {{"check", dir, "--json", "--codepage", "1253"}, 2, "",
         "--codepage \"1253\" is none of 1252, 28591"},
        {{"check", dir + "-none"}, 2, "", ": no such folder, or it can't be read"},
        {{"check", dir}, 0,
         "qsetup check: 0 errors, 0 warnings in 9 models, 271 offered installations rehearsed\n",
         ""},
        {{"check", dir, "--json"}, 0,
         "{\"command\":\"check\",\"package\":", ""},
        {{"plan", dir, "--os", "XP", "--port", "LPT1:"}, 2, "", "--model is missing"},
        {{"plan", dir, "--model", "KRT-P58", "--os", "7", "--port", "LPT1:"}, 2, "",
         "--os \"7\" is none of 98, NT4, 2000, XP, 2003, Vista"},
        {{"plan", dir, "--model", "KRT-P58", "--model", "KRT-A100", "--os", "XP", "--port", "LPT1:"},
         2, "", "--model is given twice"},
        {{"plan", dir, "--model", "KRT-P58", "--os", "XP", "--port"}, 2, "", "--port needs a value"},
        {{"plan", dir, "--model=KRT-A100", "--os=xp", "--port=VXCOM1:", "--serial=9600,N,8"}, 2,
         "", "--serial takes BAUD,PARITY,BITS,STOP,PROTOCOL"},
        {{"plan", dir, "--model=KRT-A100", "--os=xp", "--port=VXCOM1:", "--serial=9600,Q,8,1,None"},
         2, "", "the parity \"Q\" is none of Even, Mark, None, Odd, Space"},
        {{"plan", dir, "--model=KRT-A100", "--os=xp", "--port=LPT1:", "--usb-printer", "x"}, 2, "",
         "--usb-printer takes the printer's internal ID"},
        {{"plan", dir, "--model", "KRT-A100", "--os", "XP", "--port", "LPT1:", "--raster"}, 2, "",
         "qsetup plan: --raster is for an Advanced setup"},
        {{"plan", dir, "--model", "KRT-X1", "--os", "XP", "--port", "LPT1:"}, 2, "",
         "qsetup plan: the model \"KRT-X1\" is not offered"},
        {{"plan", dir, "--model", "KRT-A100", "--os", "Vista", "--port", "LPT1:"}, 0,
         "Result: installed the printer \"KRT-A100(P)\"", ""},
        {{"plan", dir, "--model=KRT-A100", "--os=xp", "--port=VXCOM1:", "--serial=9600,n,8,1,hw"},
         0, "COM1: = \"9600,n,8,1,p\"", ""},
        {{"plan", dir, "--model", "KRT-B200", "--os", "vista", "--port", "LPT1:", "--json"}, 1,
         "\"outcome\":\"refused\"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const Ran r = RunArgs(c.args);
        EXPECT_EQ(r.code, c.code) << r.out << r.err;
        for (const auto& [got, want] : {std::pair{r.out, c.out}, std::pair{r.err, c.err}}) {
            if (*want) {
                EXPECT_NE(got.find(want), std::string::npos) << got;
            } else {
                EXPECT_EQ(got, "");
            }
        }
    }
}

TEST(Cli, ABrokenPackageGivesItsFindingsAndExitOne) {
    const test::SamplePackageFolder package("broken");
    std::filesystem::remove(package / "winnt" / "QSRCPT.GPD");
    const Ran text = RunArgs({"check", package.Path()});
    EXPECT_EQ(text.code, 1);
    EXPECT_NE(text.out.find("DRVCONFIG\\setup_receipt.ini:"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find(": error: [KRT-P58.NT] STDDataFile \"QSRCPT.GPD\" not found in "
                            "winnt\\; it breaks 3 of 271 offered installations: KRT-P58 text "
                            "driver on NT4\n"),
              std::string::npos);
    EXPECT_NE(text.out.find("qsetup check: 24 errors, 0 warnings in 9 models"), std::string::npos)
        << text.out;
    const Ran json = RunArgs({"check", package.Path(), "--json"});
    EXPECT_EQ(json.code, 1);
    EXPECT_NE(json.out.find("\"errors\":24,\"warnings\":0,\"findings\":[{\"file\":"
                            "\"DRVCONFIG\\\\setup_receipt.ini\",\"line\":"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"severity\":\"error\",\"message\":\"[KRT-P58.NT] STDDataFile "
                            "\\\"QSRCPT.GPD\\\" not found in winnt\\\\; it breaks"),
              std::string::npos);
}

// The package's texts are ANSI: JSON has them in UTF-8.
TEST(Cli, JsonDecodesTheAnsiCodePage) {
    EXPECT_EQ(JsonString("\x80 \xe9 \x9f\x81\x01"), "\"\xe2\x82\xac \xc3\xa9 \xc5\xb8\xc2\x81\\u0001\"");
    EXPECT_EQ(JsonString("\x80", 28591), "\"\xc2\x80\"");
}

}  // namespace
}  // namespace qsetup

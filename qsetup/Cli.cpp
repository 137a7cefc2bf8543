#include "qsetup/Cli.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>

#include "common/Text.h"
#include "common/WindowsVersions.h"
#include "platform/Folders.h"
#include "platform/Windows.h"
#include "qsetup/Deploy.h"
#include "qsetup/HostPackage.h"
#include "qsetup/Json.h"
#include "qsetup/PackageCheck.h"
#include "qsetup/Plan.h"

namespace qsetup {

namespace {

constexpr const char* kUsage =
    "usage: qsetup VERB [options]\n"
    "\n"
    "  check PACKAGE_DIR [--json [--codepage N]]\n"
    "        is the installation package sound? One line per problem.\n"
    "  plan PACKAGE_DIR --model M --os 98|NT4|2000|XP|2003|Vista --port P [options]\n"
    "        what Setup would do, step by step, on a fresh Windows of that version\n"
    "  install PACKAGE_DIR --model M --port P [options]\n"
    "        installs on this Windows as Setup's wizard would, without a window\n"
    "  status PACKAGE_DIR --model M --port P [options] [--json]\n"
    "        whether what install would leave is on this Windows, item by item\n"
    "  uninstall PACKAGE_DIR (--all | --item NAME ...)\n"
    "        removes what Uninstall offers, without a window\n"
    "  list PACKAGE_DIR [--json]\n"
    "        what Uninstall would offer on this Windows\n"
    "\n"
    "\"qsetup VERB --help\" tells more. Exit codes of check and plan: 0 clean,\n"
    "1 findings or failure, 2 bad arguments; install and uninstall end with the\n"
    "codes of Windows Installer (0, 3010, 1602, 1603, 1618, 5, 2); status with 0 in\n"
    "place, 1 something differs, 2 bad arguments, 1618 Setup or Uninstall runs.\n";

constexpr const char* kInstallUsage =
    "usage: qsetup install PACKAGE_DIR --model M --port P\n"
    "                      [--os auto|98|NT4|2000|XP|2003|Vista] [--advanced] [--raster]\n"
    "                      [--serial BAUD,PARITY,BITS,STOP,PROTOCOL] [--default] [--fonts]\n"
    "                      [--set-id] [--ensure] [--log FILE] [--quiet] [--json]\n"
    "\n"
    "Installs the model on this Windows as Setup's wizard does with these choices,\n"
    "without a window: the same checks and steps, each text Setup would show on\n"
    "standard error, the steps as progress on standard output (one bar on a\n"
    "console), all of it time-stamped in the log. Refuses before any change what\n"
    "the wizard does not offer or the package can't do here.\n"
    "\n"
    "  --os OS      the running Windows (auto, the default); another one is refused,\n"
    "               since Setup installs only for the Windows it runs on\n"
    "  --set-id     let a USB printer take the ID of the chosen port (the question\n"
    "               is answered Yes); without it the question is answered No\n"
    "  --log FILE   the log (default qsetup.log beside qsetup.exe), appended\n"
    "  --ensure     first look as qsetup status does: change nothing when all is in\n"
    "               place, else install keeping a queue of the model's driver that\n"
    "               is bound to the port (no second, numbered queue)\n"
    "  --quiet      no progress on standard output\n"
    "  --json       one JSON document on standard output, no progress\n"
    "  --advanced, --raster, --serial, --default, --fonts: as for qsetup plan\n"
    "\n"
    "Exit codes: 0 installed (with --ensure: or already in place); 3010 installed,\n"
    "restart Windows; 1603 the installation failed; 1618 Setup or Uninstall runs;\n"
    "1602 a question was answered No; 5 not an administrator; 2 bad arguments or\n"
    "package (nothing changed).\n";

constexpr const char* kUninstallUsage =
    "usage: qsetup uninstall PACKAGE_DIR (--all | --item NAME [--item NAME ...])\n"
    "                        [--ensure] [--log FILE] [--quiet] [--json]\n"
    "\n"
    "Removes the chosen items of Uninstall's list (qsetup list shows it) with the\n"
    "Uninstall engine: its checks, order and waits, each status line on standard\n"
    "error and in the log (default qsetup.log beside qsetup.exe). With --ensure an\n"
    "item that is already gone is no error; --json gives one JSON document.\n"
    "\n"
    "Exit codes: 0 removed (or nothing to remove with --all or --ensure); 3010\n"
    "removed, restart Windows (98/Me, or a file stays until then); 1603 an item\n"
    "could not be removed (the others are); 1 a named item is not in the list\n"
    "(nothing removed); 1618 Setup or Uninstall runs; 5 not an administrator; 2 bad\n"
    "arguments or package.\n";

constexpr const char* kStatusUsage =
    "usage: qsetup status PACKAGE_DIR --model M --port P\n"
    "                     [--os auto|98|NT4|2000|XP|2003|Vista] [--advanced] [--raster]\n"
    "                     [--serial BAUD,PARITY,BITS,STOP,PROTOCOL] [--default] [--fonts]\n"
    "                     [--set-id] [--log FILE] [--json]\n"
    "\n"
    "Compares this Windows with what qsetup install with the same options would\n"
    "leave: the queue of the model's driver on the port, the driver, the port\n"
    "monitor and print processor (not older than the package's), the USB records,\n"
    "with --default the default printer, with --serial the serial settings. One\n"
    "line per item, \"ok\" or what differs. It changes nothing, writes no log\n"
    "unless --log names one, and needs no administrator rights.\n"
    "\n"
    "Exit codes: 0 everything in place, 1 something differs, 2 bad arguments or\n"
    "package, 1618 Setup or Uninstall runs.\n";

constexpr const char* kListUsage =
    "usage: qsetup list PACKAGE_DIR [--json]\n"
    "\n"
    "What Uninstall would offer on this Windows: the printers, port monitors and\n"
    "print processors of the package, one a line (KIND<tab>NAME).\n"
    "\n"
    "Exit codes: 0, or 2 when the package has no Uninstall.ini.\n";

constexpr const char* kCheckUsage =
    "usage: qsetup check PACKAGE_DIR [--json [--codepage N]]\n"
    "\n"
    "Reads the installation package in PACKAGE_DIR as Setup and Uninstall read it,\n"
    "rehearses every installation its wizard offers on fresh simulated Windows\n"
    "machines, and reports every problem on a line of its own,\n"
    "\n"
    "  FILE:LINE: error: TEXT      or      FILE:LINE: warning: TEXT\n"
    "\n"
    "(FILE relative to the package), then a summary line. An error is what makes\n"
    "Setup or Uninstall fail or do the wrong thing on some Windows version, or a\n"
    "missing part of the package; a warning is what Setup never reads or reads\n"
    "otherwise than it looks. The check changes no file.\n"
    "\n"
    "  --json         one JSON document with the same findings, in UTF-8\n"
    "  --codepage N   the ANSI code page of the package's texts: 1252 (the\n"
    "                 default, Western European) or 28591 (ISO 8859-1)\n"
    "\n"
    "Exit codes: 0 no errors (warnings alone give 0), 1 errors, 2 bad arguments or\n"
    "no such folder.\n";

constexpr const char* kPlanUsage =
    "usage: qsetup plan PACKAGE_DIR --model M --os 98|NT4|2000|XP|2003|Vista --port P\n"
    "                   [--advanced] [--raster] [--serial BAUD,PARITY,BITS,STOP,PROTOCOL]\n"
    "                   [--default] [--fonts] [--usb-printer ID] [--json]\n"
    "\n"
    "Walks Setup's wizard with these choices and runs its installation on a fresh\n"
    "simulated Windows of that version, with the package in PACKAGE_DIR, and prints\n"
    "what happened in order: waits, services, copies, monitors, processor, driver,\n"
    "printer, registry and win.ini values, messages. Every question is answered No.\n"
    "\n"
    "  --model M         a model that the package offers\n"
    "  --os OS           the Windows version of the simulated machine\n"
    "  --port P          a port that the port page offers for the model: LPT1:,\n"
    "                    VXCOM2:, USB_<model>_1 ... (COM1:, COM2:, LPT1: on 98/Me)\n"
    "  --advanced        the Advanced setup, where the model has one\n"
    "  --raster          tick \"Raster Graphic Printing\" (Advanced; a Typical setup\n"
    "                    takes the raster driver for parallel and USB ports itself)\n"
    "  --serial S        serial settings, e.g. 9600,None,8,1,Hardware; PARITY is\n"
    "                    Even|Mark|None|Odd|Space, PROTOCOL None|Xon/Xoff|Hardware\n"
    "  --default         \"Set As Default Printer\"\n"
    "  --fonts           \"Install Vietnamese Font\"\n"
    "  --usb-printer ID  a USB printer of the maker with this internal ID is\n"
    "                    attached (by default none is)\n"
    "  --json            one JSON document\n"
    "\n"
    "Exit codes: 0 installed, 1 refused or failed (as Setup reports it), 2 bad\n"
    "arguments or a choice the wizard does not offer.\n";

struct Parsed {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // options with a value
    std::vector<std::string> items;             // every --item
    std::map<std::string, bool> flags;
    std::string error;
    bool help = false;
};

// Parses `args` (after the verb) against the options of a verb: `valued`
// take a value ("--name VALUE" or "--name=VALUE"), `switches` none.
Parsed Parse(const std::vector<std::string>& args, size_t from,
             const std::vector<std::string>& valued, const std::vector<std::string>& switches) {
    Parsed p;
    auto known = [](const std::vector<std::string>& list, const std::string& name) {
        for (const std::string& n : list)
            if (n == name) return true;
        return false;
    };
    for (size_t i = from; i < args.size() && p.error.empty(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "/?") {
            p.help = true;
            continue;
        }
        // "-q" and "/quiet" are options of other programs' conventions; a
        // folder "/name" of the host is written with a further slash.
        const bool slashOption =
            a.size() > 1 && a[0] == '/' && a.find_first_of("/\\", 1) == std::string::npos &&
            std::all_of(a.begin() + 1, a.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
        if ((a.size() > 1 && a[0] == '-' && a.compare(0, 2, "--") != 0) || slashOption) {
            p.error = "unknown option " + a;
            break;
        }
        if (a.size() < 2 || a.compare(0, 2, "--") != 0 || a == "--") {
            p.positional.push_back(a);
            continue;
        }
        std::string name = a, value;
        const size_t eq = a.find('=');
        const bool inlineValue = eq != std::string::npos;
        if (inlineValue) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        if (known(switches, name)) {
            if (inlineValue) p.error = name + " takes no value";
            else if (p.flags[name]) p.error = name + " is given twice";
            else p.flags[name] = true;
        } else if (known(valued, name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    p.error = name + " needs a value";
                    break;
                }
                value = args[++i];
            }
            if (name == "--item") p.items.push_back(value);
            else if (p.values.count(name)) p.error = name + " is given twice";
            else p.values[name] = value;
        } else {
            p.error = "unknown option " + name;
        }
    }
    return p;
}

std::optional<int32_t> ParseOs(const std::string& text) {
    for (const WindowsVersion& v : kWindowsVersions)
        if (EqualsIgnoringCase(text, v.option) || (v.alias && EqualsIgnoringCase(text, v.alias)))
            return v.osClass;
    return std::nullopt;
}

// "98, NT4, 2000, XP, 2003, Vista": the --os words in their order.
std::string OsOptionList() {
    std::string list;
    for (const WindowsVersion& v : kWindowsVersions) list += (list.empty() ? "" : ", ") + std::string(v.option);
    return list;
}

// BAUD,PARITY,BITS,STOP,PROTOCOL into the texts of the port page's lists.
bool ParseSerial(const std::string& text, WizardInput& in, std::string& error) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (parts.size() != 5) {
        error = "--serial takes BAUD,PARITY,BITS,STOP,PROTOCOL, e.g. 9600,None,8,1,Hardware";
        return false;
    }
    static const std::map<std::string, std::string> parities = {
        {"e", "Even"}, {"even", "Even"}, {"m", "Mark"},  {"mark", "Mark"},   {"n", "None"},
        {"none", "None"}, {"o", "Odd"},  {"odd", "Odd"}, {"s", "Space"},     {"space", "Space"}};
    static const std::map<std::string, std::string> protocols = {
        {"none", "None"},         {"xon/xoff", "Xon/Xoff"}, {"xonxoff", "Xon/Xoff"},
        {"xon", "Xon/Xoff"},      {"x", "Xon/Xoff"},        {"hardware", "Hardware"},
        {"hw", "Hardware"},       {"p", "Hardware"}};
    auto parity = parities.find(Lower(parts[1]));
    auto protocol = protocols.find(Lower(parts[4]));
    if (parity == parities.end()) {
        error = "--serial: the parity \"" + parts[1] + "\" is none of Even, Mark, None, Odd, Space";
        return false;
    }
    if (protocol == protocols.end()) {
        error = "--serial: the protocol \"" + parts[4] + "\" is none of None, Xon/Xoff, Hardware";
        return false;
    }
    in.baud = parts[0];
    in.parity = parity->second;
    in.dataBits = parts[2];
    in.stopBits = parts[3];
    in.protocol = protocol->second;
    return true;
}

int UsageError(Console& console, const std::string& verb, const std::string& error,
               const char* usage);

// --os: the class of a Windows version, or -1 for "auto" where it is allowed.
// An exit code when the value is none of them.
std::optional<int> TakeOs(const Parsed& p, const std::string& verb, bool allowAuto,
                          const char* usage, Console& console, int32_t& os) {
    const std::string& text = p.values.at("--os");
    if (allowAuto && Lower(text) == "auto") {
        os = -1;
        return std::nullopt;
    }
    if (const auto parsed = ParseOs(text)) {
        os = *parsed;
        return std::nullopt;
    }
    return UsageError(console, verb,
                      "--os \"" + text + "\" is none of " + (allowAuto ? "auto, " : "") +
                          OsOptionList(),
                      usage);
}

// The wizard's choices of plan and install.
bool TakeChoices(const Parsed& p, WizardInput& in, std::string& error) {
    in.model = p.values.at("--model");
    in.port = p.values.at("--port");
    in.advanced = p.flags.count("--advanced") != 0;
    in.raster = p.flags.count("--raster") != 0;
    in.setDefault = p.flags.count("--default") != 0;
    in.fonts = p.flags.count("--fonts") != 0;
    return !p.values.count("--serial") || ParseSerial(p.values.at("--serial"), in, error);
}

int UsageError(Console& console, const std::string& verb, const std::string& error,
               const char* usage) {
    console.Err("qsetup" + (verb.empty() ? std::string() : " " + verb) + ": " + error + "\n\n" +
                usage);
    return kExitUsage;
}

// What every verb answers before its work: its help, a bad option, and its
// one PACKAGE_DIR. An exit code when the verb ends here.
std::optional<int> Preamble(const Parsed& p, const std::string& verb, const char* usage,
                            Console& console) {
    if (p.help) {
        console.Out(usage);
        return kExitClean;
    }
    if (!p.error.empty()) return UsageError(console, verb, p.error, usage);
    if (p.positional.size() != 1)
        return UsageError(console, verb,
                          p.positional.empty() ? "PACKAGE_DIR is missing"
                                               : "one PACKAGE_DIR only, please",
                          usage);
    return std::nullopt;
}

int RunCheck(const std::vector<std::string>& args, Console& console) {
    const Parsed p = Parse(args, 1, {"--codepage"}, {"--json"});
    if (const auto code = Preamble(p, "check", kCheckUsage, console)) return *code;
    const std::string& dir = p.positional[0];
    uint32_t codePage = 1252;
    if (p.values.count("--codepage")) {
        const std::string& text = p.values.at("--codepage");
        char* end = nullptr;
        const unsigned long value = std::strtoul(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || !KnownCodePage(static_cast<uint32_t>(value)) ||
            value > 0xffff)
            return UsageError(console, "check",
                              "--codepage \"" + text + "\" is none of 1252, 28591", kCheckUsage);
        codePage = static_cast<uint32_t>(value);
    }
    CheckReport report;
    std::string error;
    if (!CheckHostPackage(dir, report, error)) {
        console.Err("qsetup check: " + error + "\n");
        return kExitUsage;
    }
    const bool json = p.flags.count("--json") != 0;
    if (json) {
        std::string out = "{\"command\":\"check\",\"package\":" + JsonString(dir) +
                          ",\"models\":" + std::to_string(report.models) +
                          ",\"installations\":" + std::to_string(report.installations) +
                          ",\"errors\":" + std::to_string(report.Errors()) +
                          ",\"warnings\":" + std::to_string(report.Warnings()) + ",\"findings\":[";
        for (size_t i = 0; i < report.findings.size(); ++i)
            out += (i ? "," : "") + FindingJson(report.findings[i], codePage);
        console.Out(out + "]}\n");
    } else {
        std::string out;
        for (const Finding& f : report.findings) out += FormatFinding(f) + "\n";
        auto count = [](int n, const char* word) {
            return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
        };
        out += "qsetup check: " + count(report.Errors(), "error") + ", " +
               count(report.Warnings(), "warning") + " in " + count(report.models, "model") +
               ", " + count(report.installations, "offered installation") + " rehearsed\n";
        console.Out(out);
    }
    return report.Errors() ? kExitFindings : kExitClean;
}

int RunPlanCommand(const std::vector<std::string>& args, Console& console) {
    const Parsed p =
        Parse(args, 1, {"--model", "--os", "--port", "--serial", "--usb-printer"},
              {"--advanced", "--raster", "--default", "--fonts", "--json"});
    if (const auto code = Preamble(p, "plan", kPlanUsage, console)) return *code;
    for (const char* required : {"--model", "--os", "--port"})
        if (!p.values.count(required))
            return UsageError(console, "plan", std::string(required) + " is missing", kPlanUsage);
    PlanOptions options;
    options.packageDir = p.positional[0];
    if (const auto code = TakeOs(p, "plan", false, kPlanUsage, console, options.os)) return *code;
    std::string error;
    if (!TakeChoices(p, options.wizard, error)) return UsageError(console, "plan", error, kPlanUsage);
    if (p.values.count("--usb-printer")) {
        const std::string& id = p.values.at("--usb-printer");
        char* end = nullptr;
        const long value = std::strtol(id.c_str(), &end, 10);
        if (id.empty() || *end != '\0' || value < 0 || value > 0x7fffffff)
            return UsageError(console, "plan",
                              "--usb-printer takes the printer's internal ID, a number from 0",
                              kPlanUsage);
        options.usbPrinterId = static_cast<int32_t>(value);
    }
    const PlanResult result = RunPlan(options);
    if (!result.packageRead) {
        console.Err("qsetup plan: " + options.packageDir + ": no such folder, or it can't be read\n");
        return kExitUsage;
    }
    if (result.wizard.end == WizardEnd::BadChoice) {
        console.Err("qsetup plan: " + result.wizard.problem + "\n");
        return kExitUsage;
    }
    console.Out(p.flags.count("--json") ? PlanJson(options, result) : PlanText(options, result));
    return PlanExitCode(result);
}

// The running machine (or the host's), the package folder entered on it,
// and the output with its log; nullopt and an exit code when they can't be had.
struct Deployment {
    std::unique_ptr<plat::Windows> owned;
    plat::Windows* machine = nullptr;
    PackageOnMachine package;
    std::unique_ptr<LogFile> logFile;
    std::unique_ptr<DeployOutput> out;
};

// The machine, the log (its first line the command line) and the output.
std::optional<int> OpenOutput(const Parsed& p, const std::string& verb,
                              const std::vector<std::string>& args, Console& console,
                              const Host& host, Deployment& d) {
    d.machine = host.machine;
    if (!d.machine) {
        d.owned = RealMachine();
        d.machine = d.owned.get();
    }
    if (!d.machine) {
        console.Err("qsetup " + verb + ": works on Windows only (it changes this machine);"
                    " qsetup plan shows what it would do\n");
        return kDeployBadInput;
    }
    if (host.prepared) *host.prepared = true;
    // The log: --log FILE, else qsetup.log beside this program (status
    // writes one only when asked to).
    std::string logPath;
    const bool logged = verb != "status" || p.values.count("--log");
    if (p.values.count("--log")) {
        logPath = p.values.at("--log");
    } else {
        std::string self;
        d.machine->folders().GetModuleFileName(self, 260);
        const size_t slash = self.find_last_of("\\/");
        logPath = (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) +
                  "qsetup.log";
    }
    LogWriter log;
    if (!logged) {
    } else if (host.openLog) {
        log = host.openLog(logPath);
    } else {
        d.logFile = std::make_unique<LogFile>(logPath);
        log = [file = d.logFile.get()](const std::string& line) { return file->Append(line); };
    }
    const DeployOutput::Progress progress =
        p.flags.count("--quiet")   ? DeployOutput::Progress::None
        : !host.machine && StdoutIsConsole() ? DeployOutput::Progress::Bar
                                             : DeployOutput::Progress::Lines;
    d.out = std::make_unique<DeployOutput>(console, *d.machine, log, progress);
    if (p.flags.count("--json")) d.out->UseJson(verb, {args.begin() + 1, args.end()});
    std::string line = "qsetup";
    for (const std::string& a : args)
        line += " " + (a.find(' ') != std::string::npos ? "\"" + a + "\"" : a);
    d.out->LogOnly(line);  // the log's first line
    return std::nullopt;
}

std::optional<int> Prepare(const Parsed& p, const std::string& verb, const std::vector<std::string>& args,
                           Console& console, const Host& host, Deployment& d) {
    if (const auto code = OpenOutput(p, verb, args, console, host, d)) return code;
    const std::string root = EnterFolder(*d.machine, p.positional[0]);
    if (root.empty()) {
        d.out->Error(p.positional[0] + ": no such folder, or it can't be entered");
        d.out->Finish("nothing done", kDeployBadInput);
        return kDeployBadInput;
    }
    d.package = FindPrograms(*d.machine, root);
    return std::nullopt;
}

// install and status: the same choices.
int RunInstallCommand(const std::vector<std::string>& args, Console& console, const Host& host) {
    const std::string verb = args[0];
    const bool status = verb == "status";
    const char* usage = status ? kStatusUsage : kInstallUsage;
    const Parsed p = Parse(args, 1, {"--model", "--os", "--port", "--serial", "--log"},
                           status ? std::vector<std::string>{"--advanced", "--raster", "--default",
                                                             "--fonts", "--set-id", "--json"}
                                  : std::vector<std::string>{"--advanced", "--raster", "--default",
                                                             "--fonts", "--set-id", "--quiet",
                                                             "--ensure", "--json"});
    if (const auto code = Preamble(p, verb, usage, console)) return *code;
    for (const char* required : {"--model", "--port"})
        if (!p.values.count(required))
            return UsageError(console, verb, std::string(required) + " is missing", usage);
    InstallOptions options;
    if (p.values.count("--os"))
        if (const auto code = TakeOs(p, verb, true, usage, console, options.os))
            return *code;
    options.setId = p.flags.count("--set-id") != 0;
    options.ensure = p.flags.count("--ensure") != 0;
    options.serialAsked = p.values.count("--serial") != 0;
    std::string error;
    if (!TakeChoices(p, options.wizard, error))
        return UsageError(console, verb, error, usage);
    Deployment d;
    if (const auto code = Prepare(p, verb, args, console, host, d)) return *code;
    return status ? RunStatus(*d.machine, d.package, options, *d.out)
                  : RunInstall(*d.machine, d.package, options, *d.out);
}

int RunUninstallCommand(const std::vector<std::string>& args, Console& console, const Host& host) {
    const Parsed p =
        Parse(args, 1, {"--item", "--log"}, {"--all", "--quiet", "--ensure", "--json"});
    if (const auto code = Preamble(p, "uninstall", kUninstallUsage, console)) return *code;
    UninstallOptions options;
    options.all = p.flags.count("--all") != 0;
    options.ensure = p.flags.count("--ensure") != 0;
    options.items = p.items;
    if (options.all == !options.items.empty())
        return UsageError(console, "uninstall",
                          options.all ? "--all and --item exclude each other"
                                      : "--all or --item NAME is missing",
                          kUninstallUsage);
    Deployment d;
    if (const auto code = Prepare(p, "uninstall", args, console, host, d)) return *code;
    return RunUninstall(*d.machine, d.package, options, *d.out);
}

int RunListCommand(const std::vector<std::string>& args, Console& console, const Host& host) {
    const Parsed p = Parse(args, 1, {}, {"--json"});
    if (const auto code = Preamble(p, "list", kListUsage, console)) return *code;
    std::unique_ptr<plat::Windows> owned;
    plat::Windows* machine = host.machine;
    if (!machine) {
        owned = RealMachine();
        machine = owned.get();
    }
    if (!machine) {
        console.Err("qsetup list: works on Windows only (it reads this machine's spooler)\n");
        return kExitUsage;
    }
    const std::string root = EnterFolder(*machine, p.positional[0]);
    std::vector<ListedItem> items;
    std::string error = p.positional[0] + ": no such folder, or it can't be entered";
    if (root.empty() || !ListItems(*machine, FindPrograms(*machine, root), items, error)) {
        console.Err("qsetup list: " + error + "\n");
        return kExitUsage;
    }
    std::string out;
    if (p.flags.count("--json")) {
        out = "{\"command\":\"list\",\"package\":" + JsonString(p.positional[0]) + ",\"items\":[";
        for (size_t i = 0; i < items.size(); ++i)
            out += std::string(i ? "," : "") + "{\"kind\":\"" + items[i].kind +
                   "\",\"name\":" + JsonString(items[i].name) + "}";
        out += "]}\n";
    } else {
        for (const ListedItem& item : items) out += std::string(item.kind) + "\t" + item.name + "\n";
    }
    console.Out(out);
    return kExitClean;
}

// The log and the summary of a run refused for its arguments: the command
// line, and "nothing done" (or the JSON document with --json).
void LogUsageError(const std::vector<std::string>& args, Console& console, const Host& host) {
    Parsed p;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--json") p.flags["--json"] = true;
        if (a == "--log" && i + 1 < args.size()) p.values["--log"] = args[i + 1];
        if (a.rfind("--log=", 0) == 0) p.values["--log"] = a.substr(6);
    }
    p.flags["--quiet"] = true;
    std::unique_ptr<plat::Windows> real;
    Host quiet = host;
    quiet.prepared = nullptr;
    if (!quiet.machine) {
        real = RealMachine();
        if (!real) return;  // not on Windows: no log, no machine
        quiet.machine = real.get();
    }
    Deployment d;
    if (OpenOutput(p, args[0], args, console, quiet, d)) return;
    d.out->LogOnly("bad arguments: see qsetup " + args[0] + " --help");
    d.out->Finish("nothing done", kExitUsage);
}

}  // namespace

int Run(const std::vector<std::string>& args, Console& console, const Host& host) {
    if (args.empty()) {
        console.Err(kUsage);
        return kExitUsage;
    }
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "/?" || verb == "help") {
        if (verb == "help" && args.size() > 1) {
            if (args[1] == "check") return console.Out(kCheckUsage), kExitClean;
            if (args[1] == "plan") return console.Out(kPlanUsage), kExitClean;
            if (args[1] == "install") return console.Out(kInstallUsage), kExitClean;
            if (args[1] == "uninstall") return console.Out(kUninstallUsage), kExitClean;
            if (args[1] == "status") return console.Out(kStatusUsage), kExitClean;
            if (args[1] == "list") return console.Out(kListUsage), kExitClean;
        }
        console.Out(kUsage);
        return kExitClean;
    }
    if (verb == "check") return RunCheck(args, console);
    if (verb == "plan") return RunPlanCommand(args, console);
    if (verb == "install" || verb == "uninstall" || verb == "status") {
        // A run that ends before its output is made (bad arguments) is
        // logged and summed up all the same.
        bool prepared = false;
        Host inner = host;
        inner.prepared = &prepared;
        const int code = verb == "uninstall" ? RunUninstallCommand(args, console, inner)
                                             : RunInstallCommand(args, console, inner);
        if (!prepared && code == kExitUsage) LogUsageError(args, console, host);
        return code;
    }
    if (verb == "list") return RunListCommand(args, console, host);
    return UsageError(console, "", "unknown verb \"" + verb + "\"", kUsage);
}

}  // namespace qsetup

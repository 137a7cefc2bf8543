#include "qsetup/Cli.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>

#include "qsetup/Json.h"
#include "qsetup/PackageCheck.h"
#include "qsetup/Plan.h"

namespace qsetup {

namespace {

constexpr const char* kUsage =
    "usage: qsetup VERB [options]\n"
    "\n"
    "  check PACKAGE_DIR [--json]\n"
    "        is the installation package sound? One line per problem.\n"
    "  plan PACKAGE_DIR --model M --os 98|NT4|2000|XP|2003|Vista --port P [options]\n"
    "        what Setup would do, step by step, on a fresh Windows of that version\n"
    "\n"
    "\"qsetup VERB --help\" tells more. Exit codes: 0 clean, 1 findings or failure,\n"
    "2 bad arguments.\n";

constexpr const char* kCheckUsage =
    "usage: qsetup check PACKAGE_DIR [--json]\n"
    "\n"
    "Reads the installation package in PACKAGE_DIR as Setup and Uninstall read it\n"
    "and reports every problem on a line of its own,\n"
    "\n"
    "  FILE:LINE: error: TEXT      or      FILE:LINE: warning: TEXT\n"
    "\n"
    "(FILE relative to the package), then a summary line. An error is what makes\n"
    "Setup or Uninstall fail or do the wrong thing on some Windows version, or a\n"
    "missing part of the package; a warning is what Setup never reads or reads\n"
    "otherwise than it looks. The check changes no file.\n"
    "\n"
    "  --json   one JSON document with the same findings\n"
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
            if (p.values.count(name)) p.error = name + " is given twice";
            else p.values[name] = value;
        } else {
            p.error = "unknown option " + name;
        }
    }
    return p;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::optional<int32_t> ParseOs(const std::string& text) {
    static const std::map<std::string, int32_t> names = {
        {"98", 0}, {"me", 0}, {"nt4", 1}, {"nt", 1}, {"2000", 2}, {"2k", 2},
        {"xp", 3}, {"2003", 4}, {"vista", 5}};
    auto it = names.find(Lower(text));
    if (it == names.end()) return std::nullopt;
    return it->second;
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
    const Parsed p = Parse(args, 1, {}, {"--json"});
    if (const auto code = Preamble(p, "check", kCheckUsage, console)) return *code;
    const std::string& dir = p.positional[0];
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
                          ",\"errors\":" + std::to_string(report.Errors()) +
                          ",\"warnings\":" + std::to_string(report.Warnings()) + ",\"findings\":[";
        for (size_t i = 0; i < report.findings.size(); ++i)
            out += (i ? "," : "") + FindingJson(report.findings[i]);
        console.Out(out + "]}\n");
    } else {
        std::string out;
        for (const Finding& f : report.findings) out += FormatFinding(f) + "\n";
        auto count = [](int n, const char* word) {
            return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
        };
        out += "qsetup check: " + count(report.Errors(), "error") + ", " +
               count(report.Warnings(), "warning") + " in " + count(report.models, "model") + "\n";
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
    const auto os = ParseOs(p.values.at("--os"));
    if (!os)
        return UsageError(console, "plan",
                          "--os \"" + p.values.at("--os") +
                              "\" is none of 98, NT4, 2000, XP, 2003, Vista",
                          kPlanUsage);
    options.os = *os;
    WizardInput& in = options.wizard;
    in.model = p.values.at("--model");
    in.port = p.values.at("--port");
    in.advanced = p.flags.count("--advanced") != 0;
    in.raster = p.flags.count("--raster") != 0;
    in.setDefault = p.flags.count("--default") != 0;
    in.fonts = p.flags.count("--fonts") != 0;
    std::string error;
    if (p.values.count("--serial") && !ParseSerial(p.values.at("--serial"), in, error))
        return UsageError(console, "plan", error, kPlanUsage);
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

}  // namespace

int Run(const std::vector<std::string>& args, Console& console) {
    if (args.empty()) {
        console.Err(kUsage);
        return kExitUsage;
    }
    const std::string& verb = args[0];
    if (verb == "--help" || verb == "-h" || verb == "/?" || verb == "help") {
        if (verb == "help" && args.size() > 1) {
            if (args[1] == "check") return console.Out(kCheckUsage), kExitClean;
            if (args[1] == "plan") return console.Out(kPlanUsage), kExitClean;
        }
        console.Out(kUsage);
        return kExitClean;
    }
    if (verb == "check") return RunCheck(args, console);
    if (verb == "plan") return RunPlanCommand(args, console);
    return UsageError(console, "", "unknown verb \"" + verb + "\"", kUsage);
}

}  // namespace qsetup

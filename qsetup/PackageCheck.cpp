// The package check: the model list, each offered model's sections per
// Windows version with their files, the port monitors and the print
// processor, the USB port list, Uninstall.ini and the other files, all read
// through the readers of Setup and Uninstall on the platform layer.
#include "qsetup/PackageCheck.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <tuple>

#include "common/FileNames.h"
#include "common/Text.h"
#include "common/Types.h"
#include "platform/Files.h"
#include "platform/Spooler.h"
#include "platform/Windows.h"
#include "qsetup/Journal.h"
#include "qsetup/OsNames.h"
#include "qsetup/ReadWatch.h"
#include "qsetup/Rehearsal.h"
#include "setup/config/ModelConfigReader.h"
#include "setup/config/PackageLimits.h"
#include "setup/engine/Messages.h"
#include "setup/engine/ModelRules.h"
#include "setup/engine/PrinterQueue.h"
#include "setup/engine/Stages.h"
#include "setup/wizard/PortPage.h"
#include "setup/wizard/WizardTexts.h"
#include "common/IniText.h"
#include "uninstall/Messages.h"
#include "uninstall/UninstallDialogLogic.h"
#include "uninstall/UninstallIni.h"

namespace qsetup {

int CheckReport::Errors() const {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
        return f.severity == Severity::Error;
    }));
}

int CheckReport::Warnings() const { return static_cast<int>(findings.size()) - Errors(); }

namespace {

using ini::ProfileScan;
using ini::ScannedKey;
using ini::ScannedSection;


// What Windows itself brings: an Uninstall.ini entry that is part of one of
// these names would offer to remove it.
constexpr const char* kSystemMonitors[] = {
    "Local Port",          "Standard TCP/IP Port",   "USB Monitor",
    "WSD Port",            "LPR Port",               "PJL Language Monitor",
    "BJ Language Monitor", "AppleTalk Printing Devices", "Microsoft Shared Fax Monitor",
    "Microsoft Document Imaging Writer Monitor"};
constexpr const char* kSystemProcessors[] = {"WinPrint"};
constexpr const char* kSystemDrivers[] = {
    "Generic / Text Only", "Microsoft XPS Document Writer", "Microsoft Print To PDF",
    "Microsoft Shared Fax Driver", "Microsoft Office Document Image Writer Driver",
    "MS Publisher Imagesetter", "MS Publisher Color Printer"};
// Windows keeps each driver, monitor and print processor under a registry
// key of its name, where a backslash starts a sub-key.
// Setup copies and Uninstall deletes only a file of the folder itself.
constexpr const char* kNotPlain =
    " is not a plain file name (a folder, drive or device, or a character Windows refuses): "
    "Setup refuses to copy it and stops with its copy error";
constexpr const char* kControlCharacter =
    " holds a control character: Windows would keep and show the name with it";
constexpr const char* kBackslashInKeyName =
    " holds \"\\\": Windows keeps it under a registry key of that name, where \"\\\" starts a "
    "sub-key";

// A decimal number as written: an optional sign, then digits only.
bool IsDecimal(const std::string& value) {
    size_t i = (!value.empty() && (value[0] == '+' || value[0] == '-')) ? 1 : 0;
    if (i >= value.size()) return false;
    for (; i < value.size(); ++i)
        if (value[i] < '0' || value[i] > '9') return false;
    return true;
}

// A file name value that names a file: not empty and not beginning with '0'.
bool NamesFile(const std::string& value) { return !value.empty() && value[0] != '0'; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Runs of consecutive numbers as "K" or "K to L" (a damaged count leaves
// hundreds of missing entries: one finding says it).
std::vector<std::string> Runs(const std::vector<int32_t>& numbers, const std::string& prefix) {
    std::vector<std::string> runs;
    for (size_t i = 0; i < numbers.size();) {
        size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
        runs.push_back(prefix + std::to_string(numbers[i]) +
                       (j > i ? " to " + prefix + std::to_string(numbers[j]) : std::string()));
        i = j + 1;
    }
    return runs;
}

// The names of a NUL-separated list ended by an empty name.
std::vector<std::string> SplitList(const char* list) {
    std::vector<std::string> names;
    if (!list) return names;
    for (const char* p = list; *p; p += std::strlen(p) + 1) names.emplace_back(p);
    return names;
}

struct IniFile {
    std::string full;  // as the reader names it
    std::string rel;   // relative to the package
    bool present = false;
    ProfileScan scan;

    int SectionLine(const std::string& section) const {
        const ScannedSection* s = scan.Section(section);
        return s ? s->line : 0;
    }
    // The key's line; else its section's; else 0.
    int KeyLine(const std::string& section, const std::string& key) const {
        if (const ScannedKey* k = scan.Key(section, key)) return k->line;
        return SectionLine(section);
    }
    const ScannedKey* Key(const std::string& section, const std::string& key) const {
        return scan.Key(section, key);
    }
};

struct PortSettings {
    int32_t advanced = 0, support2003 = 0, supportVista = 0, usb = 0;
};

struct Model {
    std::string name;
    int32_t kind = -1;
    int entryLine = 0;
    PortSettings port;
    bool reaches[kOsClassCount] = {true, true, true, true, false, false};
};

struct Monitor {
    std::string name, dll, ui;
};

struct Located {
    std::string value;
    std::string where;  // "[section]" of its first use
};

// A name Windows keeps or shows: control characters in it are never meant.
bool HasControlCharacter(const std::string& name) {
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

// A number with a comment after it ("9600 ; default"): the profile reader
// hands the comment over with the number, and the number reads as intended.
bool IsNumberWithComment(const std::string& value) {
    const size_t semicolon = value.find(';');
    if (semicolon == std::string::npos) return false;
    std::string number = value.substr(0, semicolon);
    while (!number.empty() && (number.back() == ' ' || number.back() == '\t')) number.pop_back();
    return number.size() < semicolon && IsDecimal(number);
}

// "KLB-L40 text driver on 2000, XP, 2003, Vista; KRT-A100 raster driver on XP".
std::string Installations(const std::vector<const Rehearsal*>& broken) {
    std::vector<std::pair<std::string, std::vector<int32_t>>> groups;
    for (const Rehearsal* r : broken) {
        const std::string who = r->input.model + (r->result.mode == Gdi ? " raster" : " text") + " driver";
        auto it = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == who; });
        if (it == groups.end()) it = groups.insert(groups.end(), {who, {}});
        if (std::find(it->second.begin(), it->second.end(), r->os) == it->second.end())
            it->second.push_back(r->os);
    }
    std::string out;
    for (const auto& [who, systems] : groups) {
        out += (out.empty() ? "" : "; ") + who + " on ";
        for (size_t i = 0; i < systems.size(); ++i)
            out += (i ? ", " : "") + std::string(OsOptionName(systems[i]));
    }
    return out;
}

class Checker {
public:
    Checker(plat::Windows& windows, const std::string& root, const CheckOptions& options)
        : windows_(windows), root_(root), options_(options), watch_(windows) {}

    CheckReport Run();

private:
    // What the findings added meanwhile are about.
    class About {
    public:
        About(Checker& c, Subject subject) : c_(c), saved_(c.about_) { c.about_ = std::move(subject); }
        ~About() { c_.about_ = saved_; }
        About(const About&) = delete;
        About& operator=(const About&) = delete;

    private:
        Checker& c_;
        Subject saved_;
    };

    void Add(Severity severity, const std::string& file, int line, std::string text) {
        report_.findings.push_back({file, line, severity, std::move(text), about_});
    }
    void Error(const IniFile& f, int line, std::string text) {
        Add(Severity::Error, f.rel, line, std::move(text));
    }
    void Warning(const IniFile& f, int line, std::string text) {
        Add(Severity::Warning, f.rel, line, std::move(text));
    }

    std::string Rel(const std::string& path) const;
    IniFile Load(const std::string& path);
    bool FileInPackage(const std::string& rel);
    // A present value that is not a clean decimal number.
    void CheckNumber(const IniFile& f, const std::string& section, const std::string& key);

    void CheckRepeats(const IniFile& f);
    // The encoding, headers without ']' and stray byte-order marks.
    void CheckText(const IniFile& f);
    void CheckModelList(ModelConfigReader& reader);
    void CheckModel(ModelConfigReader& reader, Model& m);
    void CheckOsSection(ModelConfigReader& reader, const Model& m, int32_t os);
    void CheckUnreadSections();
    void CheckMonitors(ModelConfigReader& reader);
    void CheckProcessorVersion();
    void CheckUsbDevices();
    void CheckUninstallIni();
    void CheckUninstallList(const uninstall::UninstallIni& ini, uninstall::UninstallIni::List list,
                            const char* section, const char* countKey, const char* base,
                            const std::vector<std::string>& packageNames,
                            const char* const* systemNames, size_t systemCount,
                            const char* systemKind);
    void CheckFiles();
    void ReportCuts();
    // A subject from the section a finding is in.
    Subject SubjectOfSection(const std::string& section) const;
    void Rehearse();
    void Sort();

    plat::Windows& windows_;
    std::string root_;
    CheckOptions options_;
    plat::Decorated<ReadWatch> watch_;
    Subject about_;
    CheckReport report_;

    IniFile setup_;
    IniFile modules_[4];
    IniFile uninstall_;
    std::vector<Model> models_;
    // What Setup installs per Windows version.
    std::vector<Monitor> monitors_[kOsClassCount];
    std::map<std::string, Located> processors_[kOsClassCount];  // name -> DLL
    std::map<std::string, Located> drivers_[kOsClassCount];     // name -> its four files
    std::set<std::string> usbPortsOffered_;         // by the port page
    std::set<std::string> usbPortsOfModels_;        // USB_<model>_1 .. 4 of the USB models
    bool win98Installs_ = false;
};

std::string Checker::Rel(const std::string& path) const { return RelativeTo(root_, path); }

IniFile Checker::Load(const std::string& path) {
    IniFile f;
    f.full = path;
    f.rel = Rel(path);
    std::string bytes;
    if (!path.empty() && windows_.files().ReadFile(path, bytes) == plat::err::Success) {
        f.present = true;
        f.scan = ini::ScanProfile(bytes);
    }
    return f;
}

bool Checker::FileInPackage(const std::string& rel) {
    uint32_t attributes = 0;
    return windows_.files().GetFileAttributes(root_ + "\\" + rel, attributes) ==
               plat::err::Success &&
           !(attributes & plat::attr::Directory);
}

void Checker::CheckNumber(const IniFile& f, const std::string& section, const std::string& key) {
    const ScannedKey* k = f.Key(section, key);
    if (!k || IsDecimal(k->value)) return;
    if (IsNumberWithComment(k->value)) {
        Warning(f, k->line,
                "[" + section + "] " + key + " " + Quoted(k->value) +
                    " holds its comment: it reads as " + std::to_string(IniToInt(k->value.c_str())) +
                    " as meant, but a comment belongs on a line of its own");
        return;
    }
    Error(f, k->line,
          "[" + section + "] " + key + " " + Quoted(k->value) + " is not a number: it reads as " +
              std::to_string(IniToInt(k->value.c_str())));
}

void Checker::CheckText(const IniFile& f) {
    using ini::ProfileEncoding;
    if (f.scan.encoding != ProfileEncoding::Ansi) {
        const char* name = f.scan.encoding == ProfileEncoding::Utf8      ? "UTF-8 (with a byte-order mark)"
                           : f.scan.encoding == ProfileEncoding::Utf16Le ? "UTF-16 (\"Unicode\" in Notepad)"
                                                                          : "UTF-16 big-endian";
        const std::string file = f.rel.substr(f.rel.find_last_of('\\') + 1);
        About about(*this, {.os = Win98, .file = f.rel});
        Add(win98Installs_ ? Severity::Error : Severity::Warning, f.rel, 0,
            file + " is " + name +
                ": Windows 2000 and later read it and hand its text over in the ANSI code page "
                "(a character it lacks becomes \"?\"), but Windows 98/Me reads only ANSI files; "
                "save it as ANSI");
    }
    for (int line : f.scan.unclosedHeaders)
        Error(f, line,
              "this section header has no \"]\": Windows reads the line as a key, and the keys "
              "under it as keys of the section above");
    for (int line : f.scan.byteOrderMarks)
        Error(f, line,
              "a UTF-8 byte-order mark (the bytes EF BB BF, \"\xEF\xBB\xBF\" in ANSI) stands in "
              "this line: Windows reads it as part of the name, so the line's section or key is "
              "not found under its name");
}

void Checker::CheckRepeats(const IniFile& f) {
    std::map<std::string, int> sections;
    for (const ScannedSection& s : f.scan.sections) {
        auto [it, fresh] = sections.emplace(Lower(s.name), s.line);
        if (!fresh) {
            Warning(f, s.line,
                    "[" + s.name + "] is repeated (first at line " + std::to_string(it->second) +
                        "): Windows reads only the first");
            continue;
        }
        std::map<std::string, int> keys;
        for (const ScannedKey& k : s.keys) {
            auto [kt, freshKey] = keys.emplace(Lower(k.name), k.line);
            if (!freshKey)
                Warning(f, k.line,
                        "[" + s.name + "] " + k.name + " is repeated (first at line " +
                            std::to_string(kt->second) + "): Windows takes the first");
        }
    }
}

void Checker::CheckModelList(ModelConfigReader& reader) {
    const char* section = "DEVICENAME";
    const ScannedKey* number = setup_.Key(section, "DEVICENUMBER");
    if (!number) {
        Error(setup_, setup_.SectionLine(section),
              "[DEVICENAME] DEVICENUMBER is missing: Setup offers no model");
        return;
    }
    CheckNumber(setup_, section, "DEVICENUMBER");
    const int32_t written = IniToInt(number->value.c_str());
    if (written > kMaxModelEntries)
        Error(setup_, number->line,
              "[DEVICENAME] DEVICENUMBER " + std::to_string(written) + " is over the limit of " +
                  std::to_string(kMaxModelEntries) + " model entries: Setup reads only the first " +
                  std::to_string(kMaxModelEntries));
    const int32_t count = reader.ReadModelCount();
    if (count < 1) {
        Error(setup_, number->line,
              "[DEVICENAME] DEVICENUMBER is " + std::to_string(count) + ": Setup offers no model");
        return;
    }
    std::map<std::string, std::string> seen;
    std::vector<int32_t> missing;
    for (int32_t i = 1; i <= count; ++i) {
        const std::string key = "DEVICENAME" + std::to_string(i);
        char name[ModelConfigReader::kFieldSize] = {};
        const int32_t kind = reader.ReadModelEntry(i, name);
        const ScannedKey* entry = setup_.Key(section, key);
        if (!entry) {
            missing.push_back(i);
            continue;
        }
        // An entry without a kind suffix is not offered: a model kept in the
        // list for other uses.
        if (kind < 0) continue;
        if (name[0] == '\0') {
            Error(setup_, entry->line, "[DEVICENAME] " + key + " offers a model without a name");
            continue;
        }
        auto [it, fresh] = seen.emplace(name, key);
        if (!fresh) {
            Warning(setup_, entry->line,
                    "[DEVICENAME] " + key + " offers " + Quoted(name) + " a second time (as " +
                        it->second + ")");
            continue;
        }
        Model m;
        m.name = name;
        m.kind = kind;
        m.entryLine = entry->line;
        About about(*this, {.model = m.name});
        if (std::string(name).find_first_of(" \t") != std::string::npos)
            Error(setup_, entry->line,
                  "[DEVICENAME] " + key + " offers the model " + Quoted(name) +
                      ", a name with a blank in it: Setup looks for its sections, ports and "
                      "printer under that name, blank included");
        if (HasControlCharacter(name))
            Error(setup_, entry->line,
                  "[DEVICENAME] " + key + " offers the model " + Quoted(name) + kControlCharacter);
        models_.push_back(m);
    }
    for (const std::string& run : Runs(missing, "DEVICENAME"))
        Error(setup_, number->line,
              "[DEVICENAME] " + run + (run.find(" to ") != std::string::npos ? " are" : " is") +
                  " missing (DEVICENUMBER is " + std::to_string(count) + ")");
    if (const ScannedSection* s = setup_.scan.Section(section)) {
        for (const ScannedKey& k : s->keys) {
            if (k.name.size() <= 10 || !EqualsIgnoringCase(k.name.substr(0, 10), section)) continue;
            const std::string digits = k.name.substr(10);
            if (!std::all_of(digits.begin(), digits.end(),
                             [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            const long index = std::strtol(digits.c_str(), nullptr, 10);
            if (index < 1 || index > count)
                Warning(setup_, k.line,
                        "[DEVICENAME] " + k.name + " lies beyond DEVICENUMBER=" +
                            std::to_string(count) + " and is never offered");
        }
    }
    const ScannedKey* byDefault = setup_.Key(section, "DEFAULTNAME");
    char defaultName[ModelConfigReader::kPrinterNameSize] = {};
    if (!byDefault) {
        Warning(setup_, number->line,
                "[DEVICENAME] DEFAULTNAME is missing: the module page preselects no model");
    } else {
        CheckNumber(setup_, section, "DEFAULTNAME");
        if (reader.ReadDefaultModel(defaultName) < 0)
            Warning(setup_, byDefault->line,
                    "[DEVICENAME] DEFAULTNAME " + byDefault->value +
                        " names no offered model: the module page preselects none");
    }
}

void Checker::CheckModel(ModelConfigReader& reader, Model& m) {
    About about(*this, {.model = m.name});
    IniFile& mod = modules_[m.kind];
    if (!mod.present) {
        Error(setup_, m.entryLine,
              Quoted(m.name) + " is a " + kPackageModules[m.kind].word + " model, but " + mod.rel +
                  " is missing");
        return;
    }
    const std::string port = PortSection(m.name);
    bool anySection = mod.scan.Section(port) != nullptr;
    for (int32_t os = Win98; os <= WinVista; ++os)
        anySection = anySection || mod.scan.Section(m.name + OsSuffix(os));
    if (!anySection) {
        Error(setup_, m.entryLine,
              "[DEVICENAME] offers " + Quoted(m.name) + ", but " + mod.rel +
                  " has no section of it ([" + port + "], [" + m.name + OsSuffix(WinXP) +
                  "] and the others): Setup would install a driver named \"0\"");
        return;
    }
    if (!mod.scan.Section(port))
        Error(mod, 0,
              "[" + port + "] is missing: every port setting of " + m.name +
                  " reads as 0 (Typical only, no USB ports, neither Server 2003 nor Vista)");
    // The wizard reads these through its own, capitalised path of the file.
    char setupIni[ModelConfigReader::kFieldSize] = {};
    char moduleIni[ModelConfigReader::kFieldSize] = {};
    BuildConfigPaths(watch_, m.kind, setupIni, moduleIni);
    auto read = [&](const char* key) {
        CheckNumber(mod, port, key);
        return ReadPortSectionKey(watch_, moduleIni, port, key);
    };
    m.port.advanced = read(portkey::kAdvancedSetup);
    m.port.support2003 = read(portkey::kSystem2003Supported);
    m.port.supportVista = read(portkey::kSystemVistaSupported);
    const int32_t baud = read(portkey::kBaudRate);
    m.port.usb = read(portkey::kUsbSupported);
    read(portkey::kLptDefault);
    if (const ScannedKey* k = mod.Key(port, portkey::kBaudRate)) {
        if (kBaudRates[BaudEntryIndex(baud)] != baud)
            Error(mod, k->line,
                  "[" + port + "] BaudRate " + k->value +
                      " is not a rate of the port page's list: it shows " +
                      std::to_string(kBaudRates[kDefaultBaudEntry]) + " instead");
    }
    m.reaches[Win2003] = m.port.support2003 != 0;
    m.reaches[WinVista] = m.port.supportVista != 0;

    for (int32_t os = Win98; os <= WinVista; ++os) {
        const std::string section = m.name + OsSuffix(os);
        About perOs(*this, {.model = m.name, .os = os, .section = section});
        const bool present = mod.scan.Section(section) != nullptr;
        if (m.reaches[os] && !present) {
            if (os == Win2003 || os == WinVista) {
                const char* key =
                    os == Win2003 ? portkey::kSystem2003Supported : portkey::kSystemVistaSupported;
                Error(mod, mod.KeyLine(port, key),
                      "[" + section + "] is missing, though [" + port + "] " + key +
                          " says the model supports " + OsName(os) +
                          ": Setup would install a driver named \"0\" there");
            } else {
                Error(mod, 0,
                      "[" + section + "] is missing: Setup would install a driver named \"0\" on " +
                          OsName(os));
            }
        } else if (!m.reaches[os] && present) {
            const char* key =
                os == Win2003 ? portkey::kSystem2003Supported : portkey::kSystemVistaSupported;
            Warning(mod, mod.SectionLine(section),
                    "[" + section + "] is never read: [" + port + "] " + key + " is 0");
        } else if (present) {
            CheckOsSection(reader, m, os);
        }
    }

    if (m.port.usb != 0) {
        About usb(*this, {.model = m.name, .portKind = Usb, .section = port});
        for (int n = 1; n <= 4; ++n) {
            const std::string name = UsbPortName(m.name, n);
            usbPortsOfModels_.insert(name);
            // Typical offers the first port, Advanced all four.
            if (n > 1 && m.port.advanced == 0) continue;
            usbPortsOffered_.insert(name);
            if (name.size() > kPortNameSize - 1)
                Error(mod, mod.KeyLine(port, portkey::kUsbSupported),
                      "USB port name " + Quoted(name) + " is " + std::to_string(name.size()) +
                          " bytes long, over the " + std::to_string(kPortNameSize - 1) +
                          " bytes of Setup's port name");
        }
    }
}

void Checker::CheckOsSection(ModelConfigReader& reader, const Model& m, int32_t os) {
    const IniFile& mod = modules_[m.kind];
    const std::string section = m.name + OsSuffix(os);
    const std::string folder = OsFolder(os) + 1;  // "winnt\"
    const std::string at = "[" + section + "] ";
    auto line = [&](const std::string& key) { return mod.KeyLine(section, key); };
    if (os == Win98) win98Installs_ = true;

    for (int32_t mode : {Std, Gdi}) {
        About perMode(*this, {.model = m.name, .os = os, .mode = mode, .section = section});
        const std::string prefix = mode == Std ? "STD" : "GDI";
        reader.SetModuleKind(m.kind);
        DriverFileTable table;
        table.Clear();
        DriverRecord driver{};
        PrinterRecord printer{};
        reader.ReadDriverFileTable(m.name.c_str(), os, table, mode);
        reader.ReadDriverRecord(m.name.c_str(), os, driver, mode);
        const std::string driverName = driver.pName ? driver.pName : "";
        const std::vector<std::string> dependent = SplitList(driver.pDependentFiles);
        reader.ReadPrinterRecord(m.name.c_str(), os, printer, mode);
        const std::string processor = printer.pPrintProcessor ? printer.pPrintProcessor : "";
        const bool ddk = reader.IsDdkDriver(m.name.c_str(), os, mode);

        if (driverName.empty() || driverName == "0")
            Error(mod, line(prefix + "DriverName"),
                  at + prefix + "DriverName names no driver: Setup would register a driver named " +
                      Quoted(driverName));
        else if (driverName.find('\\') != std::string::npos)
            Error(mod, line(prefix + "DriverName"),
                  at + prefix + "DriverName " + Quoted(driverName) + kBackslashInKeyName);
        else if (HasControlCharacter(driverName))
            Error(mod, line(prefix + "DriverName"),
                  at + prefix + "DriverName " + Quoted(driverName) + kControlCharacter);

        std::set<std::string> tableFiles;
        for (const auto& e : ModelConfigReader::kFileTableKeys) {
            const std::string key = (e.prefixed ? prefix : std::string()) + e.word;
            const std::string value = table.Field(e.offset);
            const bool required =
                e.offset == DriverFileTable::ConfigFile || e.offset == DriverFileTable::DataFile ||
                e.offset == DriverFileTable::DriverPath || e.offset == DriverFileTable::HelpFile;
            if (required && value.empty()) {
                Error(mod, line(key),
                      at + key +
                          " is empty: Setup stops with \"" + msg::kLostDriverFiles + "\"");
                continue;
            }
            if (required && !NamesFile(value)) {
                Error(mod, line(key),
                      at + key + " " + Quoted(value) +
                          " names no file: the driver would be registered without it");
                continue;
            }
            if (!NamesFile(value)) continue;
            tableFiles.insert(Lower(value));
            if (e.offset == DriverFileTable::ProcessorDll && processor == "WinPrint") {
                Warning(mod, line(key),
                        at + key + " " + Quoted(value) +
                            " is never copied: the print processor is Windows' own WinPrint");
                continue;
            }
            if (!IsPlainFileName(value))
                Error(mod, line(key), at + key + " " + Quoted(value) + kNotPlain);
            else if (!FileInPackage(folder + value))
                Error(mod, line(key), at + key + " " + Quoted(value) + " not found in " + folder);
        }
        for (const std::string& name : dependent) {
            if (tableFiles.count(Lower(name)) || FileInPackage(folder + name)) continue;
            Error(mod, line("GDI2KDDKDEV"),
                  at + "dependent file " + Quoted(name) + " not found in " + folder +
                      " (GDI2KDDKDEV asks for the dependent files)");
        }
        const UnidrvSupport support = reader.ReadUnidrvSupport(m.name.c_str(), os, mode);
        if (support.RegisteredWithoutCopy()) {
            const std::string ddkKey = prefix + "2KDDKDEV";
            const ScannedKey* k = mod.Key(section, ddkKey);
            Error(mod, line(ddkKey),
                  at + ddkKey + " is " + Quoted(k ? k->value : std::string("0")) +
                      ", yet GDI2KDDKDEV lists TTFSUB.GPD, UNIRES.DLL and STDNAMES.GPD as "
                      "dependent files of the " + (mode == Std ? "text" : "raster") +
                      " driver: they are registered without being copied, and a Windows that "
                      "lacks them refuses the driver (\"" + msg::kAddDriverError + "   er = 2\")");
        }
        if (ddk && os >= Win2000) {
            const std::string ddkKey = prefix + "2KDDKDEV";
            for (const char* core : kUnidrvSupportFiles) {
                const bool listed = std::any_of(dependent.begin(), dependent.end(),
                                                [&](const std::string& d) { return EqualsIgnoringCase(d, core); });
                if (!listed && !FileInPackage(folder + core))
                    Warning(mod, line(ddkKey),
                            at + Quoted(core) + " not found in " + folder + ": Setup copies it for a DDK driver (" +
                                ddkKey + " is 1) when it is there");
            }
            if (table.Field(DriverFileTable::DataFileDll)[0] == '\0')
                Error(mod, line(prefix + "DataFileDLLName"),
                      at + prefix + "DataFileDLLName is empty for a DDK driver (" + ddkKey +
                          " is 1): Setup stops with \"" + msg::kLostDriverFiles + "\"");
        }

        if (processor.empty() || processor == "0") {
            Error(mod, line(prefix + "PrintProcessor"),
                  at + prefix +
                      "PrintProcessor names no print processor: Setup would register one named " +
                      Quoted(processor) + " and stop");
        } else if (processor.find('\\') != std::string::npos) {
            Error(mod, line(prefix + "PrintProcessor"),
                  at + prefix + "PrintProcessor " + Quoted(processor) + kBackslashInKeyName);
        } else if (HasControlCharacter(processor)) {
            Error(mod, line(prefix + "PrintProcessor"),
                  at + prefix + "PrintProcessor " + Quoted(processor) + kControlCharacter);
        } else if (processor != "WinPrint") {
            const std::string dll = table.Field(DriverFileTable::ProcessorDll);
            if (!NamesFile(dll)) {
                Error(mod, line(prefix + "ProcessorDLLName"),
                      at + "print processor " + Quoted(processor) +
                          " comes without its DLL: Setup would register it with " + Quoted(dll) +
                          " and stop");
            } else {
                auto [it, fresh] = processors_[os].emplace(processor, Located{dll, "[" + section + "]"});
                if (!fresh && !EqualsIgnoringCase(it->second.value, dll))
                    Warning(mod, line(prefix + "ProcessorDLLName"),
                            at + "print processor " + Quoted(processor) + " has the DLL " +
                                Quoted(dll) + " here and " + Quoted(it->second.value) + " in " +
                                it->second.where + ": Uninstall deletes only one of them");
            }
        }

        if (NamesFile(driverName)) {
            std::string files;
            for (size_t offset : {DriverFileTable::DriverPath, DriverFileTable::DataFile,
                                  DriverFileTable::ConfigFile, DriverFileTable::HelpFile})
                files += Lower(table.Field(offset)) + " ";
            auto [it, fresh] = drivers_[os].emplace(driverName, Located{files, "[" + section + "]"});
            if (!fresh && it->second.value != files && os != WinNT4 && os != Win2000)
                Warning(mod, line(prefix + "DriverName"),
                        at + "driver " + Quoted(driverName) + " has other files than in " +
                            it->second.where + ": the later installation replaces the earlier one's");
        }
    }

    for (const char* key : {"ATTRIBUTES", "GDI2KDDKDEV", "STD2KDDKDEV"}) CheckNumber(mod, section, key);
    if (os == Win98 && TakesDmColor(m.name) && !FileInPackage(folder + kDmColorDll))
        Error(mod, mod.SectionLine(section),
              at + Quoted(kDmColorDll) + " not found in " + folder + ": Setup copies it for " + m.name +
                  " on Windows 98/Me and stops without it");
}

void Checker::CheckUnreadSections() {
    for (int32_t kind = Receipt; kind <= Embedded; ++kind) {
        const IniFile& mod = modules_[kind];
        std::set<std::string> read;
        for (const Model& m : models_) {
            if (m.kind != kind) continue;
            for (int32_t os = Win98; os <= WinVista; ++os) read.insert(Lower(m.name + OsSuffix(os)));
            read.insert(Lower(PortSection(m.name)));
        }
        std::set<std::string> seen;
        for (const ScannedSection& s : mod.scan.sections) {
            const std::string name = Lower(s.name);
            if (read.count(name) || !seen.insert(name).second) continue;
            Warning(mod, s.line,
                    "[" + s.name + "] is never read: no " + kPackageModules[kind].word +
                        " model of that name is offered by " + setup_.rel);
        }
    }
}

void Checker::CheckMonitors(ModelConfigReader& reader) {
    for (int32_t os = Win98; os <= WinVista; ++os) {
        bool any = false, usb = false;
        for (const Model& m : models_) {
            if (!m.reaches[os]) continue;
            any = true;
            usb = usb || m.port.usb != 0;
        }
        // The maker's serial ports are offered on the NT family for every
        // model; Windows 98/Me installs no serial monitor. NT 4.0 has no USB.
        const bool serialNeeded = any && os != Win98;
        const bool usbNeeded = usb && os != WinNT4;
        if (!serialNeeded && !usbNeeded) continue;
        const std::string section = std::string("COMMON-MONITOR") + OsSuffix(os);
        MonitorSettings settings;
        reader.ReadMonitorSettings(os, settings);
        About about(*this, {.os = os, .section = section});
        if (!setup_.scan.Section(section)) {
            Error(setup_, 0,
                  "[" + section + "] is missing: a " + (serialNeeded ? "serial" : "USB") +
                      " installation on " + OsName(os) + " would register a monitor named \"0\"");
            continue;
        }
        const std::string folder = OsFolder(os) + 1;
        struct Need {
            bool needed;
            const char* prefix;
            const plat::MonitorInfo2& info;
            const char* ui;
        };
        for (const Need& n : {Need{serialNeeded, "COMMONitor", settings.serialMonitor,
                                   settings.serialUiDllName},
                              Need{usbNeeded, "USBMONitor", settings.usbMonitor,
                                   settings.usbUiDllName}}) {
            if (!n.needed) continue;
            About about(*this, {.os = os,
                                .portKind = n.prefix[0] == 'U' ? Usb : Serial,
                                .section = section});
            const std::string p = n.prefix;
            const std::string at = "[" + section + "] ";
            const std::string name = n.info.pName ? n.info.pName : "";
            const std::string dll = n.info.pDLLName ? n.info.pDLLName : "";
            const std::string ui = n.ui;
            if (!NamesFile(name))
                Error(setup_, setup_.KeyLine(section, p + "PName"),
                      at + p + "PName names no monitor: Setup would register one named " +
                          Quoted(name));
            else if (name.find('\\') != std::string::npos)
                Error(setup_, setup_.KeyLine(section, p + "PName"),
                      at + p + "PName " + Quoted(name) + kBackslashInKeyName);
            else if (HasControlCharacter(name))
                Error(setup_, setup_.KeyLine(section, p + "PName"),
                      at + p + "PName " + Quoted(name) + kControlCharacter);
            if (!NamesFile(dll))
                Error(setup_, setup_.KeyLine(section, p + "PDLLName"),
                      at + p + "PDLLName names no DLL: Setup would register the monitor with " +
                          Quoted(dll));
            else if (!IsPlainFileName(dll))
                Error(setup_, setup_.KeyLine(section, p + "PDLLName"),
                      at + p + "PDLLName " + Quoted(dll) + kNotPlain);
            else if (!FileInPackage(folder + dll))
                Error(setup_, setup_.KeyLine(section, p + "PDLLName"),
                      at + p + "PDLLName " + Quoted(dll) + " not found in " + folder);
            if (NamesFile(ui) && !IsPlainFileName(ui))
                Error(setup_, setup_.KeyLine(section, p + "PUIDLLName"),
                      at + p + "PUIDLLName " + Quoted(ui) + kNotPlain);
            else if (NamesFile(ui) && !FileInPackage(folder + ui))
                Error(setup_, setup_.KeyLine(section, p + "PUIDLLName"),
                      at + p + "PUIDLLName " + Quoted(ui) + " not found in " + folder);
            CheckNumber(setup_, section, p + "Version");
            if (NamesFile(name)) monitors_[os].push_back({name, dll, ui});
        }
    }
}

void Checker::CheckProcessorVersion() {
    bool own = false;
    for (const auto& perOs : processors_) own = own || !perOs.empty();
    if (!own) return;
    if (!setup_.Key("ProcessorVersion", "DriverVersion")) {
        Warning(setup_, setup_.SectionLine("ProcessorVersion"),
                "[ProcessorVersion] DriverVersion is missing: it reads as 0, so an installed print "
                "processor never counts as outdated");
        return;
    }
    CheckNumber(setup_, "ProcessorVersion", "DriverVersion");
}

void Checker::CheckUsbDevices() {
    const char* section = "SUPPORTED-USB-DEVICE";
    const std::vector<std::string> devices = ReadSupportedUsbDevices(watch_);
    const ScannedKey* count = setup_.Key(section, "PRNCOUNT");
    if (!count) {
        if (!usbPortsOffered_.empty())
            Error(setup_, setup_.SectionLine(section),
                  "[SUPPORTED-USB-DEVICE] PRNCOUNT is missing: Setup records no USB port");
    } else {
        CheckNumber(setup_, section, "PRNCOUNT");
        const int32_t written = IniToInt(count->value.c_str());
        if (written > kMaxUsbDeviceEntries)
            Error(setup_, count->line,
                  "[SUPPORTED-USB-DEVICE] PRNCOUNT " + std::to_string(written) +
                      " is over the limit of " + std::to_string(kMaxUsbDeviceEntries) +
                      " entries: Setup reads only the first " +
                      std::to_string(kMaxUsbDeviceEntries));
    }
    std::map<std::string, size_t> listed;
    std::vector<int32_t> missing;
    for (size_t i = 0; i < devices.size(); ++i) {
        const std::string key = std::to_string(i);
        const ScannedKey* entry = setup_.Key(section, key);
        if (!entry) {
            missing.push_back(static_cast<int32_t>(i));
            continue;
        }
        auto [it, fresh] = listed.emplace(devices[i], i);
        if (!fresh)
            Warning(setup_, entry->line,
                    "[SUPPORTED-USB-DEVICE] " + Quoted(devices[i]) + " is listed again (first as entry " +
                        std::to_string(it->second) + "): its records take the first position");
        else if (!usbPortsOfModels_.count(devices[i]))
            Warning(setup_, entry->line,
                    "[SUPPORTED-USB-DEVICE] lists " + Quoted(devices[i]) +
                        ", which no offered USB model uses");
    }
    for (const std::string& run : Runs(missing, ""))
        Error(setup_, count ? count->line : 0,
              "[SUPPORTED-USB-DEVICE] " + std::string(run.find(" to ") != std::string::npos ? "entries " : "entry ") + run +
                  (run.find(" to ") != std::string::npos ? " are" : " is") +
                  " missing (PRNCOUNT is " + std::to_string(devices.size()) + ")");
    for (const std::string& port : usbPortsOffered_)
        if (!listed.count(port))
            Error(setup_, count ? count->line : setup_.SectionLine(section),
                  "USB port " + Quoted(port) +
                      " is not in [SUPPORTED-USB-DEVICE]: Setup records no position for it");
    if (const ScannedSection* s = setup_.scan.Section(section)) {
        for (const ScannedKey& k : s->keys) {
            if (!IsDecimal(k.name) || k.name[0] == '+' || k.name[0] == '-') continue;
            if (std::strtol(k.name.c_str(), nullptr, 10) >= static_cast<long>(devices.size()))
                Warning(setup_, k.line,
                        "[SUPPORTED-USB-DEVICE] entry " + k.name + " lies beyond PRNCOUNT=" +
                            std::to_string(devices.size()) + " and is never read");
        }
    }
}

void Checker::CheckUninstallList(const uninstall::UninstallIni& ini,
                                 uninstall::UninstallIni::List list, const char* section,
                                 const char* countKey, const char* base,
                                 const std::vector<std::string>& packageNames,
                                 const char* const* systemNames, size_t systemCount,
                                 const char* systemKind) {
    const IniFile& u = uninstall_;
    const ScannedKey* count = u.Key(section, countKey);
    if (!count) return;  // an empty list; what it leaves out is reported with the names
    CheckNumber(u, section, countKey);
    const int32_t written = IniToInt(count->value.c_str());
    if (written > uninstall::kMaxListEntries)
        Error(u, count->line,
              "[" + std::string(section) + "] " + countKey + " " + std::to_string(written) +
                  " is over the limit of " + std::to_string(uninstall::kMaxListEntries) +
                  " entries: Uninstall reads only the first " +
                  std::to_string(uninstall::kMaxListEntries));
    const int32_t entries = uninstall::ReadCount(count->value);
    for (int32_t k = 1; k <= entries; ++k) {
        const std::string key = base + std::to_string(k);
        const ScannedKey* entry = u.Key(section, key);
        const std::string at = "[" + std::string(section) + "] " + key;
        if (!entry) {
            Warning(u, count->line, at + " is missing: it matches nothing");
            continue;
        }
        if (entry->value.empty()) {
            Warning(u, entry->line, at + " is empty: it matches nothing");
            continue;
        }
        const bool used = std::any_of(packageNames.begin(), packageNames.end(), [&](const auto& n) {
            return n.find(entry->value) != std::string::npos;
        });
        if (!used)
            Warning(u, entry->line,
                    at + " " + Quoted(entry->value) + " is part of nothing that Setup installs");
    }
    // Uninstall's own test on the names of what Windows brings.
    for (size_t i = 0; i < systemCount; ++i) {
        const std::string entry = ini.MatchingEntry(list, systemNames[i]);
        if (entry.empty()) continue;
        int line = count->line;
        std::string key = base;
        for (int32_t k = 1; k <= entries; ++k) {
            const ScannedKey* e = u.Key(section, base + std::to_string(k));
            if (e && e->value == entry) {
                line = e->line;
                key = e->name;
                break;
            }
        }
        Error(u, line,
              "[" + std::string(section) + "] " + key + " " + Quoted(entry) + " is part of " +
                  Quoted(systemNames[i]) + ", " + systemKind + ": Uninstall would offer to remove it");
    }
}

void Checker::CheckUninstallIni() {
    if (!uninstall_.present) {
        Add(Severity::Error, "DRVCONFIG\\Uninstall.ini", 0,
            std::string("missing: Uninstall says \"") + uninstall::UninstallString(IDS_NO_INI) +
                "\" and removes nothing");
        return;
    }
    const IniFile& u = uninstall_;
    std::set<std::string> monitorNames, processorNames, driverNames;
    for (int32_t os = Win98; os <= WinVista; ++os) {
        uninstall::UninstallState state;
        state.iniPath = u.full;
        state.osClass = os;
        const uninstall::UninstallIni ini(watch_, state);
        const std::string suffix = OsSuffixXpAs2000(os);
        for (const Monitor& monitor : monitors_[os]) {
            monitorNames.insert(monitor.name);
            if (!ini.IsListedMonitor(monitor.name)) {
                Error(u, u.SectionLine("KVMONITOR"),
                      "[KVMONITOR] no MONITORNAMEn is part of " + Quoted(monitor.name) +
                          ", the monitor Setup installs: Uninstall would not offer to remove it");
                continue;
            }
            const std::string section = ini.MonitorSection(monitor.name);
            const uninstall::MonitorDlls dlls = ini.MonitorDllNames(monitor.name);
            auto same = [](const std::string& a, const std::string& b) {
                return NamesFile(a) ? EqualsIgnoringCase(a, b) : !NamesFile(b);
            };
            if (!same(dlls.monitorDll, monitor.dll) || !same(dlls.uiDll, monitor.ui))
                Error(u, u.SectionLine(section),
                      "[" + section + "] names " + Quoted(dlls.monitorDll) + " and " +
                          Quoted(dlls.uiDll) + ", but Setup installs " + Quoted(monitor.dll) +
                          " and " + Quoted(monitor.ui) + " for " + Quoted(monitor.name) + " on " +
                          OsName(os) + ": Uninstall would delete the wrong files");
        }
        for (const auto& [name, dll] : drivers_[os]) {
            driverNames.insert(name);
            if (!ini.IsListedDriver(name))
                Error(u, u.SectionLine("KVPRINTER"),
                      "[KVPRINTER] no PRINTERNAMEn is part of the driver " + Quoted(name) +
                          ": Uninstall would not offer its printers");
        }
        // Uninstall lists no print processor on Windows 98/Me.
        if (os == Win98) continue;
        for (const auto& [name, dll] : processors_[os]) {
            processorNames.insert(name);
            if (!ini.IsListedProcessor(name)) {
                Error(u, u.SectionLine("KVPROC"),
                      "[KVPROC] no PROCNAMEn is part of " + Quoted(name) +
                          ", the print processor Setup installs: Uninstall would not offer to "
                          "remove it");
                continue;
            }
            const std::string listed = ini.ProcessorDllName(name);
            if (!EqualsIgnoringCase(listed, dll.value))
                Error(u, u.SectionLine(name + suffix),
                      "[" + name + suffix + "] ProcessorDllName is " + Quoted(listed) +
                          ", but Setup installs " + Quoted(dll.value) + " on " + OsName(os) +
                          ": Uninstall would delete the wrong file");
        }
    }
    uninstall::UninstallState xp;
    xp.iniPath = u.full;
    xp.osClass = WinXP;
    const uninstall::UninstallIni ini(watch_, xp);
    using List = uninstall::UninstallIni::List;
    const std::vector<std::string> monitors(monitorNames.begin(), monitorNames.end());
    const std::vector<std::string> processors(processorNames.begin(), processorNames.end());
    const std::vector<std::string> drivers(driverNames.begin(), driverNames.end());
    CheckUninstallList(ini, List::Monitors, "KVMONITOR", "MonitorNUM", "MONITORNAME", monitors,
                       kSystemMonitors, std::size(kSystemMonitors), "a monitor of Windows itself");
    CheckUninstallList(ini, List::Processors, "KVPROC", "PROCNUM", "PROCNAME", processors,
                       kSystemProcessors, std::size(kSystemProcessors),
                       "the print processor of Windows itself");
    CheckUninstallList(ini, List::Drivers, "KVPRINTER", "PRINTERNUM", "PRINTERNAME", drivers,
                       kSystemDrivers, std::size(kSystemDrivers), "a driver of Windows itself");
    for (const ScannedSection& s : u.scan.sections) {
        const std::string name = Lower(s.name);
        if (name.size() > 3 && name.compare(name.size() - 3, 3, ".xp") == 0)
            Warning(u, s.line,
                    "[" + s.name + "] is never read: Uninstall takes the .2K sections on Windows XP");
    }
}

void Checker::CheckFiles() {
    std::string bytes;
    About every(*this, {.every = true, .file = wiztext::kLeftBitmap});
    const std::string bitmap = wiztext::kLeftBitmap;
    if (windows_.files().ReadFile(root_ + "\\" + bitmap, bytes) != plat::err::Success) {
        Add(Severity::Error, bitmap, 0,
            std::string("missing: Setup ends at its start with \"") + msg::kNoLeftBmp + "\"");
    } else {
        std::string why;
        if (!IsLoadableBitmap(bytes, why))
            Add(Severity::Error, bitmap, 0,
                "not a bitmap Windows can load (" + why +
                    "): Setup ends at its start with \"" + msg::kNoLeftBmp + "\"");
    }
    if (!FileInPackage("POS.CHM"))
        Add(Severity::Error, "POS.CHM", 0, "missing: F1 in the wizard opens no help");
    // Uninstall opens its English help, or else the Chinese one.
    if (!FileInPackage("Uninstall_EN.CHM") && !FileInPackage("Uninstall_CN.CHM"))
        Add(Severity::Error, "Uninstall_EN.CHM", 0,
            "missing, and Uninstall_CN.CHM too: F1 in Uninstall opens no help");
    for (const char* fonts : {"TCVN3 Font", "VNI Font"}) {
        int files = 0;
        plat::FindHandle find;
        plat::FindData entry;
        if (windows_.files().FindFirstFile(root_ + "\\" + fonts + "\\*.*", find, entry) ==
            plat::err::Success) {
            do {
                if (!(entry.attributes & plat::attr::Directory)) ++files;
            } while (windows_.files().FindNextFile(find, entry) == plat::err::Success);
        }
        if (files == 0)
            Add(Severity::Error, std::string(fonts) + "\\", 0,
                "missing or empty: \"Install Vietnamese Font\" copies no font");
    }
    bool usb = std::any_of(models_.begin(), models_.end(), [](const Model& m) { return m.port.usb; });
    About usbFiles(*this, {.portKind = Usb});
    if (usb && !FileInPackage("USBDRV2.20\\bulkusb.sys"))
        Add(Severity::Error, "USBDRV2.20\\bulkusb.sys", 0,
            "missing: the port page can't tell that the USB device driver needs installing");
    if (!FileInPackage("KvUsbInt.dll"))
        Add(Severity::Error, "KvUsbInt.dll", 0,
            std::string("missing: the port page says \"") + msg::kUsbLibraryMissing +
                "\" on every arrival");
    About win98(*this, {.os = Win98});
    if (win98Installs_) {
        const std::string folder = OsFolder(Win98) + 1;  // "win98\"
        if (!FileInPackage(folder + "ICONLIB.DLL"))
            Add(Severity::Error, folder + "ICONLIB.DLL", 0,
                "missing: every Windows 98/Me installation copies it and ends with its copy error");
        if (!FileInPackage(folder + "UNIDRV.DLL"))
            Add(Severity::Error, folder + "UNIDRV.DLL", 0,
                "missing: a Windows 98/Me machine without UNIDRV.DLL gets none and the installation "
                "ends with its copy error");
    }
}

void Checker::ReportCuts() {
    for (const ReadWatch::Cut& cut : watch_.Cuts()) {
        const IniFile* file = nullptr;
        for (const IniFile* f : {&setup_, &modules_[0], &modules_[1], &modules_[2], &modules_[3],
                                 &uninstall_})
            if (f->present && EqualsIgnoringCase(f->full, cut.path)) file = f;
        const std::string rel = file ? file->rel : Rel(cut.path);
        const int line = file ? file->KeyLine(cut.section, cut.key) : 0;
        const ScannedKey* k = file ? file->Key(cut.section, cut.key) : nullptr;
        const std::string key = k ? k->name : cut.key;
        const std::string length = cut.whole.size() >= ReadWatch::kWholeValue - 1
                                       ? "at least " + std::to_string(cut.whole.size())
                                       : std::to_string(cut.whole.size());
        Subject subject = SubjectOfSection(cut.section);
        if (subject.os >= 0 && key.size() > 3) {
            if (EqualsIgnoringCase(key.substr(0, 3), "STD")) subject.mode = Std;
            if (EqualsIgnoringCase(key.substr(0, 3), "GDI")) subject.mode = Gdi;
        }
        About about(*this, subject);
        Add(Severity::Error, rel, line,
            "[" + cut.section + "] " + key + " is " + length + " bytes long, over its limit of " +
                std::to_string(cut.size - 1) + " bytes: it would be read as " +
                Quoted(cut.whole.substr(0, cut.size - 1)));
    }
}

Subject Checker::SubjectOfSection(const std::string& section) const {
    for (const Model& m : models_) {
        if (EqualsIgnoringCase(section, PortSection(m.name))) return {.model = m.name, .section = section};
        for (int32_t os = Win98; os <= WinVista; ++os)
            if (EqualsIgnoringCase(section, m.name + OsSuffix(os)))
                return {.model = m.name, .os = os, .section = section};
    }
    for (int32_t os = Win98; os <= WinVista; ++os)
        if (EqualsIgnoringCase(section, std::string("COMMON-MONITOR") + OsSuffix(os)))
            return {.os = os, .section = section};
    return {.section = section};
}

// Each offered installation on a fresh machine. A failing one counts against
// the first error of the static checks that concerns it; the failures that
// none explains are findings of their own, one per place and message.
void Checker::Rehearse() {
    const std::vector<Rehearsal> rehearsals = RehearseOffered(windows_, root_);
    report_.installations = static_cast<int>(rehearsals.size());
    std::map<size_t, std::vector<const Rehearsal*>> explained;  // finding index -> failures
    struct Cause {
        const IniFile* file;
        int line;
        std::string message;
        Subject subject;
        std::vector<const Rehearsal*> broken;
    };
    std::vector<Cause> causes;
    for (const Rehearsal& r : rehearsals) {
        if (r.Installed()) continue;
        bool found = false;
        for (size_t i = 0; i < report_.findings.size() && !found; ++i) {
            const Finding& f = report_.findings[i];
            if (f.severity != Severity::Error ||
                !f.subject.Concerns(r.input.model, r.os, r.result.mode, r.portKind))
                continue;
            explained[i].push_back(&r);
            found = true;
        }
        if (found) continue;
        // Where the rehearsal tells: the key of the file it failed to copy,
        // the monitors' section, or else the model's section.
        const Model* model = nullptr;
        for (const Model& m : models_)
            if (m.name == r.input.model) model = &m;
        const IniFile* file = model ? &modules_[model->kind] : &setup_;
        const std::string section = r.input.model + OsSuffix(r.os);
        int line = file->SectionLine(section);
        if (r.failed.kind == FailedCall::Monitor) {
            file = &setup_;
            line = setup_.SectionLine(std::string("COMMON-MONITOR") + OsSuffix(r.os));
        } else if (r.failed.kind == FailedCall::Copy) {
            auto keyOf = [&](const IniFile& f, const std::string& s) {
                if (const ScannedSection* scanned = f.scan.Section(s))
                    for (const ScannedKey& k : scanned->keys)
                        if (EqualsIgnoringCase(k.value, r.failed.fileName)) return k.line;
                return 0;
            };
            const std::string monitors = std::string("COMMON-MONITOR") + OsSuffix(r.os);
            if (const int at = keyOf(*file, section)) {
                line = at;
            } else if (const int monitorAt = keyOf(setup_, monitors)) {
                file = &setup_;
                line = monitorAt;
            }
        }
        auto it = std::find_if(causes.begin(), causes.end(), [&](const Cause& c) {
            return c.file == file && c.line == line && c.message == r.message;
        });
        if (it == causes.end())
            it = causes.insert(causes.end(), {file, line, r.message, SubjectOfSection(section), {}});
        it->broken.push_back(&r);
    }
    const std::string of = " of " + std::to_string(rehearsals.size()) + " offered installation" +
                           (rehearsals.size() == 1 ? "" : "s") + ": ";
    auto breaks = [&](const std::vector<const Rehearsal*>& broken) {
        return "breaks " + std::to_string(broken.size()) + of + Installations(broken);
    };
    for (const auto& [index, broken] : explained)
        report_.findings[index].text += "; it " + breaks(broken);
    for (const Cause& c : causes) {
        About about(*this, c.subject);
        Error(*c.file, c.line,
              "Setup ends with " + QuotedText(c.message) + ": it " + breaks(c.broken));
    }
}

void Checker::Sort() {
    std::map<std::string, int> rank;
    int next = 0;
    for (const IniFile* f : {&setup_, &modules_[0], &modules_[1], &modules_[2], &modules_[3],
                             &uninstall_})
        rank.emplace(f->rel, next++);
    auto key = [&](const Finding& f) {
        auto it = rank.find(f.file);
        return std::make_tuple(it == rank.end() ? next : it->second, f.file, f.line,
                               f.severity != Severity::Error, f.text);
    };
    std::vector<Finding>& list = report_.findings;
    std::sort(list.begin(), list.end(), [&](const Finding& a, const Finding& b) {
        return key(a) < key(b);
    });
    list.erase(std::unique(list.begin(), list.end(),
                           [](const Finding& a, const Finding& b) {
                               return a.file == b.file && a.line == b.line &&
                                      a.severity == b.severity && a.text == b.text;
                           }),
               list.end());
}

CheckReport Checker::Run() {
    ModelConfigReader reader(watch_);
    if (reader.SetupIniPath()[0] == '\0') {
        Add(Severity::Error, ".", 0,
            "the package folder's path is too long: Setup composes its INI paths in 200 "
            "bytes and would find none of them");
        return report_;
    }
    setup_ = Load(reader.SetupIniPath());
    for (int32_t kind = Receipt; kind <= Embedded; ++kind)
        modules_[kind] = Load(reader.ModuleIniPath(kind));
    uninstall::UninstallState state;
    state.iniPath = root_;
    if (uninstall::FindUninstallIni(windows_, state) == 0) uninstall_ = Load(state.iniPath);
    uninstall_.rel = uninstall_.present ? Rel(state.iniPath) : "DRVCONFIG\\Uninstall.ini";

    if (!setup_.present) {
        Error(setup_, 0, "missing: Setup offers no model and installs nothing");
    } else {
        for (const IniFile* f : {&setup_, &modules_[0], &modules_[1], &modules_[2], &modules_[3],
                                 &uninstall_})
            if (f->present) CheckRepeats(*f);
        CheckModelList(reader);
        for (Model& m : models_) CheckModel(reader, m);
        for (const IniFile* f : {&setup_, &modules_[0], &modules_[1], &modules_[2], &modules_[3],
                                 &uninstall_})
            if (f->present) CheckText(*f);
        CheckUnreadSections();
        CheckMonitors(reader);
        CheckProcessorVersion();
        CheckUsbDevices();
        CheckUninstallIni();
    }
    CheckFiles();
    ReportCuts();
    if (options_.rehearse && setup_.present) Rehearse();
    report_.models = static_cast<int>(models_.size());
    Sort();
    return report_;
}

}  // namespace

CheckReport CheckPackage(plat::Windows& windows, const std::string& root,
                         const CheckOptions& options) {
    std::string folder = root;
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    Checker checker(windows, folder, options);
    return checker.Run();
}

bool IsLoadableBitmap(const std::string& bytes, std::string& why) {
    auto u16 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at]) |
                                     static_cast<unsigned char>(bytes[at + 1]) << 8);
    };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') {
        why = "no bitmap file header";
        return false;
    }
    const uint32_t offset = u32(10);
    const uint32_t header = u32(14);
    int64_t width = 0, height = 0;
    uint32_t planes = 0, bits = 0, compression = 0;
    if (header == 12) {
        width = u16(18);
        height = u16(20);
        planes = u16(22);
        bits = u16(24);
    } else if (header == 40 || header == 52 || header == 56 || header == 108 || header == 124) {
        if (bytes.size() < 14 + 40) {
            why = "its header is cut short";
            return false;
        }
        width = static_cast<int32_t>(u32(18));
        height = static_cast<int32_t>(u32(22));
        planes = u16(26);
        bits = u16(28);
        compression = u32(30);
    } else {
        why = "a bitmap header of " + std::to_string(header) + " bytes";
        return false;
    }
    if (planes != 1 || !(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
        why = std::to_string(planes) + " planes of " + std::to_string(bits) + " bits";
        return false;
    }
    if (width <= 0 || height == 0) {
        why = "a size of " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    const bool rle = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
    const bool fields = compression == 3 && (bits == 16 || bits == 32);
    if (compression != 0 && !rle && !fields) {
        why = "compression " + std::to_string(compression) + " with " + std::to_string(bits) + " bits";
        return false;
    }
    if (offset >= bytes.size() || offset < 14 + header) {
        why = "its pixels start at " + std::to_string(offset) + " of " + std::to_string(bytes.size()) +
              " bytes";
        return false;
    }
    if (!rle) {
        const uint64_t row = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
        const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
        if (offset + row * rows > bytes.size()) {
            why = "cut short: " + std::to_string(bytes.size()) + " bytes hold " +
                  std::to_string((bytes.size() - offset) / row) + " of its " +
                  std::to_string(rows) + " rows";
            return false;
        }
    }
    return true;
}

}  // namespace qsetup

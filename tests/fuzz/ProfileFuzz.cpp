// The profile reader of the simulated Windows with arbitrary bytes as the INI
// file, through every read and write of the seam: GetPrivateProfileString
// with buffer sizes from 0 up, GetProfileString and WriteProfileString on
// win.ini (set, remove a key, remove a section), and the text functions
// behind them.
//
// Header bytes: 0-1 buffer size (0..4095), 2 section, 3 key (each a name of
// the text itself or a short made-up one). The rest is the file.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/IniText.h"
#include "simwindows/testing/SimTestWindows.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using fuzz::Check;

// The section and key names that the text holds, in order, and some made up.
struct Names {
    std::vector<std::string> sections{"a", "DEVICENAME", ""};
    std::vector<std::string> keys{"k", "DEVICENUMBER", ""};
};

Names NamesOf(std::string_view text) {
    Names names;
    size_t start = 0;
    while (start < text.size() && names.sections.size() + names.keys.size() < 64) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            const size_t close = line.find(']');
            if (close != std::string_view::npos) names.sections.emplace_back(line.substr(1, close - 1));
        } else if (const size_t eq = line.find('='); eq != std::string_view::npos) {
            names.keys.emplace_back(line.substr(0, eq));
        }
    }
    return names;
}

// A name that reads back as written: letters, digits, '-', '_' and '.'.
bool Simple(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.')
            return false;
    return true;
}

const std::string& Pick(const std::vector<std::string>& from, uint8_t byte) {
    return from[byte % from.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint32_t bufferSize =
        fuzz::Byte(data, size, 0) | (fuzz::Byte(data, size, 1) & 0x0F) << 8;  // 0..4095
    const std::string text = fuzz::Parts(data, size, 4, 1)[0];
    const Names names = NamesOf(text);
    const std::string section = Pick(names.sections, fuzz::Byte(data, size, 2));
    const std::string key = Pick(names.keys, fuzz::Byte(data, size, 3));
    const std::string def = "dflt";
    const std::string cutDefault = def.substr(0, bufferSize ? bufferSize - 1 : 0);

    // The text functions.
    const std::optional<std::string> found = ini::FindProfileValue(text, section, key);
    const std::string value = ini::ProfileString(text, section, key, def, bufferSize);
    Check(bufferSize == 0 ? value.empty() : value.size() <= bufferSize - 1, "value fits its buffer");
    Check(found || value == cutDefault, "the default where nothing is found");
    Check(!found || found->compare(0, value.size(), value) == 0, "a cut value is the value's start");
    Check(value.find('\0') == std::string::npos, "no NUL inside a value");
    Check(ini::ProfileIndex(text).Find(section, key) == found,
          "the index of a text finds what the reader finds");

    // The seam, on a package file and on win.ini.
    plat::SimTestWindows w;
    const std::string path = "C:\\PKG\\DRVCONFIG\\setup.ini";
    w.PutFile(path, text);
    Check(w.profile().GetPrivateProfileString(section, key, def, bufferSize, path) == value,
          "the seam reads as the text functions");
    w.SetProfileIndexing(true);
    Check(w.profile().GetPrivateProfileString(section, key, def, bufferSize, path) == value,
          "the seam reads from its index as the text functions");
    Check(w.profile().GetPrivateProfileString(section, key, def, bufferSize,
                                              "C:\\PKG\\missing.ini") == cutDefault,
          "a missing file gives the default");

    w.PutFile("C:\\WINDOWS\\win.ini", text);
    Check(w.profile().GetProfileString(section, key, def) ==
              ini::ProfileString(text, section, key, def, 4096),
          "win.ini reads like any file");
    if (section.empty() || key.empty()) return 0;
    // A header without ']' or a NUL hides what follows it from the reader.
    const bool plain = Simple(section) && Simple(key) && text.find('[') == std::string::npos &&
                       text.find('\0') == std::string::npos;
    w.profile().WriteProfileString(section.c_str(), key.c_str(), "new value");
    if (plain)
        Check(w.profile().GetProfileString(section, key, def) == "new value",
              "a written value reads back");
    w.profile().WriteProfileString(section.c_str(), key.c_str(), nullptr);
    if (plain)
        Check(w.profile().GetProfileString(section, key, def) == def,
              "a removed key reads as missing");
    w.profile().WriteProfileString(section.c_str(), nullptr, nullptr);
    if (plain)
        Check(w.profile().GetProfileString(section, "k", def) == def,
              "a removed section reads as missing");
    return 0;
}

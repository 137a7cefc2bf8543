// Small jobs beside the printer installation: the Vietnamese fonts, a file's
// version text, and the state of the USB device driver.
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/FileAttributes.h"
#include "common/Text.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Windows.h"
#include "setup/engine/Stages.h"

namespace {

constexpr uint32_t kPathCapacity = 260;
constexpr uint32_t kDriverPathCapacity = 200;
constexpr const char* kNoVersion = "0.0.0.0";

// Copies every file of one package font folder into the fonts folder; a font
// already there is left as it is. False when the folder can't be listed.
bool CopyFontFolder(plat::Windows& windows, const std::string& fontsFolder,
                    const char* packageFolder) {
    std::string working;
    if (windows.folders().GetCurrentDirectory(working, kPathCapacity) != 0) return false;
    const std::string source = working + packageFolder;

    plat::FindHandle find;
    plat::FindData entry;
    if (windows.files().FindFirstFile(source + "*.*", find, entry) != 0) return false;
    do {
        if (entry.attributes & plat::attr::Directory) continue;
        CopyFileWritable(windows, source + entry.name, fontsFolder + entry.name, true);
    } while (windows.files().FindNextFile(find, entry) == 0);
    return true;
}

// The four numbers of a version text ("2.10.0.0", also "2, 10, 0, 0");
// missing or unreadable parts are 0.
std::array<uint32_t, 4> VersionParts(const std::string& text) {
    std::array<uint32_t, 4> parts{};
    size_t at = 0;
    auto skipBlanks = [&] {
        while (at < text.size() && text[at] == ' ') ++at;
    };
    for (size_t part = 0; part < parts.size(); ++part) {
        skipBlanks();
        uint64_t value = 0;
        bool digits = false;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            value = value * 10 + static_cast<uint32_t>(text[at] - '0');
            if (value > UINT32_MAX) value = UINT32_MAX;
            digits = true;
            ++at;
        }
        if (!digits) break;
        parts[part] = static_cast<uint32_t>(value);
        skipBlanks();
        if (at >= text.size() || (text[at] != '.' && text[at] != ',')) break;
        ++at;
    }
    return parts;
}

}  // namespace

bool InstallVietnameseFonts(plat::Windows& windows) {
    std::string windowsFolder, working;
    if (windows.folders().GetWindowsDirectory(windowsFolder, kPathCapacity) != 0 ||
        windows.folders().GetCurrentDirectory(working, kPathCapacity) != 0)
        return false;
    const std::string fonts = windowsFolder + "\\Fonts\\";
    // Without the first folder the second is not looked at either.
    return CopyFontFolder(windows, fonts, "\\TCVN3 Font\\") &&
           CopyFontFolder(windows, fonts, "\\VNI Font\\");
}

std::string GetFileVersionString(plat::Windows& windows, const std::string& path) {
    plat::VersionResource resource;
    if (windows.files().GetFileVersion(path, resource) != 0 || resource.translations.empty())
        return kNoVersion;
    const auto [language, codePage] = resource.translations.front();
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion",
                  static_cast<unsigned>(language), static_cast<unsigned>(codePage));
    for (const auto& [name, value] : resource.strings)
        if (EqualsIgnoringCase(name, query)) return value.empty() ? kNoVersion : value;
    return kNoVersion;
}

int32_t CheckUsbDeviceDriver(plat::Windows& windows) {
    const std::string package = ProgramFolder(windows) + "USBDRV2.20\\bulkusb.sys";
    std::string windowsFolder;
    const bool haveWindows =
        windows.folders().GetWindowsDirectory(windowsFolder, kDriverPathCapacity) == 0;

    const std::string packageVersion = GetFileVersionString(windows, package);
    const std::string installedVersion =
        haveWindows
            ? GetFileVersionString(windows, windowsFolder + "\\system32\\drivers\\bulkusb.sys")
            : std::string(kNoVersion);
    if (packageVersion == installedVersion) return 0;

    // Compared part by part, so that 2.10 counts as newer than 2.9.
    const auto packageParts = VersionParts(packageVersion);
    const auto installedParts = VersionParts(installedVersion);
    if (installedParts == std::array<uint32_t, 4>{}) return -1;
    return installedParts < packageParts ? 1 : 0;
}

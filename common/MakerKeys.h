// The printer maker's registry keys (HKEY_LOCAL_MACHINE), in which Setup
// records its USB installations and which Uninstall removes again.
#pragma once

#include <string>

#define KV_MAKER_KEY "SOFTWARE\\TARVELO\\"

inline constexpr const char* kTarveloKey = KV_MAKER_KEY;
inline constexpr const char* kPrinterPortKey = KV_MAKER_KEY "PRINTERPORT\\";
inline constexpr const char* kPortNameKey = KV_MAKER_KEY "PORTNAME\\";
inline constexpr const char* kInstallPrinterKey = KV_MAKER_KEY "INSTALLPRINTER\\";

// A key's path without its closing "\", as Uninstall deletes it.
inline std::string WithoutClosingSlash(const char* key) {
    std::string path = key;
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// The Windows version classes as qsetup names them to people and on its
// command line.
#pragma once

#include <cstdint>

namespace qsetup {

// "Windows 98/Me" .. "Windows Vista"; "Windows" outside 0..5.
inline const char* OsName(int32_t os) {
    static const char* const names[6] = {"Windows 98/Me", "Windows NT 4.0",      "Windows 2000",
                                          "Windows XP",    "Windows Server 2003", "Windows Vista"};
    return os >= 0 && os <= 5 ? names[os] : "Windows";
}

// "98", "NT4", "2000", "XP", "2003", "Vista"; "?" outside 0..5.
inline const char* OsOptionName(int32_t os) {
    static const char* const names[6] = {"98", "NT4", "2000", "XP", "2003", "Vista"};
    return os >= 0 && os <= 5 ? names[os] : "?";
}

}  // namespace qsetup

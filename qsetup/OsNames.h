// The Windows version classes as qsetup names them to people and on its
// command line.
#pragma once

#include <cstdint>

#include "common/WindowsVersions.h"

namespace qsetup {

// "Windows 98/Me" .. "Windows Vista"; "Windows" outside the classes.
inline const char* OsName(int32_t os) {
    const WindowsVersion* v = WindowsVersionOf(os);
    return v ? v->name : "Windows";
}

// "98", "NT4", "2000", "XP", "2003", "Vista"; "?" outside the classes.
inline const char* OsOptionName(int32_t os) {
    const WindowsVersion* v = WindowsVersionOf(os);
    return v ? v->option : "?";
}

}  // namespace qsetup

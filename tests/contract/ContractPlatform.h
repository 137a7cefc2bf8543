// The platform under contract: the real Win32 layer in a Windows build, the
// simulated Windows otherwise.
#pragma once

#include <memory>

#ifdef _WIN32
#include "platform/win32/Win32Windows.h"
#else
#include "simwindows/testing/SimTestWindows.h"
#endif

namespace contract {

inline std::unique_ptr<plat::Windows> MakePlatform() {
#ifdef _WIN32
    return std::make_unique<plat::Win32Windows>();
#else
    return std::make_unique<plat::SimTestWindows>();
#endif
}

// Where Wine answers otherwise than Windows, a case checks Windows' answer on
// the simulation alone.
constexpr bool IsSimulation() {
#ifdef _WIN32
    return false;
#else
    return true;
#endif
}

}  // namespace contract

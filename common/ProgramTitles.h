// The titles of Setup's and Uninstall's main windows, by which each program
// finds the other and qsetup finds both, and the names the programs go by
// when their own file name can't be read (their mutex, their message boxes'
// caption). The dialog templates take the titles from here too: plain
// #defines for the resource compiler.
#pragma once

#define KV_SETUP_TITLE "Install Driver for Printers"
#define KV_UNINSTALL_TITLE "Uninstall"

#ifndef RC_INVOKED
namespace program {

inline constexpr const char* kSetupTitle = KV_SETUP_TITLE;
inline constexpr const char* kUninstallTitle = KV_UNINSTALL_TITLE;
inline constexpr const char* kSetupName = "Setup";
inline constexpr const char* kUninstallName = "Uninstall";

}  // namespace program
#endif

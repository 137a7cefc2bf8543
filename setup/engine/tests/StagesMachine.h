// A simulated machine for the tests of the installation stages: the package
// at C:\PKG (program folder and current folder) with INI text written by each
// test, and short names for the folders and keys the stages touch.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "simwindows/testing/SimTestWindows.h"
#include "setup/engine/Stages.h"

namespace stagestest {

inline constexpr const char* kPkg = "C:\\PKG";
inline constexpr const char* kSetupIni = "C:\\PKG\\DRVCONFIG\\setup.ini";
inline constexpr const char* kReceiptIni = "C:\\PKG\\DRVCONFIG\\setup_receipt.ini";
inline constexpr const char* kSystem = "C:\\WINDOWS\\system32";
inline constexpr const char* kDriverDir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
inline constexpr const char* kProcDir = "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86";
inline constexpr const char* kMonitors = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
inline constexpr const char* kProcessorsNT =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print "
    "Processors\\";
inline constexpr const char* kProcessors98 =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows 4.0\\Print Processors\\";

class StagesMachine : public ::testing::Test {
protected:
    void SetUpIni(const std::string& text) { w.PutFile(kSetupIni, text); }

    // A file of the package's folder for `os` ("winnt", "win98", ...).
    void PutPackageFile(const std::string& folder, const std::string& name,
                        const std::string& bytes = "MZ new") {
        w.PutFile(std::string(kPkg) + "\\" + folder + "\\" + name, bytes);
    }

    std::optional<std::string> Reg(const std::string& path, const std::string& name) const {
        return w.RegText(plat::Root::LocalMachine, path, name);
    }
    void PutDword(const std::string& path, const std::string& name, uint32_t value) {
        w.PutRegDword(plat::Root::LocalMachine, path, name, value);
    }
    void PutString(const std::string& path, const std::string& name, const std::string& value) {
        w.PutRegString(plat::Root::LocalMachine, path, name, value);
    }

    std::optional<std::string> File(const std::string& path) const { return w.FileText(path); }

    plat::SimTestWindows w;
    std::string message;
};

}  // namespace stagestest

// The package folder of this computer, read for the check: through the real
// Win32 layer on Windows, mounted read-only on a simulated Windows elsewhere.
#include "qsetup/HostPackage.h"

#include "platform/Windows.h"
#include "qsetup/Cli.h"
#include "qsetup/Deploy.h"
#include "qsetup/MountedPackage.h"
#include "qsetup/PackageCheck.h"

#ifdef _WIN32
#include "platform/win32/Win32Windows.h"
#include "qsetup/PackageWindows.h"
#endif

namespace qsetup {

bool MountPackage(plat::SimWindows& w, const std::string& hostDir) {
#ifdef _WIN32
    plat::Win32Windows real;
    const std::string root = EnterFolder(real, hostDir);
    return !root.empty() && CopyPackage(real, root, w);
#else
    // The machine's own placeholder of the program goes: the package's counts.
    w.RemovePath(std::string(kSimPackage) + "\\Setup.exe");
    if (w.MountHostFolder(hostDir, kSimPackage, plat::SimWindows::Mount::ReadOnly) < 0) return false;
    FinishMount(w);
    return true;
#endif
}

std::unique_ptr<plat::Windows> RealMachine() {
#ifdef _WIN32
    return std::make_unique<plat::Win32Windows>();
#else
    return nullptr;
#endif
}

bool CheckHostPackage(const std::string& dir, CheckReport& report, std::string& error) {
#ifdef _WIN32
    plat::Win32Windows real;
    // Setup's readers take absolute paths from the program folder.
    const std::string root = EnterFolder(real, dir);
    if (root.empty()) {
        error = dir + ": no such folder, or it can't be read";
        return false;
    }
    PackageWindows package(real, root, PackageFileName(real, root, "Setup.exe"));
    report = CheckPackage(package, root);
#else
    plat::SimWindows machine;
    if (!MountPackage(machine, dir)) {
        error = dir + ": no such folder, or it can't be read";
        return false;
    }
    report = CheckPackage(machine, kSimPackage);
#endif
    return true;
}

}  // namespace qsetup

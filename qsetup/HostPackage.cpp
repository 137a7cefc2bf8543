// The package folder of this computer, read for the check: through the real
// Win32 layer on Windows, mounted read-only on a simulated Windows elsewhere.
#include "qsetup/Cli.h"
#include "qsetup/PackageCheck.h"
#include "qsetup/SimulatedMachine.h"

#ifdef _WIN32
#include "platform/win32/Win32Windows.h"
#include "qsetup/PackageWindows.h"
#endif

namespace qsetup {

bool CheckHostPackage(const std::string& dir, CheckReport& report, std::string& error) {
#ifdef _WIN32
    plat::Win32Windows real;
    // The folder as Windows names it in full: Setup's readers take absolute
    // paths from the program folder.
    std::string root;
    if (real.SetCurrentDirectory(dir) != plat::err::Success ||
        real.GetCurrentDirectory(root, 260) != plat::err::Success) {
        error = dir + ": no such folder, or it can't be read";
        return false;
    }
    while (root.size() > 3 && root.back() == '\\') root.pop_back();
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

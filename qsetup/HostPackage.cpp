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

namespace {

#ifdef _WIN32
// Copies the folder `from` of the real machine into the simulated folder `to`.
bool CopyTree(plat::Windows& real, const std::string& from, plat::SimWindows& w,
              const std::string& to) {
    w.PutFolder(to);
    plat::FindHandle find;
    plat::FindData entry;
    if (real.FindFirstFile(from + "\\*.*", find, entry) != plat::err::Success) return false;
    do {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string source = from + "\\" + entry.name, target = to + "\\" + entry.name;
        if (entry.attributes & plat::attr::Directory) {
            if (!CopyTree(real, source, w, target)) return false;
        } else {
            std::string bytes;
            if (real.ReadFile(source, bytes) != plat::err::Success) return false;
            w.PutFile(target, bytes);
        }
    } while (real.FindNextFile(find, entry) == plat::err::Success);
    return true;
}

// The folder as Windows names it in full, or "" when it can't be entered.
std::string FullFolder(plat::Windows& real, const std::string& dir) {
    std::string root;
    if (real.SetCurrentDirectory(dir) != plat::err::Success ||
        real.GetCurrentDirectory(root, 260) != plat::err::Success)
        return {};
    while (root.size() > 3 && root.back() == '\\') root.pop_back();
    return root;
}
#endif

}  // namespace

bool MountPackage(plat::SimWindows& w, const std::string& hostDir) {
    // The machine's own placeholder of the program goes: the package's counts.
    w.RemovePath(std::string(kSimPackage) + "\\Setup.exe");
#ifdef _WIN32
    plat::Win32Windows real;
    const std::string root = FullFolder(real, hostDir);
    if (root.empty() || !CopyTree(real, root, w, kSimPackage)) return false;
    w.SetReadOnlyMount(kSimPackage, true);
#else
    if (w.MountHostFolder(hostDir, kSimPackage, plat::SimWindows::Mount::ReadOnly) < 0) return false;
#endif
    w.SetModuleFileName(std::string(kSimPackage) + "\\" +
                        PackageFileName(w, kSimPackage, "Setup.exe"));
    w.SetCurrentFolder(kSimPackage);
    return true;
}

bool CheckHostPackage(const std::string& dir, CheckReport& report, std::string& error) {
#ifdef _WIN32
    plat::Win32Windows real;
    // Setup's readers take absolute paths from the program folder.
    const std::string root = FullFolder(real, dir);
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

// The simulated Windows on which qsetup plans an installation: a fresh
// machine of one version class with the package mounted read-only as
// Setup's program folder and current folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Windows.h"
#include "simwindows/SimWindows.h"

namespace qsetup {

// Where the package lies on the simulated machine.
inline constexpr const char* kSimPackage = "C:\\PKG";

// Copies the package of the folder `root` of another machine, read through
// its platform layer, to kSimPackage and mounts it there as MountPackage
// (qsetup/HostPackage.h) mounts a folder of this computer.
bool CopyPackage(plat::Windows& from, const std::string& root, plat::SimWindows& w);

// The package's folders and files as read once, to be put on many fresh
// machines (paths below kSimPackage).
struct PackageImage {
    std::vector<std::string> folders;
    std::vector<std::pair<std::string, std::string>> files;  // path, bytes
};
bool ReadPackageImage(plat::Windows& from, const std::string& root, PackageImage& image);
// Puts the image at kSimPackage and finishes the mount (FinishMount).
void PutPackageImage(const PackageImage& image, plat::SimWindows& w);

// After the package's files are at kSimPackage: makes the folder read-only,
// Setup's program folder and the current folder.
void FinishMount(plat::SimWindows& w);

// Makes `w`, with the package mounted, a fresh Windows of class `os`: the
// version, the serial port records, the spooler's environment, the ports
// that the package's monitors offer once they are added (the serial monitor
// VXCOM1: to VXCOM8:, the USB monitor the ports of [SUPPORTED-USB-DEVICE]
// and USB_<model>_1 to _4 of every USB model), the USB interface library
// when the package holds one, and a USB printer of the maker with the
// internal ID `usbPrinterId` when given. `assumed` describes the machine for
// people.
void PrepareMachine(plat::SimWindows& w, int32_t os, std::optional<int32_t> usbPrinterId,
                    std::string& assumed);

// The name of a package file as the package spells it ("setup.exe" may be
// "Setup.exe"), or `name` itself when there is none.
std::string PackageFileName(plat::Windows& windows, const std::string& root,
                            const std::string& name);

}  // namespace qsetup

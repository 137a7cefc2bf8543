// The sample package (with the stand-ins of its binaries) written into a
// folder of this computer, for the tests that run qsetup on a host folder.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/SamplePackage.h"

namespace qsetup::test {

// Writes the simulated folder `from` of `w` into the host folder `to`.
inline void Export(const plat::SimTestWindows& w, const std::string& from,
                   const std::filesystem::path& to) {
    std::filesystem::create_directories(to);
    for (const std::string& name : w.ListFolder(from)) {
        const std::string path = from + "\\" + name;
        if (w.FolderExists(path)) {
            Export(w, path, to / name);
        } else {
            std::ofstream out(to / name, std::ios::binary);
            const std::string bytes = w.FileText(path).value_or("");
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    }
}

// A fresh folder under the system's temporary folder holding the sample
// package; removed with the object.
class SamplePackageFolder {
public:
    explicit SamplePackageFolder(const std::string& tag) {
        path_ = std::filesystem::temp_directory_path() /
                ("qsetup-" + tag + "-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::remove_all(path_);
        plat::SimTestWindows w;
        support::MountSamplePackage(w, "C:\\PKG");
        Export(w, "C:\\PKG", path_);
    }
    ~SamplePackageFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    SamplePackageFolder(const SamplePackageFolder&) = delete;
    SamplePackageFolder& operator=(const SamplePackageFolder&) = delete;

    std::string Path() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& rel) const { return path_ / rel; }

private:
    std::filesystem::path path_;
};

}  // namespace qsetup::test

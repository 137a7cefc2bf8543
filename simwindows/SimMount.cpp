// The folders of this computer loaded into the simulated file system. In a
// file of its own: a Windows program that never mounts a host folder does not
// link the C++ library's directory walk (whose Windows runtime calls are newer
// than Windows XP).
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;

int SimWindows::MountHostFolder(const std::string& hostPath, const std::string& simPath,
                                Mount mount) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(hostPath, ec)) return -1;
    // Read the host files first, outside the machine's lock.
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> folders;
    for (auto it = fs::recursive_directory_iterator(hostPath, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        // Lexically, without asking the host for canonical paths.
        std::string rel = it->path().lexically_relative(fs::path(hostPath)).generic_string();
        if (rel.empty()) return -1;
        std::replace(rel.begin(), rel.end(), '/', '\\');
        std::string target = simPath + "\\" + rel;
        if (it->is_directory(ec)) {
            folders.push_back(target);
        } else if (it->is_regular_file(ec)) {
            std::ifstream in(it->path(), std::ios::binary | std::ios::ate);
            if (!in) return -1;
            // In one read: a package carries megabytes of driver files.
            std::string bytes(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
            in.seekg(0);
            if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return -1;
            files.emplace_back(target, std::move(bytes));
        }
    }
    if (ec) return -1;
    Guard lock(mu_);
    FsNode* root = s_->MakeFolders(simPath);
    if (!root) return -1;
    for (const auto& f : folders) s_->MakeFolders(f);
    for (auto& [path, bytes] : files) s_->PutFile(path, std::move(bytes), attr::Archive);
    root->readOnlyMount = mount == Mount::ReadOnly;
    return static_cast<int>(files.size());
}

}  // namespace plat

// The folders of a machine with the running program placed in the package:
// GetModuleFileName answers the package's Setup program and the current
// folder is the package, so that the code of Setup finds the package as it
// does when started from the package folder. Everything else is handed on.
// PackageWindows is the machine with these folders.
#pragma once

#include <string>

#include "platform/Folders.h"
#include "platform/Windows.h"

namespace qsetup {

class PackageFolders : public plat::ForwardingFolders {
public:
    // `root` is the package folder without a trailing backslash, `program`
    // the name of Setup's program file in it.
    PackageFolders(plat::Folders& inner, std::string root, const std::string& program)
        : ForwardingFolders(inner), root_(std::move(root)), module_(root_ + "\\" + program) {}

    uint32_t GetModuleFileName(std::string& out, uint32_t capacity) override {
        return Give(module_, out, capacity);
    }
    uint32_t GetCurrentDirectory(std::string& out, uint32_t capacity) override {
        return Give(root_, out, capacity);
    }

private:
    // As Windows answers: the text when it fits with its terminator, else
    // the text cut to capacity - 1 and InsufficientBuffer.
    static uint32_t Give(const std::string& text, std::string& out, uint32_t capacity) {
        if (capacity == 0) return plat::err::InsufficientBuffer;
        out = text.substr(0, capacity - 1);
        return text.size() + 1 > capacity ? plat::err::InsufficientBuffer : plat::err::Success;
    }

    std::string root_;
    std::string module_;
};

using PackageWindows = plat::Decorated<PackageFolders>;

}  // namespace qsetup

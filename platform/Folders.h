// The folders area of the platform layer: the current folder, the running
// program's file and the system's own folders.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Errors.h"
#include "platform/Forwarding.h"

namespace plat {

// The folder reads fail with InsufficientBuffer when the text and its
// terminator do not fit in `capacity`.
class Folders {
public:
    virtual ~Folders() = default;

    virtual uint32_t GetCurrentDirectory(std::string& out, uint32_t capacity) = 0;
    virtual uint32_t SetCurrentDirectory(const std::string& path) = 0;
    // GetModuleFileNameA of the running program; cut to capacity - 1.
    virtual uint32_t GetModuleFileName(std::string& out, uint32_t capacity) = 0;
    virtual uint32_t GetSystemDirectory(std::string& out, uint32_t capacity) = 0;
    virtual uint32_t GetWindowsDirectory(std::string& out, uint32_t capacity) = 0;
    // Local machine, level 1; environment null means the local one.
    virtual uint32_t GetPrinterDriverDirectory(const char* environment, std::string& out,
                                               uint32_t capacity) = 0;
    virtual uint32_t GetPrintProcessorDirectory(const char* environment, std::string& out,
                                                uint32_t capacity) = 0;
};

// Hands every call to another folders area: the base of a decorator.
class ForwardingFolders : public Forwarding<Folders> {
public:
    using Forwarding::Forwarding;

    uint32_t GetCurrentDirectory(std::string& out, uint32_t capacity) override {
        return inner_.GetCurrentDirectory(out, capacity);
    }
    uint32_t SetCurrentDirectory(const std::string& path) override {
        return inner_.SetCurrentDirectory(path);
    }
    uint32_t GetModuleFileName(std::string& out, uint32_t capacity) override {
        return inner_.GetModuleFileName(out, capacity);
    }
    uint32_t GetSystemDirectory(std::string& out, uint32_t capacity) override {
        return inner_.GetSystemDirectory(out, capacity);
    }
    uint32_t GetWindowsDirectory(std::string& out, uint32_t capacity) override {
        return inner_.GetWindowsDirectory(out, capacity);
    }
    uint32_t GetPrinterDriverDirectory(const char* environment, std::string& out,
                                       uint32_t capacity) override {
        return inner_.GetPrinterDriverDirectory(environment, out, capacity);
    }
    uint32_t GetPrintProcessorDirectory(const char* environment, std::string& out,
                                        uint32_t capacity) override {
        return inner_.GetPrintProcessorDirectory(environment, out, capacity);
    }

};

}  // namespace plat

// The folders area on the real Win32 API.
#include "platform/win32/Win32Support.h"

#include "platform/win32/Win32Windows.h"

namespace plat {

using namespace w32;

uint32_t Win32Folders::GetCurrentDirectory(std::string& out, uint32_t capacity) {
    return ReadFolder(out, capacity, [](char* buffer, DWORD size) {
        return ::GetCurrentDirectoryA(size, buffer);
    });
}

uint32_t Win32Folders::SetCurrentDirectory(const std::string& path) {
    return Result(::SetCurrentDirectoryA(path.c_str()));
}

uint32_t Win32Folders::GetModuleFileName(std::string& out, uint32_t capacity) {
    out.clear();
    std::vector<char> buffer(std::max<uint32_t>(capacity, 1), '\0');
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), capacity);
    if (capacity == 0) return err::InsufficientBuffer;
    if (length == 0) return Failure();
    if (length >= capacity) {
        // Cut to capacity - 1, as Windows does from Vista on.
        out.assign(buffer.data(), capacity - 1);
        return err::InsufficientBuffer;
    }
    out.assign(buffer.data(), length);
    return err::Success;
}

uint32_t Win32Folders::GetSystemDirectory(std::string& out, uint32_t capacity) {
    return ReadFolder(out, capacity,
                      [](char* buffer, DWORD size) { return ::GetSystemDirectoryA(buffer, size); });
}

uint32_t Win32Folders::GetWindowsDirectory(std::string& out, uint32_t capacity) {
    return ReadFolder(out, capacity, [](char* buffer, DWORD size) {
        return ::GetWindowsDirectoryA(buffer, size);
    });
}

uint32_t Win32Folders::GetPrinterDriverDirectory(const char* environment, std::string& out,
                                                 uint32_t capacity) {
    return ReadSpoolerFolder(out, capacity, [environment](BYTE* data, DWORD size, DWORD* needed) {
        return ::GetPrinterDriverDirectoryA(nullptr, Mutable(environment), 1, data, size, needed);
    });
}

uint32_t Win32Folders::GetPrintProcessorDirectory(const char* environment, std::string& out,
                                                  uint32_t capacity) {
    return ReadSpoolerFolder(out, capacity, [environment](BYTE* data, DWORD size, DWORD* needed) {
        return ::GetPrintProcessorDirectoryA(nullptr, Mutable(environment), 1, data, size, needed);
    });
}

}  // namespace plat

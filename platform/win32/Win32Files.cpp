// The files area on the real Win32 API.
#include "platform/win32/Win32Support.h"

#include "platform/win32/Win32Windows.h"

namespace plat {

using namespace w32;

uint32_t Win32Files::Release(HandleKind kind, uintptr_t value) {
    return CloseHandleOf(kind, value);
}

uint32_t Win32Files::CopyFile(const std::string& source, const std::string& target,
                                bool failIfExists) {
    // Windows refuses to overwrite a read-only or hidden file.
    if (!failIfExists && IsProtected(target, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
        return err::AccessDenied;
    return Result(::CopyFileA(source.c_str(), target.c_str(), failIfExists ? TRUE : FALSE));
}

uint32_t Win32Files::GetFileAttributes(const std::string& path, uint32_t& attributes) {
    const DWORD value = ::GetFileAttributesA(path.c_str());
    if (value == INVALID_FILE_ATTRIBUTES) {
        attributes = 0;
        return Failure();
    }
    attributes = value;
    return err::Success;
}

uint32_t Win32Files::SetFileAttributes(const std::string& path, uint32_t attributes) {
    return Result(::SetFileAttributesA(path.c_str(), attributes));
}

uint32_t Win32Files::DeleteFile(const std::string& path) {
    return Result(::DeleteFileA(path.c_str()));
}

uint32_t Win32Files::CreateDirectory(const std::string& path) {
    return Result(::CreateDirectoryA(path.c_str(), nullptr));
}

uint32_t Win32Files::FindFirstFile(const std::string& pattern, FindHandle& out,
                                     FindData& data) {
    WIN32_FIND_DATAA found{};
    const HANDLE find = ::FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        out = FindHandle();
        data = FindData();
        return Failure();
    }
    out = FindHandle(this, Value(find));
    data.name = found.cFileName;
    data.attributes = found.dwFileAttributes;
    return err::Success;
}

uint32_t Win32Files::FindNextFile(const FindHandle& find, FindData& data) {
    if (!find) return err::InvalidHandle;
    WIN32_FIND_DATAA found{};
    if (!::FindNextFileA(As<HANDLE>(find.value()), &found)) return Failure();
    data.name = found.cFileName;
    data.attributes = found.dwFileAttributes;
    return err::Success;
}

uint32_t Win32Files::OpenExisting(const std::string& path) {
    const HANDLE file = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failure();
    ::CloseHandle(file);
    return err::Success;
}

uint32_t Win32Files::ReadFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failure();
    uint32_t e = err::Success;
    char chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            e = Failure();
            bytes.clear();
            break;
        }
        if (got == 0) break;
        bytes.append(chunk, got);
    }
    ::CloseHandle(file);
    return e;
}

uint32_t Win32Files::WriteFile(const std::string& path, const std::string& bytes) {
    // Windows refuses to replace a read-only, hidden or system file.
    if (IsProtected(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        return err::AccessDenied;
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failure();
    uint32_t e = err::Success;
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, part, &written, nullptr)) {
            e = Failure();
            break;
        }
        done += written;
    }
    ::CloseHandle(file);
    return e;
}

uint32_t Win32Files::GetFileVersion(const std::string& path, VersionResource& out) {
    out = VersionResource();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return Failure();
    std::vector<BYTE> block(size, 0);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return Failure();

    void* value = nullptr;
    UINT length = 0;
    char translationQuery[] = "\\VarFileInfo\\Translation";
    if (!::VerQueryValueA(block.data(), translationQuery, &value, &length) || !value)
        return err::Success;  // a resource without translations holds no strings we read
    const auto* pairs = static_cast<const WORD*>(value);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
        const uint16_t language = pairs[i], codePage = pairs[i + 1];
        out.translations.emplace_back(language, codePage);
        char query[64];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion", language,
                      codePage);
        void* text = nullptr;
        UINT textLength = 0;
        if (::VerQueryValueA(block.data(), query, &text, &textLength) && text)
            out.strings.emplace_back(query, std::string(static_cast<const char*>(text),
                                                        strnlen(static_cast<const char*>(text),
                                                                textLength)));
    }
    return err::Success;
}

}  // namespace plat

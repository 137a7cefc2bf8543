// The system area on the real Win32 API.
#include "platform/win32/Win32Support.h"

#include "platform/win32/Win32Windows.h"

namespace plat {

using namespace w32;

uint32_t Win32System::Release(HandleKind kind, uintptr_t value) {
    return CloseHandleOf(kind, value);
}

uint32_t Win32System::GetVersion(OsVersion& out) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExA(&info)) return Failure();
    out.platformId = info.dwPlatformId;
    out.major = info.dwMajorVersion;
    out.minor = info.dwMinorVersion;
    out.build = info.dwBuildNumber;
    return err::Success;
}

uint32_t Win32System::OpenThreadToken(Token& out) {
    out = Token();
    HANDLE token = nullptr;
    if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, FALSE, &token)) return Failure();
    out = Token(this, Value(token));
    return err::Success;
}

uint32_t Win32System::OpenProcessToken(Token& out) {
    out = Token();
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return Failure();
    out = Token(this, Value(token));
    return err::Success;
}

uint32_t Win32System::GetTokenGroupsSize(const Token& token, uint32_t& needed) {
    needed = 0;
    if (!token) return err::InvalidHandle;
    DWORD size = 0;
    const BOOL ok =
        ::GetTokenInformation(As<HANDLE>(token.value()), TokenGroups, nullptr, 0, &size);
    needed = size;
    return ok ? err::Success : Failure();
}

uint32_t Win32System::GetTokenGroups(const Token& token, std::vector<std::string>& sids) {
    sids.clear();
    if (!token) return err::InvalidHandle;
    // TOKEN_GROUPS holds pointers: keep the block 8-byte aligned.
    std::vector<uint64_t> block;
    DWORD size = 0;
    bool read = false;
    // The groups can grow between the size query and the read: ask again a
    // few times, and never read a block that was not filled.
    for (int attempt = 0; attempt < 8 && !read; ++attempt) {
        if (::GetTokenInformation(As<HANDLE>(token.value()), TokenGroups,
                                  block.empty() ? nullptr : block.data(),
                                  static_cast<DWORD>(block.size() * sizeof(uint64_t)), &size)) {
            read = true;
            break;
        }
        const uint32_t e = Failure();
        if (e != err::InsufficientBuffer || size <= block.size() * sizeof(uint64_t)) return e;
        block.assign((size + sizeof(uint64_t) - 1) / sizeof(uint64_t), 0);
    }
    if (!read || block.empty()) return err::InsufficientBuffer;
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(block.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        std::string text;
        if (!SidText(groups->Groups[i].Sid, text)) {
            sids.clear();
            return ERROR_INVALID_SID;
        }
        sids.push_back(std::move(text));
    }
    return err::Success;
}

}  // namespace plat

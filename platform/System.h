// The system area of the platform layer: the Windows version and the
// groups of the running user's token.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Handles.h"

namespace plat {

struct OsVersion {
    uint32_t platformId = 2;  // 1 = Windows 95/98/Me, 2 = NT
    uint32_t major = 5, minor = 1, build = 2600;
};

class System : public HandleOwner {
public:
    virtual ~System() = default;

    // GetVersionExA with the 148-byte record.
    virtual uint32_t GetVersion(OsVersion& out) = 0;
    // OpenThreadToken (open-as-self false) / OpenProcessToken, TOKEN_QUERY.
    // A thread without a token of its own gives NoToken.
    virtual uint32_t OpenThreadToken(Token& out) = 0;
    virtual uint32_t OpenProcessToken(Token& out) = 0;
    // GetTokenInformation(TokenGroups) with a null buffer: InsufficientBuffer
    // and the needed size.
    virtual uint32_t GetTokenGroupsSize(const Token& token, uint32_t& needed) = 0;
    // The group SIDs in token order, in string form ("S-1-5-32-544").
    virtual uint32_t GetTokenGroups(const Token& token, std::vector<std::string>& sids) = 0;
};

}  // namespace plat

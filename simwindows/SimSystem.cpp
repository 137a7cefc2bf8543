// The simulated version and the tokens.
#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

uint32_t SimSystem::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

uint32_t SimSystem::GetVersion(OsVersion& out) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetVersion")) return e;
    out = m_.s_->version;
    return 0;
}

uint32_t SimSystem::OpenThreadToken(Token& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("OpenThreadToken")) return e;
    if (!s.threadGroups) return err::NoToken;
    uintptr_t h = s.NewHandle();
    s.tokens[h] = {*s.threadGroups};
    out = Token(this, h);
    return 0;
}

uint32_t SimSystem::OpenProcessToken(Token& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("OpenProcessToken")) return e;
    uintptr_t h = s.NewHandle();
    s.tokens[h] = {s.processGroups};
    out = Token(this, h);
    return 0;
}

uint32_t SimSystem::GetTokenGroupsSize(const Token& token, uint32_t& needed) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("GetTokenGroupsSize")) return e;
    auto it = s.tokens.find(token.value());
    if (!token || it == s.tokens.end()) return err::InvalidHandle;
    // TOKEN_GROUPS: a count, then a SID pointer and attributes per group,
    // then the SIDs (8 bytes of header and 4 per sub-authority).
    uint32_t size = 4 + 8 * static_cast<uint32_t>(it->second.sids.size());
    for (const auto& sid : it->second.sids)
        size += 8 + 4 * static_cast<uint32_t>(std::count(sid.begin(), sid.end(), '-') - 2);
    needed = size;
    return err::InsufficientBuffer;
}

uint32_t SimSystem::GetTokenGroups(const Token& token, std::vector<std::string>& sids) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("GetTokenGroups")) return e;
    auto it = s.tokens.find(token.value());
    if (!token || it == s.tokens.end()) return err::InvalidHandle;
    sids = it->second.sids;
    return 0;
}

}  // namespace plat

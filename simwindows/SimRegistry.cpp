// The simulated registry.
#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

uint32_t SimRegistry::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

uint32_t SimRegistry::RegOpenKey(Root root, const std::string& path, RegKey& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegOpenKey", {path})) return e;
    auto node = s.FindKey(s.roots[static_cast<int>(root)], path);
    if (!node) return err::FileNotFound;
    uintptr_t h = s.NewHandle();
    s.keys[h] = {node};
    out = RegKey(this, h);
    return 0;
}

uint32_t SimRegistry::RegCreateKey(Root root, const std::string& path, RegKey& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegCreateKey", {path})) return e;
    auto node = s.MakeKey(s.roots[static_cast<int>(root)], path);
    uintptr_t h = s.NewHandle();
    s.keys[h] = {node};
    out = RegKey(this, h);
    return 0;
}

uint32_t SimRegistry::RegOpenSubKey(const RegKey& key, const std::string& path, RegKey& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegOpenSubKey", {path})) return e;
    std::shared_ptr<RegNode> from;
    if (uint32_t e = s.KeyOf(key, from)) return e;
    auto node = s.FindKey(from, path);
    if (!node) return err::FileNotFound;
    uintptr_t h = s.NewHandle();
    s.keys[h] = {node};
    out = RegKey(this, h);
    return 0;
}

uint32_t SimRegistry::RegQueryValue(const RegKey& key, const std::string& name, uint32_t* type,
                                   std::vector<uint8_t>& data, uint32_t capacity) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegQueryValue", {name})) return e;
    std::shared_ptr<RegNode> node;
    if (uint32_t e = s.KeyOf(key, node)) return e;
    RegValue* v = node->Value(name);
    if (!v) return err::FileNotFound;
    if (type) *type = v->type;
    if (v->data.size() > capacity) {
        data.clear();
        return err::MoreData;
    }
    data = v->data;
    return 0;
}

uint32_t SimRegistry::RegSetValue(const RegKey& key, const std::string& name, uint32_t type,
                                 const void* data, uint32_t size) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegSetValue", {name})) return e;
    std::shared_ptr<RegNode> node;
    if (uint32_t e = s.KeyOf(key, node)) return e;
    if (!data && size) return err::InvalidParameter;
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> copy(bytes, bytes + size);
    if (RegValue* v = node->Value(name)) {
        v->type = type;
        v->data = std::move(copy);
    } else {
        node->values.push_back({name, type, std::move(copy)});
    }
    return 0;
}

uint32_t SimRegistry::RegEnumValue(const RegKey& key, uint32_t index, std::string& name,
                                  uint32_t nameCapacity) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegEnumValue")) return e;
    std::shared_ptr<RegNode> node;
    if (uint32_t e = s.KeyOf(key, node)) return e;
    if (index >= node->values.size()) return err::NoMoreItems;
    const std::string& n = node->values[index].name;
    if (n.size() + 1 > nameCapacity) return err::MoreData;
    name = n;
    return 0;
}

uint32_t SimRegistry::RegEnumKey(const RegKey& key, uint32_t index, std::string& name) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegEnumKey")) return e;
    std::shared_ptr<RegNode> node;
    if (uint32_t e = s.KeyOf(key, node)) return e;
    if (index >= node->keys.size()) return err::NoMoreItems;
    name = node->keys[index]->name;
    return 0;
}

uint32_t SimRegistry::RegDeleteKey(Root root, const std::string& path) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegDeleteKey", {path})) return e;
    std::vector<std::string> parts = SplitKeyPath(path);
    if (parts.empty()) return err::AccessDenied;
    std::string last = parts.back();
    parts.pop_back();
    std::shared_ptr<RegNode> parent = s.roots[static_cast<int>(root)];
    for (const auto& p : parts) {
        parent = parent->ChildShared(p);
        if (!parent) return err::FileNotFound;
    }
    auto it = std::find_if(parent->keys.begin(), parent->keys.end(),
                           [&](const auto& k) { return EqualsIgnoringCase(k->name, last); });
    if (it == parent->keys.end()) return err::FileNotFound;
    if (!(*it)->keys.empty()) return err::AccessDenied;
    (*it)->deleted = true;
    parent->keys.erase(it);
    return 0;
}

uint32_t SimRegistry::RegDeleteValue(const RegKey& key, const std::string& name) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegDeleteValue", {name})) return e;
    std::shared_ptr<RegNode> node;
    if (uint32_t e = s.KeyOf(key, node)) return e;
    auto it = std::find_if(node->values.begin(), node->values.end(),
                           [&](const RegValue& v) { return EqualsIgnoringCase(v.name, name); });
    if (it == node->values.end()) return err::FileNotFound;
    node->values.erase(it);
    return 0;
}

}  // namespace plat

#include "platform/sim/SimIni.h"

#include <cstddef>
#include <vector>

namespace plat::sim {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) c = Lower(c);
    return lower;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// One line of an INI text, as the reader classifies it.
struct Line {
    enum Kind { Other, Section, Key } kind = Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed
};

Line Classify(std::string_view raw) {
    Line line;
    std::string_view s = Trim(raw);
    if (s.empty() || s.front() == ';') return line;
    if (s.front() == '[') {
        size_t close = s.rfind(']');
        if (close != std::string_view::npos) {
            line.kind = Line::Section;
            line.name = Trim(s.substr(1, close - 1));
            return line;
        }
        // A header without its ']' is read like any other line.
    }
    size_t eq = s.find('=');
    if (eq == std::string_view::npos) return line;
    line.kind = Line::Key;
    line.name = Trim(s.substr(0, eq));
    line.value = Trim(s.substr(eq + 1));
    return line;
}

// Splits at LF; each piece keeps a CR it may end with (Classify trims it).
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string Unquote(std::string_view v) {
    size_t nul = v.find('\0');
    if (nul != std::string_view::npos) v = v.substr(0, nul);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

// Hands each line of the text, classified, to `visit` until it returns false.
template <class Visit>
void ForEachLine(std::string_view text, Visit visit) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (!visit(Classify(text.substr(start, end - start)))) return;
        start = end + 1;
    }
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
    // Only the first section of that name is searched, and its first key.
    bool seenSection = false, inSection = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        if (!inSection) {
            // Outside the section only a header can matter.
            size_t first = 0;
            while (first < raw.size() && IsBlank(raw[first])) ++first;
            if (first == raw.size() || raw[first] != '[') continue;
        }
        const Line line = Classify(raw);
        if (line.kind == Line::Section) {
            if (inSection) return std::nullopt;
            if (!seenSection && SameName(line.name, section)) seenSection = inSection = true;
        } else if (line.kind == Line::Key && inSection && SameName(line.name, key)) {
            return Unquote(line.value);
        }
    }
    return std::nullopt;
}

std::string ProfileString(const std::optional<std::string>& text, std::string_view section,
                          std::string_view key, std::string_view def, uint32_t size) {
    std::optional<std::string> value;
    if (text && size != 0) value = FindProfileValue(*text, section, key);
    return ProfileAnswer(std::move(value), def, size);
}

ProfileIndex::ProfileIndex(std::string_view text) {
    // As FindProfileValue: the first section of a name, and its first key.
    std::unordered_map<std::string, std::string>* current = nullptr;
    ForEachLine(text, [&](const Line& line) {
        if (line.kind == Line::Section) {
            const std::string name = LowerName(line.name);
            current = sections_.count(name) ? nullptr : &sections_[name];
        } else if (line.kind == Line::Key && current) {
            current->emplace(LowerName(line.name), Unquote(line.value));
        }
        return true;
    });
}

std::optional<std::string> ProfileIndex::Find(std::string_view section, std::string_view key) const {
    auto s = sections_.find(LowerName(section));
    if (s == sections_.end()) return std::nullopt;
    auto k = s->second.find(LowerName(key));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

std::string ProfileAnswer(std::optional<std::string> value, std::string_view def, uint32_t size) {
    if (size == 0) return {};
    std::string out;
    if (value) {
        out = std::move(*value);
    } else {
        // The default loses its trailing blanks.
        while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
        size_t nul = def.find('\0');
        out = std::string(def.substr(0, nul));
    }
    if (out.size() > size - 1) out.resize(size - 1);
    return out;
}

ProfileScan ScanProfile(std::string_view text) {
    ProfileScan scan;
    int number = 0;
    for (std::string_view raw : SplitLines(text)) {
        ++number;
        Line line = Classify(raw);
        if (line.kind == Line::Section) {
            scan.sections.push_back({std::string(line.name), number, {}});
        } else if (line.kind == Line::Key && !scan.sections.empty()) {
            scan.sections.back().keys.push_back(
                {std::string(line.name), Unquote(line.value), number});
        }
    }
    return scan;
}

const ScannedSection* ProfileScan::Section(std::string_view name) const {
    for (const ScannedSection& s : sections)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

const ScannedKey* ProfileScan::Key(std::string_view section, std::string_view key) const {
    const ScannedSection* s = Section(section);
    if (!s) return nullptr;
    for (const ScannedKey& k : s->keys)
        if (SameName(k.name, key)) return &k;
    return nullptr;
}

bool SameProfileName(std::string_view a, std::string_view b) { return SameName(a, b); }

std::string EditProfile(std::string_view text, std::string_view section, const char* key,
                        const char* value) {
    std::vector<std::string_view> lines = SplitLines(text);
    // Each line's section: the index of the header it stands under, npos
    // before the first header. `first` is the first section of that name.
    const size_t none = std::string_view::npos;
    std::vector<size_t> owner(lines.size(), none);
    std::vector<bool> named(lines.size(), false);  // header of a section of that name
    size_t first = none, current = none;
    for (size_t i = 0; i < lines.size(); ++i) {
        Line line = Classify(lines[i]);
        if (line.kind == Line::Section) {
            current = i;
            named[i] = SameName(line.name, section);
            if (named[i] && first == none) first = i;
        }
        owner[i] = current;
    }
    std::vector<std::string> out;
    out.reserve(lines.size() + 3);
    std::string keyLine = key && value ? std::string(key) + "=" + value + "\r" : std::string();

    if (!key) {
        // The section goes, with every other section of the same name.
        for (size_t i = 0; i < lines.size(); ++i)
            if (owner[i] == none || !named[owner[i]]) out.emplace_back(lines[i]);
    } else if (first == none) {
        for (auto l : lines) out.emplace_back(l);
        if (value) {
            if (!out.empty() && !Trim(out.back()).empty()) out.emplace_back("\r");
            out.push_back("[" + std::string(section) + "]\r");
            out.push_back(keyLine);
        }
    } else {
        // The first section of the name holds the key: the first line of it
        // is replaced, and a removal takes every line of it.
        size_t lastLine = first;
        bool replaced = false;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (owner[i] == first && i != first) {
                Line line = Classify(lines[i]);
                if (line.kind == Line::Key && SameName(line.name, key)) {
                    if (value && !replaced) out.push_back(keyLine);
                    replaced = true;
                    continue;
                }
            }
            out.emplace_back(lines[i]);
            if (owner[i] == first && !Trim(lines[i]).empty()) lastLine = out.size() - 1;
        }
        if (value && !replaced)
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(lastLine) + 1, keyLine);
    }
    std::string result;
    for (const std::string& l : out) {
        result += l;
        result += '\n';
    }
    // A text that did not end its last line keeps it so when untouched.
    if (!text.empty() && text.back() != '\n' && result.size() == text.size() + 1 &&
        result.compare(0, text.size(), text) == 0)
        result.pop_back();
    return result;
}

}  // namespace plat::sim

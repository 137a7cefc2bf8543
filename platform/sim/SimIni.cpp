#include "platform/sim/SimIni.h"

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

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
    // Only the first section of that name is searched, and its first key.
    bool seenSection = false, inSection = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        Line line = Classify(text.substr(start, end - start));
        start = end + 1;
        if (line.kind == Line::Section) {
            if (inSection) return std::nullopt;
            if (!seenSection && SameName(line.name, section)) {
                seenSection = inSection = true;
            }
        } else if (line.kind == Line::Key && inSection && SameName(line.name, key)) {
            return Unquote(line.value);
        }
    }
    return std::nullopt;
}

std::string ProfileString(const std::optional<std::string>& text, std::string_view section,
                          std::string_view key, std::string_view def, uint32_t size) {
    if (size == 0) return {};
    std::optional<std::string> value;
    if (text) value = FindProfileValue(*text, section, key);
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

std::string EditProfile(std::string_view text, std::string_view section, const char* key,
                        const char* value) {
    std::vector<std::string_view> lines = SplitLines(text);
    // Locate the first section of that name: its header line and the line
    // after its last line.
    size_t header = lines.size(), end = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        Line line = Classify(lines[i]);
        if (line.kind != Line::Section) continue;
        if (header == lines.size()) {
            if (SameName(line.name, section)) header = i;
        } else {
            end = i;
            break;
        }
    }
    std::vector<std::string> out;
    out.reserve(lines.size() + 3);
    auto keep = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) out.emplace_back(lines[i]);
    };
    std::string keyLine = key && value ? std::string(key) + "=" + value + "\r" : std::string();

    if (header == lines.size()) {
        // No such section: nothing to remove, or a new section at the end.
        keep(0, lines.size());
        if (key && value) {
            if (!out.empty() && !Trim(out.back()).empty()) out.emplace_back("\r");
            out.push_back("[" + std::string(section) + "]\r");
            out.push_back(keyLine);
        }
    } else if (!key) {
        keep(0, header);
        keep(end, lines.size());
    } else {
        size_t found = end, lastKey = header;
        for (size_t i = header + 1; i < end; ++i) {
            Line line = Classify(lines[i]);
            if (line.kind == Line::Key && SameName(line.name, key)) {
                found = i;
                break;
            }
            if (!Trim(lines[i]).empty()) lastKey = i;
        }
        if (found != end) {
            keep(0, found);
            if (value) out.push_back(keyLine);
            keep(found + 1, lines.size());
        } else {
            keep(0, lastKey + 1);
            if (value) out.push_back(keyLine);
            keep(lastKey + 1, lines.size());
        }
    }
    std::string result;
    for (const std::string& l : out) {
        result += l;
        result += '\n';
    }
    // A text that did not end its last line keeps it so when untouched.
    if (!text.empty() && text.back() != '\n' && !result.empty() && out.size() == lines.size() &&
        result.substr(0, result.size() - 1) == text)
        result.pop_back();
    return result;
}

}  // namespace plat::sim

#include "tests/e2e/uidriver/Script.h"

#include <cctype>
#include <cstdio>

namespace uidriver {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::optional<int64_t> ParseNumber(std::string_view text, int base, int64_t limit) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c))) {
            digit = std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        } else {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > limit) return std::nullopt;
    }
    return value;
}

}  // namespace

bool SplitLine(std::string_view line, std::vector<std::string>& words, std::string& error) {
    words.clear();
    error.clear();
    size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) break;
        if (words.empty() && line[i] == '#') break;
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\' || i >= line.size()) {
                    word += c;
                    continue;
                }
                const char e = line[i++];
                switch (e) {
                    case 'n': word += '\n'; break;
                    case 'r': word += '\r'; break;
                    case 't': word += '\t'; break;
                    case '"': word += '"'; break;
                    case '\\': word += '\\'; break;
                    default:
                        // Not an escape: both characters as they stand.
                        word += '\\';
                        word += e;
                        break;
                }
            }
            if (!closed) {
                error = "unterminated quote";
                words.clear();
                return false;
            }
            if (i < line.size() && !IsBlank(line[i])) {
                error = "a quoted word must be followed by a blank";
                words.clear();
                return false;
            }
        } else {
            while (i < line.size() && !IsBlank(line[i])) {
                if (line[i] == '"') {
                    error = "a quote inside a word";
                    words.clear();
                    return false;
                }
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return true;
}

std::optional<int32_t> ParseControlId(std::string_view text) {
    std::optional<int64_t> value;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        value = ParseNumber(text.substr(2), 16, 0xFFFF);
    } else {
        value = ParseNumber(text, 10, 0xFFFF);
    }
    if (!value) return std::nullopt;
    return static_cast<int32_t>(*value);
}

std::optional<int32_t> ParseCount(std::string_view text) {
    const auto value = ParseNumber(text, 10, 24LL * 3600 * 1000);
    if (!value) return std::nullopt;
    return static_cast<int32_t>(*value);
}

std::optional<int32_t> ParseButton(std::string_view text) {
    static constexpr struct {
        const char* name;
        int32_t id;
    } kButtons[] = {{"ok", 1}, {"cancel", 2}, {"abort", 3}, {"retry", 4},
                    {"ignore", 5}, {"yes", 6}, {"no", 7}};
    for (const auto& b : kButtons) {
        if (EqualsNoCase(text, b.name)) return b.id;
    }
    return ParseControlId(text);
}

std::optional<KeyPress> ParseKey(std::string_view text) {
    // The virtual-key codes of winuser.h, by name.
    static constexpr struct {
        const char* name;
        int32_t code;
    } kKeys[] = {{"Enter", 0x0D}, {"Escape", 0x1B}, {"Esc", 0x1B},  {"Tab", 0x09},
                 {"Space", 0x20}, {"End", 0x23},    {"Home", 0x24}, {"Left", 0x25},
                 {"Up", 0x26},    {"Right", 0x27},  {"Down", 0x28}, {"F1", 0x70},
                 {"F4", 0x73}};
    KeyPress press;
    while (true) {
        const size_t plus = text.find('+');
        if (plus == std::string_view::npos || plus + 1 == text.size()) break;
        const std::string_view modifier = text.substr(0, plus);
        if (EqualsNoCase(modifier, "Shift")) press.shift = true;
        else if (EqualsNoCase(modifier, "Ctrl")) press.ctrl = true;
        else if (EqualsNoCase(modifier, "Alt")) press.alt = true;
        else return std::nullopt;
        text.remove_prefix(plus + 1);
    }
    if (text.size() == 1 && std::isalnum(static_cast<unsigned char>(text[0]))) {
        press.key = std::toupper(static_cast<unsigned char>(text[0]));
        return press;
    }
    for (const auto& k : kKeys) {
        if (EqualsNoCase(text, k.name)) {
            press.key = k.code;
            return press;
        }
    }
    return std::nullopt;
}

bool ParseStateWord(std::string_view word, StateWant& want) {
    if (word == "enabled") want.enabled = true;
    else if (word == "disabled") want.enabled = false;
    else if (word == "visible") want.visible = true;
    else if (word == "hidden") want.visible = false;
    else if (word == "checked") want.check = 1;
    else if (word == "unchecked") want.check = 0;
    else if (word == "indeterminate") want.check = 2;
    else return false;
    return true;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char hex[8];
                    std::snprintf(hex, sizeof(hex), "\\x%02x", static_cast<unsigned char>(c));
                    out += hex;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

}  // namespace uidriver

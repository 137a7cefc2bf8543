#include "qsetup/Json.h"

#include <cstdio>

#include "common/IniText.h"

namespace qsetup {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

bool KnownCodePage(uint32_t codePage) { return codePage == 1252 || codePage == 28591; }

std::string JsonString(std::string_view text, uint32_t codePage) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20 || byte == 0x7f) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    out += escaped;
                } else if (byte >= 0x80 && codePage == 1252) {
                    AppendUtf8(out, ini::AnsiToUnicode(c));
                } else {
                    AppendUtf8(out, byte);
                }
        }
    }
    out += '"';
    return out;
}

}  // namespace qsetup

// Sample content and test tooling, not part of Setup: the state file of the
// KvUsbInt.dll stand-in (see KvUsbState.h).
#include "tools/kvusbint-standin/KvUsbState.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kvusb {
namespace {

// One well-formed printer line: its index and ID, and where the ID's digits
// (with their sign) stand in the line.
struct PrinterLine {
    int32_t index = 0;
    int32_t id = 0;
    size_t idBegin = 0;
    size_t idEnd = 0;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a decimal number of at most nine digits (so it fits 32 bits) at `pos`.
bool ReadNumber(std::string_view line, size_t& pos, int32_t& value) {
    const bool negative = pos < line.size() && line[pos] == '-';
    size_t digitsBegin = negative ? pos + 1 : pos;
    size_t end = digitsBegin;
    int64_t result = 0;
    while (end < line.size() && IsDigit(line[end])) {
        if (end - digitsBegin == 9) return false;
        result = result * 10 + (line[end] - '0');
        ++end;
    }
    if (end == digitsBegin) return false;
    value = static_cast<int32_t>(negative ? -result : result);
    pos = end;
    return true;
}

std::optional<PrinterLine> ParseLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    PrinterLine parsed;
    size_t pos = 0;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos < line.size() && line[pos] == '-') return std::nullopt;  // no negative index
    if (!ReadNumber(line, pos, parsed.index)) return std::nullopt;
    if (parsed.index >= kDeviceCount) return std::nullopt;
    if (pos == line.size() || !IsBlank(line[pos])) return std::nullopt;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    parsed.idBegin = pos;
    if (!ReadNumber(line, pos, parsed.id)) return std::nullopt;
    parsed.idEnd = pos;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos != line.size()) return std::nullopt;
    return parsed;
}

// Calls `visit(lineStart, parsedLine)` for each well-formed line of `state`
// until it returns true; returns whether one did.
template <typename Visit>
bool ForEachPrinterLine(std::string_view state, Visit visit) {
    size_t start = 0;
    while (start < state.size()) {
        size_t end = state.find('\n', start);
        if (end == std::string_view::npos) end = state.size();
        if (auto parsed = ParseLine(state.substr(start, end - start)))
            if (visit(start, *parsed)) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::optional<int32_t> FindPrinterId(std::string_view state, int32_t index) {
    std::optional<int32_t> id;
    ForEachPrinterLine(state, [&](size_t, const PrinterLine& line) {
        if (line.index != index) return false;
        id = line.id;
        return true;
    });
    return id;
}

std::optional<std::string> WithPrinterId(std::string_view state, int32_t index, int32_t id) {
    std::optional<std::string> result;
    ForEachPrinterLine(state, [&](size_t lineStart, const PrinterLine& line) {
        if (line.index != index) return false;
        std::string text(state.substr(0, lineStart + line.idBegin));
        text += std::to_string(id);
        text += state.substr(lineStart + line.idEnd);
        result = std::move(text);
        return true;
    });
    return result;
}

bool ReadStateFile(const std::string& path, std::string& text) {
    text.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char buffer[4096];
    bool ok = true;
    for (;;) {
        const size_t got = std::fread(buffer, 1, sizeof(buffer), file);
        text.append(buffer, got);
        if (text.size() > kMaxStateBytes) {
            ok = false;
            break;
        }
        if (got < sizeof(buffer)) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    std::fclose(file);
    if (!ok) text.clear();
    return ok;
}

bool ReplaceStateFile(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
#ifdef _WIN32
    ok = ok && MoveFileExA(temporary.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
#endif
    if (!ok) std::remove(temporary.c_str());
    return ok;
}

}  // namespace kvusb

#include "common/IniText.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace ini {
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

// ---------------------------------------------------------------- reading
//
// The reader works as Windows' profile functions do: the file is taken to
// UTF-16 (by its byte-order mark: UTF-16LE, UTF-16BE, UTF-8; else the ANSI
// code page, Windows-1252), read line by line there, and the value handed
// over in the ANSI code page (a character it lacks becomes '?').

// Windows-1252 from 0x80 to 0x9F; the five codes it leaves free stand for
// the C1 controls of the same number.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t FromAnsi(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
}

char ToAnsi(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

std::u16string Wide(std::string_view ansi) {
    std::u16string wide(ansi.size(), u'\0');
    for (size_t i = 0; i < ansi.size(); ++i) wide[i] = FromAnsi(ansi[i]);
    return wide;
}

std::string Ansi(std::u16string_view wide) {
    std::string ansi(wide.size(), '\0');
    for (size_t i = 0; i < wide.size(); ++i) ansi[i] = ToAnsi(wide[i]);
    return ansi;
}

// The blanks that the reader trims (^Z, the DOS end of file, among them).
bool IsSpace(char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A; }

char16_t Fold(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    switch (c) {
        case 0x0160: return 0x0161;
        case 0x0152: return 0x0153;
        case 0x017D: return 0x017E;
        case 0x0178: return 0x00FF;
        default: return c;
    }
}

// A name as names compare: up to a NUL, without regard to case.
std::u16string Folded(std::u16string_view name) {
    std::u16string out;
    for (char16_t c : name) {
        if (c == 0) break;
        out += Fold(c);
    }
    return out;
}

// A name asked for: up to its NUL, without the blanks around it.
std::u16string Asked(std::string_view ansi) {
    std::u16string name = Wide(ansi.substr(0, ansi.find('\0')));
    size_t a = 0, b = name.size();
    while (a < b && IsSpace(name[a])) ++a;
    while (b > a && IsSpace(name[b - 1])) --b;
    return Folded(std::u16string_view(name).substr(a, b - a));
}

std::u16string Utf8(std::string_view bytes) {
    std::u16string out;
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        int more = b < 0x80 ? 0 : (b >= 0xC2 && b < 0xE0) ? 1 : (b >= 0xE0 && b < 0xF0) ? 2
                                 : (b >= 0xF0 && b < 0xF5) ? 3 : -1;
        if (more < 0) {
            out += u'\xFFFD';
            ++i;
            continue;
        }
        char32_t c = more == 0 ? b : b & (0x3F >> more);
        size_t j = i + 1;
        for (int k = 0; k < more; ++k, ++j) {
            if (j >= bytes.size() || (static_cast<unsigned char>(bytes[j]) & 0xC0) != 0x80) break;
            c = (c << 6) | (static_cast<unsigned char>(bytes[j]) & 0x3F);
        }
        const bool whole = j == i + 1 + static_cast<size_t>(more);
        const bool shortest = !(more == 2 && c < 0x800) && !(more == 3 && c < 0x10000);
        if (!whole || !shortest || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
            out += u'\xFFFD';
        } else if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i = j;
    }
    return out;
}

struct Decoded {
    ProfileEncoding encoding = ProfileEncoding::Ansi;
    std::u16string text;
};

Decoded Decode(std::string_view bytes) {
    Decoded d;
    auto starts = [&](const char* mark) { return bytes.substr(0, std::strlen(mark)) == mark; };
    if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        const bool little = bytes[0] == '\xFF';
        d.encoding = little ? ProfileEncoding::Utf16Le : ProfileEncoding::Utf16Be;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
            const auto hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
            d.text += static_cast<char16_t>(lo | hi << 8);
        }
    } else if (starts("\xEF\xBB\xBF")) {
        d.encoding = ProfileEncoding::Utf8;
        d.text = Utf8(bytes.substr(3));
    } else {
        d.text = Wide(bytes);
    }
    return d;
}

struct ParsedKey {
    std::u16string name;
    std::optional<std::u16string> value;  // none: a line without '='
    int line = 0;
};
struct ParsedSection {
    std::u16string name;
    int line = 0;  // 0: the keys above the first header
    std::vector<ParsedKey> keys;
};
struct Parsed {
    ProfileEncoding encoding = ProfileEncoding::Ansi;
    std::vector<ParsedSection> sections;  // the first one is nameless
    std::vector<int> unclosedHeaders, byteOrderMarks;
};

// The text as code units: the bytes of an ANSI file in place, or the
// decoded UTF-16 of a file with a byte-order mark.
// Break(i): where the line from i ends (its CR or LF, or the end).
struct AnsiUnits {
    std::string_view text;
    size_t size() const { return text.size(); }
    char16_t operator[](size_t i) const { return FromAnsi(text[i]); }
    size_t Break(size_t i) const {
        while (i < text.size() && text[i] != '\n' && text[i] != '\r') ++i;
        return i;
    }
};
struct WideUnits {
    std::u16string_view text;
    size_t size() const { return text.size(); }
    char16_t operator[](size_t i) const { return text[i]; }
    size_t Break(size_t i) const {
        while (i < text.size() && text[i] != u'\n' && text[i] != u'\r') ++i;
        return i;
    }
};

template <class T>
std::u16string Part(const T& t, size_t from, size_t to) {
    std::u16string out(to - from, u'\0');
    for (size_t i = from; i < to; ++i) out[i - from] = t[i];
    return out;
}

// Calls `f` with the code units of the file's bytes.
template <class F>
void WithUnits(std::string_view bytes, ProfileEncoding& encoding, F f) {
    encoding = ProfileEncoding::Ansi;
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" ||
        bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        const Decoded d = Decode(bytes);
        encoding = d.encoding;
        f(WideUnits{d.text});
    } else {
        f(AnsiUnits{bytes});
    }
}

// One line as the reader takes it: a header (its name from `name` to
// `nameEnd`) or a key (its name, and its value from `value` to `valueEnd`
// unless it has no '=').
struct LineInfo {
    bool header = false;
    size_t name = 0, nameEnd = 0;
    size_t value = std::string::npos, valueEnd = 0;
    int number = 0;
    bool unclosed = false;  // a '[' without its ']', read as a key line
    bool mark = false;      // a byte-order mark stands in the line
};

// Hands each line that counts to `visit` until it returns false; only the
// headers while `keys` (when given) is false.
template <class T, class Visit>
void ForEachLine(const T& t, bool marks, Visit visit, const bool* keys = nullptr) {
    const size_t end = t.size();
    size_t next = 0;
    int line = 1;
    bool previousNameless = false;
    while (next < end) {
        size_t start = next;
        next = t.Break(next);
        size_t stop = next;
        // The line ends where the blanks after its break end; the lines
        // counted are those a text editor shows.
        LineInfo info;
        info.number = line;
        while (next < end && IsSpace(t[next])) {
            if (t[next] == u'\n' || (t[next] == u'\r' && (next + 1 >= end || t[next + 1] != u'\n')))
                ++line;
            ++next;
        }
        if (marks) {
            // A mark where it changes a name or value: not in a comment line.
            auto markAt = [&](size_t i) {
                return t[i] == 0xFEFF ? 1
                       : t[i] == 0xEF && i + 2 < stop && t[i + 1] == 0xBB && t[i + 2] == 0xBF ? 3
                                                                                             : 0;
            };
            size_t i = start;
            bool leading = false;
            while (i < stop) {
                if (const int n = markAt(i)) {
                    leading = true;
                    i += static_cast<size_t>(n);
                } else if (IsSpace(t[i])) {
                    ++i;
                } else {
                    break;
                }
            }
            if (i < stop && t[i] != u';') {
                info.mark = leading;
                for (size_t j = i; j < stop && !info.mark; ++j) info.mark = markAt(j) != 0;
            }
        }
        while (start < stop && IsSpace(t[start])) ++start;
        while (stop > start && IsSpace(t[stop - 1])) --stop;
        if (start >= stop) continue;
        if (t[start] == u'[') {
            size_t close = stop;
            while (close > start && t[close - 1] != u']') --close;
            if (close > start + 1) {
                info.header = true;
                info.name = start + 1;
                info.nameEnd = close - 1;
                while (info.name < info.nameEnd && IsSpace(t[info.name])) ++info.name;
                while (info.nameEnd > info.name && IsSpace(t[info.nameEnd - 1])) --info.nameEnd;
                previousNameless = false;
                if (!visit(info)) return;
                continue;
            }
            info.unclosed = true;
        }
        if (keys && !*keys) continue;
        info.name = start;
        info.nameEnd = stop;
        for (size_t i = start; i < stop; ++i) {
            if (t[i] != u'=') continue;
            info.value = i + 1;
            while (info.value < stop && IsSpace(t[info.value])) ++info.value;
            info.valueEnd = stop;
            info.nameEnd = i;
            while (info.nameEnd > start && IsSpace(t[info.nameEnd - 1])) --info.nameEnd;
            break;
        }
        // Of consecutive lines without a name only the first counts.
        const bool nameless = info.nameEnd == info.name;
        if (nameless && previousNameless) continue;
        previousNameless = nameless;
        if (!visit(info)) return;
    }
}

// Whether the name from `from` to `to` is `asked` (folded) as names compare.
template <class T>
bool IsNamed(const T& t, size_t from, size_t to, const std::u16string& asked) {
    size_t j = 0;
    for (size_t i = from; i < to && t[i] != 0; ++i, ++j)
        if (j >= asked.size() || Fold(t[i]) != asked[j]) return false;
    return j == asked.size();
}

Parsed Parse(std::string_view bytes) {
    Parsed p;
    p.sections.push_back({});
    WithUnits(bytes, p.encoding, [&](const auto& t) {
        ForEachLine(t, true, [&](const LineInfo& l) {
            if (l.mark) p.byteOrderMarks.push_back(l.number);
            if (l.unclosed) p.unclosedHeaders.push_back(l.number);
            if (l.header) {
                p.sections.push_back({Part(t, l.name, l.nameEnd), l.number, {}});
            } else {
                ParsedKey key;
                key.name = Part(t, l.name, l.nameEnd);
                if (l.value != std::string::npos) key.value = Part(t, l.value, l.valueEnd);
                key.line = l.number;
                p.sections.back().keys.push_back(std::move(key));
            }
            return true;
        });
    });
    return p;
}

// A value as the reader hands it over: up to a NUL, in the ANSI code page.
std::string AnsiValue(const std::u16string& value) {
    return Ansi(std::u16string_view(value).substr(0, value.find(u'\0')));
}

}  // namespace

char16_t AnsiToUnicode(char c) { return FromAnsi(c); }
char UnicodeToAnsi(char16_t c) { return ToAnsi(c); }

std::string ProfileText(std::string_view bytes) {
    return Ansi(Decode(bytes).text);
}

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
    const std::u16string s = Asked(section), k = Asked(key);
    std::optional<std::string> found;
    ProfileEncoding encoding;
    WithUnits(text, encoding, [&](const auto& t) {
        // Only the first section of the name counts, and its first key; keys
        // above the first header stand in a section without a name.
        enum { Before, In, After } where = s.empty() ? In : Before;
        bool inSection = where == In;
        ForEachLine(t, false, [&](const LineInfo& l) {
            if (l.header) {
                if (where == In) where = After;
                else if (where == Before && IsNamed(t, l.name, l.nameEnd, s)) where = In;
                inSection = where == In;
                return where != After;
            }
            if (where != In || !IsNamed(t, l.name, l.nameEnd, k)) return true;
            if (l.value != std::string::npos) found = AnsiValue(Part(t, l.value, l.valueEnd));
            return false;
        }, &inSection);
    });
    return found;
}

std::string ProfileString(const std::optional<std::string>& text, std::string_view section,
                          std::string_view key, std::string_view def, uint32_t size) {
    std::optional<std::string> value;
    if (text && size != 0) value = FindProfileValue(*text, section, key);
    return ProfileAnswer(std::move(value), def, size);
}

ProfileIndex::ProfileIndex(std::string_view text) {
    const Parsed p = Parse(text);
    for (const ParsedSection& sec : p.sections) {
        auto [it, fresh] = sections_.try_emplace(Folded(sec.name));
        if (!fresh) continue;
        for (const ParsedKey& k : sec.keys)
            it->second.emplace(Folded(k.name),
                               k.value ? std::optional<std::string>(AnsiValue(*k.value))
                                       : std::nullopt);
    }
}

std::optional<std::string> ProfileIndex::Find(std::string_view section, std::string_view key) const {
    auto s = sections_.find(Asked(section));
    if (s == sections_.end()) return std::nullopt;
    auto k = s->second.find(Asked(key));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

std::string ProfileAnswer(std::optional<std::string> value, std::string_view def, uint32_t size) {
    if (size == 0) return {};
    std::string v;
    if (value) {
        v = std::move(*value);
    } else {
        // The default up to its NUL, without its trailing blanks (but its first character).
        def = def.substr(0, def.find('\0'));
        while (def.size() > 1 && def.back() == ' ') def.remove_suffix(1);
        v = std::string(def);
    }
    // A value in matching quotes loses them, when the whole value fits.
    std::string_view rest = v;
    const bool quoted = rest.size() >= 2 && (rest[0] == '"' || rest[0] == '\'') &&
                        rest.back() == rest[0];
    if (quoted) rest.remove_prefix(1);
    std::string out(rest.substr(0, size - 1));
    if (quoted && size >= rest.size() && !out.empty()) out.pop_back();
    return out;
}

ProfileScan ScanProfile(std::string_view text) {
    const Parsed p = Parse(text);
    ProfileScan scan;
    scan.encoding = p.encoding;
    scan.unclosedHeaders = p.unclosedHeaders;
    scan.byteOrderMarks = p.byteOrderMarks;
    for (size_t i = 1; i < p.sections.size(); ++i) {
        const ParsedSection& sec = p.sections[i];
        ScannedSection out{Ansi(sec.name), sec.line, {}, Folded(sec.name)};
        for (const ParsedKey& k : sec.keys)
            out.keys.push_back({Ansi(k.name),
                                k.value ? ProfileAnswer(AnsiValue(*k.value), "", UINT32_MAX) : "",
                                k.line, k.value.has_value(), Folded(k.name)});
        scan.sections.push_back(std::move(out));
    }
    return scan;
}

const ScannedSection* ProfileScan::Section(std::string_view name) const {
    const std::u16string asked = Asked(name);
    for (const ScannedSection& s : sections)
        if (s.folded == asked) return &s;
    return nullptr;
}

const ScannedKey* ProfileScan::Key(std::string_view section, std::string_view key) const {
    const ScannedSection* s = Section(section);
    if (!s) return nullptr;
    const std::u16string asked = Asked(key);
    for (const ScannedKey& k : s->keys)
        if (k.folded == asked) return k.valued ? &k : nullptr;
    return nullptr;
}

bool SameProfileName(std::string_view a, std::string_view b) {
    return Folded(Wide(a)) == Folded(Wide(b));
}

namespace {

// A UTF-16 code unit as 1 to 3 bytes, the way UTF-8 writes a code point (a
// lone surrogate too), so that the text of a file with a byte-order mark can
// be edited as bytes and written back unit for unit.
void PutUnit(std::string& out, char16_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | u >> 6);
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | u >> 12);
        out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

std::u16string UnitsOf(std::string_view bytes) {
    std::u16string out;
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const size_t n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : 3;
        char16_t u = n == 1 ? b : n == 2 ? b & 0x1F : b & 0x0F;
        for (size_t j = 1; j < n && i + j < bytes.size(); ++j)
            u = static_cast<char16_t>(u << 6 | (static_cast<unsigned char>(bytes[i + j]) & 0x3F));
        out += u;
        i += n;
    }
    return out;
}

std::string AsUnits(std::string_view ansi) {
    std::string out;
    for (char c : ansi) PutUnit(out, FromAnsi(c));
    return out;
}

std::string EditAnsiProfile(std::string_view text, std::string_view section, const char* key,
                            const char* value);

}  // namespace

// A file with a byte-order mark keeps its encoding and its mark, as Windows
// writes it back; its other lines keep their bytes.
std::string EditProfile(std::string_view bytes, std::string_view section, const char* key,
                        const char* value) {
    const bool utf16 = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
    const bool utf8 = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    if (!utf16 && !utf8) return EditAnsiProfile(bytes, section, key, value);
    const std::string s = AsUnits(section);
    const std::string k = key ? AsUnits(key) : std::string(), v = value ? AsUnits(value) : std::string();
    const char* kp = key ? k.c_str() : nullptr;
    const char* vp = value ? v.c_str() : nullptr;
    if (utf8) return std::string(bytes.substr(0, 3)) + EditAnsiProfile(bytes.substr(3), s, kp, vp);
    std::string text;
    for (char16_t u : Decode(bytes).text) PutUnit(text, u);
    const bool little = bytes[0] == '\xFF';
    std::string out(bytes.substr(0, 2));
    for (char16_t u : UnitsOf(EditAnsiProfile(text, s, kp, vp))) {
        const auto lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out += little ? lo : hi;
        out += little ? hi : lo;
    }
    return out;
}

namespace {

std::string EditAnsiProfile(std::string_view text, std::string_view section, const char* key,
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

}  // namespace

}  // namespace ini

// The simulated profile reader against Windows' own (under Wine):
//
//   profile_diff SEED COUNT [FILE ...]
//
// writes COUNT INI files made from SEED over the features that trip readers
// up (line endings, byte-order marks, UTF-16, blanks and tabs, quotes,
// comments, lines without '=', headers without ']', very long lines, NUL
// bytes, ANSI letters), then each FILE as it is, and reads every section and
// key they hold, with several buffer sizes, through GetPrivateProfileStringA
// and through the simulation (its reader, its index and its scan). Every
// answer must agree, the number of characters returned included. Each
// disagreement is told with the file kept beside the program
// (profile_diff_N.ini); the exit code is the number of files that disagree
// (at most 100).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/IniText.h"

namespace {

std::string Escaped(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

class Maker {
public:
    explicit Maker(uint32_t seed) : rng_(seed) {}

    int Pick(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
    bool Chance(int percent) { return Pick(100) < percent; }

    std::string Blanks() {
        static const char* const kinds[] = {"", "", "", " ", "  ", "\t", " \t ", "\x1a", "\v",
                                            "\f", "\xa0"};
        return kinds[Pick(static_cast<int>(std::size(kinds)))];
    }

    std::string Word() {
        static const char* const words[] = {"Model", "KRT-A100.XP", "DriverName", "a", "Key 2",
                                            "STD2KDDKDEV", "x.y", "Caf\xe9", "\x80uro", "n\x9f",
                                            "UPPER", "lower", "[x", "x]", "a=b", "\"q\"", "'s'",
                                            ";c", "#h", "0", "-1", "\xef\xbb\xbf" "bom"};
        std::string w = words[Pick(static_cast<int>(std::size(words)))];
        if (Chance(5)) w += std::string(1, '\0') + "tail";
        if (Chance(3)) w = std::string(Chance(50) ? 300 : 5000, 'L') + w;
        return w;
    }

    std::string Value() {
        switch (Pick(12)) {
            case 0: return "";
            case 1: return "\"" + Word() + "\"";
            case 2: return "'" + Word() + "'";
            case 3: return "\"" + Word();
            case 4: return "\"\"";
            case 5: return "\"" + Word() + "'";
            case 6: return Word() + " ; comment";
            case 7: return Word() + Blanks() + Word();
            case 8: return std::string(Chance(10) ? 70000 : 1100, 'v');
            case 9: return "\"";
            default: return Word();
        }
    }

    std::string Line() {
        switch (Pick(14)) {
            case 0: return Blanks() + "[" + Blanks() + Word() + Blanks() + "]" + Blanks();
            case 1: return "[" + Word();  // no ']'
            case 2: return "[" + Word() + "]" + Word();
            case 3: return "[" + Word() + "]" + Word() + "]";
            case 4: return "; " + Word() + "=" + Value();
            case 5: return Word();  // no '='
            case 6: return "";
            case 7: return Blanks();
            case 8: return "=" + Value();
            case 9: return "\xef\xbb\xbf" + std::string(Chance(50) ? "[" + Word() + "]" : "; c");
            default: return Blanks() + Word() + Blanks() + "=" + Blanks() + Value() + Blanks();
        }
    }

    std::string Ending() {
        static const char* const endings[] = {"\r\n", "\r\n", "\n", "\r", "\r\r\n", "\n\r"};
        if (Chance(85)) return ending_;
        return endings[Pick(static_cast<int>(std::size(endings)))];
    }

    // An ANSI text in one of the encodings Notepad writes.
    std::string File() {
        static const char* const endings[] = {"\r\n", "\n", "\r"};
        ending_ = endings[Pick(3)];
        std::string text;
        const int sections = 1 + Pick(6);
        if (Chance(30)) text += Word() + "=" + Value() + Ending();  // above any header
        for (int s = 0; s < sections; ++s) {
            text += Chance(85) ? "[" + Word() + "]" : Line();
            text += Ending();
            const int lines = Pick(8);
            for (int l = 0; l < lines; ++l) text += Line() + Ending();
        }
        if (Chance(20)) text.resize(text.size() - 1);  // no end to the last line
        switch (Pick(10)) {
            case 0: return "\xef\xbb\xbf" + text;
            case 1: return Utf16(text);
            default: return text;
        }
    }

private:
    // Windows-1252 to UTF-16LE with its byte-order mark.
    static std::string Utf16(const std::string& ansi) {
        std::string out = "\xff\xfe";
        const int n = MultiByteToWideChar(1252, 0, ansi.data(), static_cast<int>(ansi.size()),
                                          nullptr, 0);
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(1252, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
        for (wchar_t c : wide) {
            out += static_cast<char>(c & 0xff);
            out += static_cast<char>((c >> 8) & 0xff);
        }
        return out;
    }

    std::mt19937 rng_;
    std::string ending_ = "\r\n";
};

// The names a text may hold, as the simulation reads its lines: what stands
// between '[' and ']' (or the line's end), and before '=' (or the whole line).
void Candidates(const std::string& bytes, std::vector<std::string>& sections,
                std::vector<std::string>& keys) {
    const std::string text = ini::ProfileText(bytes);
    std::set<std::string> s, k;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        line = line.substr(0, line.find('\0'));
        auto trim = [](std::string t) {
            const char* blanks = " \t\v\f\x1a\xa0";
            const size_t a = t.find_first_not_of(blanks);
            if (a == std::string::npos) return std::string();
            return t.substr(a, t.find_last_not_of(blanks) - a + 1);
        };
        const size_t open = line.find('[');
        if (open != std::string::npos) {
            const size_t close = line.find(']', open);
            s.insert(trim(line.substr(open + 1, close == std::string::npos ? std::string::npos
                                                                         : close - open - 1)));
        }
        const size_t eq = line.find('=');
        k.insert(trim(line.substr(0, eq)));
        if (eq != std::string::npos) k.insert(line.substr(0, eq));
        if (start > text.size()) break;
    }
    s.insert("nothing");
    k.insert("nothing");
    sections.assign(s.begin(), s.end());
    keys.assign(k.begin(), k.end());
}

struct Counts {
    long files = 0, reads = 0, disagreements = 0, badFiles = 0;
};

// Reads every candidate through both readers; false when any answer differs.
bool Compare(const std::string& bytes, const std::string& path, const std::string& what,
             Maker& maker, Counts& counts) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::string> sections, keys;
    Candidates(bytes, sections, keys);
    const std::optional<std::string> text = bytes;
    const ini::ProfileIndex index(bytes);
    const ini::ProfileScan scan = ini::ScanProfile(bytes);
    static std::vector<char> buffer(80000);
    bool same = true;
    int told = 0;
    for (const std::string& section : sections) {
        // A few of the keys in each section, with a large buffer and a small one.
        for (int n = 0; n < 6; ++n) {
            const std::string& key = keys[static_cast<size_t>(maker.Pick(static_cast<int>(keys.size())))];
            const uint32_t sizes[] = {maker.Chance(50) ? 256u : 80000u,
                                      static_cast<uint32_t>(1 + maker.Pick(8))};
            for (uint32_t size : sizes) {
                const char* def = maker.Chance(20) ? "def  " : "def";
                std::fill(buffer.begin(), buffer.begin() + size + 1, '\x7f');
                const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def,
                                                         buffer.data(), size, path.c_str());
                const std::string wine(buffer.data(), n);
                const std::string sim = ini::ProfileString(text, section, key, def, size);
                const std::string indexed =
                    ini::ProfileAnswer(index.Find(section, key), def, size);
                // The scan gives what a buffer of any size would get.
                const ini::ScannedKey* scanned = scan.Key(section, key);
                const std::string fromScan =
                    size < 80000 ? sim
                    : scanned    ? scanned->value
                                 : ini::ProfileAnswer(std::nullopt, def, size);
                ++counts.reads;
                if (wine == sim && sim == indexed && indexed == fromScan) continue;
                ++counts.disagreements;
                same = false;
                if (told++ < 3)
                    std::printf("%s: [%s] %s (size %u): Windows %lu \"%s\", simulation \"%s\", "
                                "index \"%s\", scan \"%s\"\n",
                                what.c_str(), Escaped(section).c_str(), Escaped(key).c_str(),
                                static_cast<unsigned>(size), static_cast<unsigned long>(n),
                                Escaped(wine.substr(0, 60)).c_str(),
                                Escaped(sim.substr(0, 60)).c_str(),
                                Escaped(indexed.substr(0, 60)).c_str(),
                                Escaped(fromScan.substr(0, 60)).c_str());
            }
        }
    }
    ++counts.files;
    if (!same) ++counts.badFiles;
    DeleteFileA(path.c_str());
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: profile_diff SEED COUNT [FILE ...]\n");
        return 100;
    }
    const uint32_t seed = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
    const long count = std::strtol(argv[2], nullptr, 10);
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    Maker maker(seed);
    Counts counts;
    for (long i = 0; i < count; ++i) {
        const std::string bytes = maker.File();
        const std::string path = std::string(folder) + "kv_profile_" + std::to_string(seed) + "_" +
                                 std::to_string(i) + ".ini";
        const std::string what = "file " + std::to_string(i) + " of seed " + std::to_string(seed);
        if (!Compare(bytes, path, what, maker, counts) && counts.badFiles <= 20) {
            std::ofstream keep("profile_diff_" + std::to_string(i) + ".ini", std::ios::binary);
            keep.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    }
    for (int a = 3; a < argc; ++a) {
        std::ifstream in(argv[a], std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string path = std::string(folder) + "kv_profile_corpus_" + std::to_string(a) + ".ini";
        Compare(bytes, path, argv[a], maker, counts);
    }
    std::printf("profile_diff: %ld files, %ld reads, %ld disagreements in %ld files\n", counts.files,
                counts.reads, counts.disagreements, counts.badFiles);
    return counts.badFiles > 100 ? 100 : static_cast<int>(counts.badFiles);
}

// Generated and mutated INI texts against the profile reader: whatever the
// bytes, no crash, no value longer than size - 1, the default where nothing
// is found, and the values of well-formed texts exactly as written. (Its
// answers against Windows' own: tests/wine/ProfileDiff.cpp.)
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/IniText.h"
#include "simwindows/testing/SimTestWindows.h"

namespace plat {
namespace {

using Rng = std::mt19937;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int Pick(Rng& rng, int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

std::string RandomName(Rng& rng) {
    static const char chars[] = "abcXYZ019_-.()";
    std::string s;
    int n = 1 + Pick(rng, 6);
    for (int i = 0; i < n; ++i) s += chars[Pick(rng, sizeof chars - 1)];
    if (Pick(rng, 3) == 0) s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

std::string RandomValue(Rng& rng) {
    static const char chars[] = "abc 019,=;[]_\\:%";
    std::string s;
    int n = Pick(rng, 40);
    for (int i = 0; i < n; ++i) s += chars[Pick(rng, sizeof chars - 1)];
    // Values as stored never start or end with a blank.
    while (!s.empty() && s.back() == ' ') s.pop_back();
    while (!s.empty() && s.front() == ' ') s.erase(0, 1);
    return s;
}

std::string Blanks(Rng& rng) {
    static const char* const b[] = {"", " ", "\t", "  \t "};
    return b[Pick(rng, 4)];
}

struct Generated {
    std::string text;
    // lower-case "section\nkey" -> the value the reader must give.
    std::map<std::string, std::string> expected;
    std::vector<std::pair<std::string, std::string>> queries;
};

// A well-formed text with repeated sections and keys, comments, blanks,
// quoted values and lines that are no keys.
Generated Generate(Rng& rng) {
    Generated g;
    std::vector<std::string> sections;
    std::map<std::string, bool> sectionSeen;
    const char* eol = Pick(rng, 2) ? "\r\n" : "\n";
    int nSections = 1 + Pick(rng, 5);
    for (int s = 0; s < nSections; ++s) {
        std::string name = sections.empty() || Pick(rng, 4) ? RandomName(rng)
                                                             : sections[Pick(rng, static_cast<int>(sections.size()))];
        sections.push_back(name);
        bool first = !sectionSeen[Lower(name)];
        sectionSeen[Lower(name)] = true;
        g.text += Blanks(rng) + "[" + Blanks(rng) + name + Blanks(rng) + "]" + Blanks(rng) + eol;
        std::vector<std::string> keys;
        int nKeys = Pick(rng, 6);
        for (int k = 0; k < nKeys; ++k) {
            switch (Pick(rng, 6)) {
                case 0: g.text += std::string(";") + RandomName(rng) + "=comment" + eol; continue;
                // No '=': a key without a value, named so that no query asks for it.
                case 1: g.text += "#" + RandomName(rng) + eol; continue;
                case 2: g.text += std::string(eol); continue;
                default: break;
            }
            std::string key = keys.empty() || Pick(rng, 4) ? RandomName(rng)
                                                           : keys[Pick(rng, static_cast<int>(keys.size()))];
            keys.push_back(key);
            std::string value = RandomValue(rng);
            std::string written = value;
            int quote = Pick(rng, 4);
            if (quote == 1) written = "\"" + value + "\"";
            if (quote == 2) written = "'" + value + "'";
            g.text += Blanks(rng) + key + Blanks(rng) + "=" + Blanks(rng) + written + Blanks(rng) + eol;
            std::string id = Lower(name) + "\n" + Lower(key);
            // The first section of a name and the first key in it win.
            if (first && !g.expected.count(id)) {
                // An unquoted value that happens to be in quotes loses them too.
                if (quote == 0 && value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
                    value.back() == value[0])
                    value = value.substr(1, value.size() - 2);
                g.expected[id] = value;
            }
            g.queries.push_back({name, key});
        }
    }
    for (int i = 0; i < 3; ++i) g.queries.push_back({RandomName(rng), RandomName(rng)});
    return g;
}

std::string Mutate(Rng& rng, std::string text) {
    static const char specials[] = {'\0', '[', ']', '=', '\r', '\n', ';', '"', '\'', ' ', '\xff'};
    int n = 1 + Pick(rng, 8);
    for (int i = 0; i < n; ++i) {
        size_t at = text.empty() ? 0 : static_cast<size_t>(Pick(rng, static_cast<int>(text.size()) + 1));
        switch (Pick(rng, 5)) {
            case 0: text.insert(at, 1, specials[Pick(rng, sizeof specials)]); break;
            case 1:
                if (at < text.size()) text[at] = static_cast<char>(Pick(rng, 256));
                break;
            case 2:
                if (at < text.size()) text.erase(at, 1 + Pick(rng, 16));
                break;
            case 3: text.insert(at, std::string(1 + Pick(rng, 3000), "ab=[ \0"[Pick(rng, 6)])); break;
            default: text.insert(at, text.substr(0, std::min<size_t>(text.size(), 64))); break;
        }
    }
    return text;
}

uint32_t RandomSize(Rng& rng) {
    static const uint32_t sizes[] = {0, 1, 2, 3, 5, 11, 12, 200, 256, 260, 4096, 1u << 20};
    return sizes[Pick(rng, sizeof sizes / sizeof sizes[0])];
}

void CheckBounds(const std::string& got, uint32_t size) {
    if (size == 0) EXPECT_TRUE(got.empty());
    else EXPECT_LE(got.size(), size - 1);
    EXPECT_EQ(got.find('\0'), std::string::npos);
}

TEST(IniFuzz, WellFormedTextsGiveTheirValuesCutToSize) {
    Rng rng(20240611);
    for (int round = 0; round < 1000; ++round) {
        Generated g = Generate(rng);
        for (const auto& [section, key] : g.queries) {
            uint32_t size = RandomSize(rng);
            std::string got = ini::ProfileString(g.text, section, key, "0 ", size);
            auto it = g.expected.find(Lower(section) + "\n" + Lower(key));
            std::string want = it == g.expected.end() ? "0" : it->second;
            // A buffer that holds the value (and its quotes) gets all of it;
            // a shorter one a beginning of it.
            if (size == 0) want.clear();
            else if (want.size() + 2 >= size) want = want.substr(0, std::min<size_t>(got.size(), size - 1));
            ASSERT_EQ(got, want) << "round " << round << " [" << section << "] " << key
                                 << " size " << size << "\n" << g.text;
        }
    }
}

TEST(IniFuzz, MutatedTextsNeverCrashOrOverrun) {
    Rng rng(77);
    SimTestWindows w;
    for (int round = 0; round < 1500; ++round) {
        Generated g = Generate(rng);
        std::string text = Mutate(rng, g.text);
        // Every few rounds through the whole machine, the rest on the reader.
        // Every other time the machine answers from its index of the file.
        bool viaMachine = round % 10 == 0;
        if (viaMachine) w.SetProfileIndexing(round % 20 == 0);
        if (viaMachine) w.PutFile("C:\\PKG\\fuzz.ini", text);
        for (const auto& [section, key] : g.queries) {
            uint32_t size = RandomSize(rng);
            std::string got = viaMachine
                                  ? w.profile().GetPrivateProfileString(section, key, "dflt", size,
                                                              "C:\\PKG\\fuzz.ini")
                                  : ini::ProfileString(text, section, key, "dflt", size);
            CheckBounds(got, size);
            // The line scan finds what the reader finds.
            const auto found = ini::FindProfileValue(text, section, key);
            const ini::ProfileScan scan = ini::ScanProfile(text);
            const ini::ScannedKey* scanned = scan.Key(section, key);
            ASSERT_EQ(scanned != nullptr, found.has_value()) << "[" << section << "] " << key;
            if (scanned) {
                EXPECT_EQ(scanned->value, ini::ProfileAnswer(*found, "", UINT32_MAX));
            }
            if (!found) {
                std::string want = std::string("dflt").substr(0, size ? size - 1 : 0);
                EXPECT_EQ(got, want);
            }
            // The index of a file read many times answers the same.
            EXPECT_EQ(ini::ProfileIndex(text).Find(section, key),
                      ini::FindProfileValue(text, section, key));
        }
    }
}

// An ANSI text as a file of another encoding, with its byte-order mark.
std::string Encoded(const std::string& ansi, int encoding) {
    static const char* const kMarks[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
    std::string out = kMarks[encoding];
    for (char c : ansi) {
        const char16_t u = ini::AnsiToUnicode(c);
        const auto lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        if (encoding == 0) out += c;
        else if (encoding == 1) out += {lo, hi};
        else if (encoding == 2) out += {hi, lo};
        else if (u < 0x80) out += lo;
        else if (u < 0x800) out += {static_cast<char>(0xC0 | u >> 6), static_cast<char>(0x80 | (u & 0x3F))};
        else out += {static_cast<char>(0xE0 | u >> 12), static_cast<char>(0x80 | (u >> 6 & 0x3F)),
                     static_cast<char>(0x80 | (u & 0x3F))};
    }
    return out;
}

// WriteProfileString's edits: the key edited reads back as written (or as
// missing), and every other key keeps its value; a file with a byte-order
// mark (UTF-16LE, UTF-16BE, UTF-8) keeps it.
TEST(IniFuzz, EditsChangeOnlyTheKeyEdited) {
    Rng rng(31);
    for (int round = 0; round < 400; ++round) {
        Generated g = Generate(rng);
        const int encoding = round % 4;
        g.text = Encoded(g.text, encoding);
        ASSERT_FALSE(g.queries.empty());
        auto [section, key] = g.queries[Pick(rng, static_cast<int>(g.queries.size()))];
        std::string id = Lower(section) + "\n" + Lower(key);
        int op = Pick(rng, 3);
        std::string edited;
        std::map<std::string, std::string> expected = g.expected;
        if (op == 0) {
            edited = ini::EditProfile(g.text, section, key.c_str(), "new, value");
            expected[id] = "new, value";
        } else if (op == 1) {
            edited = ini::EditProfile(g.text, section, key.c_str(), nullptr);
            expected.erase(id);
        } else {
            edited = ini::EditProfile(g.text, section, nullptr, nullptr);
            for (auto it = expected.begin(); it != expected.end();)
                it = it->first.rfind(Lower(section) + "\n", 0) == 0 ? expected.erase(it) : std::next(it);
        }
        EXPECT_EQ(edited.substr(0, encoding == 0 ? 0 : encoding == 3 ? 3 : 2),
                  g.text.substr(0, encoding == 0 ? 0 : encoding == 3 ? 3 : 2));
        for (const auto& [s, k] : g.queries) {
            std::string qid = Lower(s) + "\n" + Lower(k);
            auto it = expected.find(qid);
            auto got = ini::FindProfileValue(edited, s, k);
            if (got) got = ini::ProfileAnswer(got, "", UINT32_MAX);
            if (it == expected.end()) {
                EXPECT_FALSE(got) << "round " << round << " op " << op << " [" << s << "] " << k
                                  << "\n" << edited;
            } else {
                EXPECT_EQ(got.value_or("<missing>"), it->second)
                    << "round " << round << " op " << op << " [" << s << "] " << k << "\n"
                    << g.text << "----\n" << edited;
            }
        }
    }
}

TEST(IniFuzz, HugeLinesAndValuesAndBinaryFiles) {
    Rng rng(5);
    std::string huge = "[S]\nk=" + std::string(3u << 20, 'v') + "\n[" + std::string(1u << 20, 'x') +
                       "\nk2 = 'q'\n";
    EXPECT_EQ(ini::ProfileString(huge, "s", "K", "0", 260).size(), 259u);
    EXPECT_EQ(ini::ProfileString(huge, "s", "K", "0", 1u << 22).size(), 3u << 20);
    // A header without ']' is no section: k2 still belongs to [S].
    EXPECT_EQ(ini::ProfileString(huge, "S", "k2", "0", 200), "q");

    std::string binary(1u << 20, '\0');
    for (char& c : binary) c = static_cast<char>(Pick(rng, 256));
    binary.replace(1000, 12, "\n[A]\nb=c\r\n");
    for (uint32_t size : {0u, 1u, 2u, 200u})
        CheckBounds(ini::ProfileString(binary, "A", "b", "0", size), size);
    EXPECT_EQ(ini::ProfileString(std::string("[A]\nb=x\0y\n", 11), "A", "b", "0", 200), "x");
    EXPECT_EQ(ini::ProfileString(std::string(), "A", "b", "0", 200), "0");
    EXPECT_EQ(ini::ProfileString(std::nullopt, "A", "b", "def  ", 200), "def");
    EXPECT_EQ(ini::ProfileString(std::string("[A]\nb\n"), "A", "b", "0", 200), "0");
}

}  // namespace
}  // namespace plat

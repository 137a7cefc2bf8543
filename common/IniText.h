// The profile (INI) text rules of Windows, on text in memory: the reader
// behind GetPrivateProfileStringA and the editor behind WriteProfileStringA.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ini {

// The ANSI code page the rules read in, Windows-1252 (the simulated Windows'
// own), to Unicode and back (a character it lacks becomes '?').
char16_t AnsiToUnicode(char c);
char UnicodeToAnsi(char16_t c);

// How a profile file is encoded, as its byte-order mark tells.
enum class ProfileEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

// The text of a profile file in the ANSI code page (Windows-1252): a file
// with a byte-order mark decoded, without the mark.
std::string ProfileText(std::string_view bytes);

// The value of `key` in `section` of an INI file's bytes as they stand, or
// nullopt when the section or the key is missing or the key's line has no
// '='. The file is read as Windows reads it: decoded by its byte-order mark
// (UTF-16LE, UTF-16BE, UTF-8; else ANSI), lines ending at CR, LF or both;
// blanks (and ^Z) around lines, names and values trimmed; a header is a line
// starting with '[' up to its last ']' (what it holds untrimmed), a line
// without ']' is read as a key line; every other line is a key, comments
// included (";k=v" is the key ";k"); section and key names compare up to a
// NUL and without regard to case, the names asked for without their blanks;
// only the first section of a name is searched, and the first key in it.
// The value ends at a NUL, in the ANSI code page, its quotes still on.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// GetPrivateProfileStringA's answer from the file's text (nullopt: no file):
// the value, or the default without its trailing blanks, cut to size - 1
// characters; a value (or default) in matching double or single quotes
// loses them, the closing one only when the buffer holds it; size 0 gives "".
std::string ProfileString(const std::optional<std::string>& text, std::string_view section,
                          std::string_view key, std::string_view def, uint32_t size);
// The same answer from the value found (nullopt: no file, section or key).
std::string ProfileAnswer(std::optional<std::string> value, std::string_view def, uint32_t size);

// Every value of a text as FindProfileValue finds it, looked up without
// reading the text again: for a file that is read many times over.
class ProfileIndex {
public:
    explicit ProfileIndex(std::string_view text);
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

private:
    // Folded section name -> folded key name -> value (none: no '=').
    std::unordered_map<std::u16string,
                       std::unordered_map<std::u16string, std::optional<std::string>>>
        sections_;
};

// WriteProfileStringA on a file's bytes: sets the key in the first section
// of that name (appending the section or the key when missing), removes the
// key (value null: every line of it in that section, so that it is gone) or
// the section (key null: every section of that name). Returns the new bytes;
// the lines written end with CR LF, the others keep theirs. A file with a
// byte-order mark keeps its mark and its encoding.
std::string EditProfile(std::string_view text, std::string_view section, const char* key,
                        const char* value);

// An INI text line by line, classified as the reader above classifies it:
// for people who need to know where a value stands (line numbers count from
// 1) and which sections and keys are written twice.
struct ScannedKey {
    std::string name;   // as written, trimmed
    std::string value;  // what the reader gives for it
    int line = 0;
    bool valued = true;  // false: a line without '=' (the reader gives the default)
    std::u16string folded;  // the name as names compare
};
struct ScannedSection {
    std::string name;  // as written, trimmed
    int line = 0;
    std::vector<ScannedKey> keys;  // in file order, repeated ones included
    std::u16string folded;         // the name as names compare
};
struct ProfileScan {
    // Every section header in file order, repeated ones included. Key lines
    // above the first header belong to no section and are not kept.
    std::vector<ScannedSection> sections;
    ProfileEncoding encoding = ProfileEncoding::Ansi;
    // The lines of headers without their ']', and of lines holding a
    // byte-order mark after the file's start (before any ';' of the line).
    std::vector<int> unclosedHeaders, byteOrderMarks;

    // The section and the key that the reader takes: the first section of
    // that name and the first key of that name in it (nullptr when none, or
    // when that key has no '=').
    const ScannedSection* Section(std::string_view name) const;
    const ScannedKey* Key(std::string_view section, std::string_view key) const;
};
ProfileScan ScanProfile(std::string_view text);

// Section and key names compare like this (up to a NUL, letters of the ANSI
// code page without regard to case).
bool SameProfileName(std::string_view a, std::string_view b);

}  // namespace ini

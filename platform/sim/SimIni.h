// The profile (INI) text rules of Windows, on text in memory: the reader
// behind GetPrivateProfileStringA and the editor behind WriteProfileStringA.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plat::sim {

// The value of `key` in `section` of an INI text, or nullopt when the section
// or the key is missing. Section and key names compare without regard to
// case; the first of repeated sections and keys wins; blanks around names and
// values are trimmed; a value in matching double or single quotes loses them;
// lines starting with ';' are comments; a line without '=' is no key. The
// value ends at a NUL, as the caller of the C call sees it.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// GetPrivateProfileStringA's answer from the file's text (nullopt: no file):
// the value, or the default without its trailing blanks, cut to size - 1
// characters; size 0 gives "".
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
    // Lower-case section name -> lower-case key name -> value.
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> sections_;
};

// WriteProfileStringA on a text: sets the key in the first section of that
// name (appending the section or the key when missing), removes the key
// (value null: every line of it in that section, so that it is gone) or the
// section (key null: every section of that name). Returns the new text; the
// lines written end with CR LF, the others keep theirs.
std::string EditProfile(std::string_view text, std::string_view section, const char* key,
                        const char* value);

// An INI text line by line, classified as the reader above classifies it:
// for people who need to know where a value stands (line numbers count from
// 1) and which sections and keys are written twice.
struct ScannedKey {
    std::string name;   // as written, trimmed
    std::string value;  // what the reader gives for it
    int line = 0;
};
struct ScannedSection {
    std::string name;  // as written, trimmed
    int line = 0;
    std::vector<ScannedKey> keys;  // in file order, repeated ones included
};
struct ProfileScan {
    // Every section header in file order, repeated ones included. Key lines
    // above the first header belong to no section and are not kept.
    std::vector<ScannedSection> sections;

    // The section and the key that the reader takes: the first section of
    // that name and the first key of that name in it (nullptr when none).
    const ScannedSection* Section(std::string_view name) const;
    const ScannedKey* Key(std::string_view section, std::string_view key) const;
};
ProfileScan ScanProfile(std::string_view text);

// Section and key names compare like this (ASCII letters without regard to case).
bool SameProfileName(std::string_view a, std::string_view b);

}  // namespace plat::sim

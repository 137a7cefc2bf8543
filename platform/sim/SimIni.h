// The profile (INI) text rules of Windows, on text in memory: the reader
// behind GetPrivateProfileStringA and the editor behind WriteProfileStringA.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

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

}  // namespace plat::sim

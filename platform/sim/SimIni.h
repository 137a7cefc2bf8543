// The profile (INI) text rules of Windows, on text in memory: the reader
// behind GetPrivateProfileStringA and the editor behind WriteProfileStringA.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// WriteProfileStringA on a text: sets the key in the first section of that
// name (appending the section or the key when missing), removes the key
// (value null: every line of it in that section, so that it is gone) or the
// section (key null: every section of that name). Returns the new text; the
// lines written end with CR LF, the others keep theirs.
std::string EditProfile(std::string_view text, std::string_view section, const char* key,
                        const char* value);

}  // namespace plat::sim

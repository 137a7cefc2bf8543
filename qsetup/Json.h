// The little JSON that qsetup writes: strings and numbers in objects and
// arrays, composed as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qsetup {

// Whether qsetup can decode the ANSI code page `codePage` (1252, Western
// European, the default; 28591, ISO 8859-1).
bool KnownCodePage(uint32_t codePage);

// A JSON string with its quotes, in UTF-8. The programs' text is single-byte
// ANSI of the code page `codePage` (see KnownCodePage): a byte from 0x80 up
// is written as the character it stands for there.
std::string JsonString(std::string_view text, uint32_t codePage = 1252);

}  // namespace qsetup

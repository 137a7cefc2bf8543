// The little JSON that qsetup writes: strings and numbers in objects and
// arrays, composed as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qsetup {

// A JSON string with its quotes. The programs' text is single-byte ANSI: a
// byte from 0x80 up is written as the character of that code in Latin-1.
std::string JsonString(std::string_view text);

}  // namespace qsetup

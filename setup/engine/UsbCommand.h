// The printer's set-ID command, as Setup sends it through the USB interface
// library and as the printer (and the library's stand-in) checks it.
//
// Ten bytes: ESC, the five-byte configuration preamble, GS 'I' blank, and the
// new internal ID (the USB port number less one).
#pragma once

#include <array>
#include <cstdint>

namespace usbcmd {

// The code the printer requires between ESC and a configuration command.
inline constexpr uint8_t kSetIdPreamble[5] = {0x28, 0x4B, 0x56, 0x43, 0x46};

inline constexpr uint8_t kEsc = 0x1B;
inline constexpr uint8_t kGs = 0x1D;
inline constexpr uint8_t kSetIdLetter = 0x49;  // 'I'
inline constexpr uint8_t kSetIdBlank = 0x20;

inline constexpr int32_t kSetIdCommandSize = 10;

using SetIdCommand = std::array<uint8_t, kSetIdCommandSize>;

// The command that gives the printer the internal ID `id`.
constexpr SetIdCommand BuildSetIdCommand(uint8_t id) {
    SetIdCommand command{};
    command[0] = kEsc;
    for (int i = 0; i < 5; ++i) command[1 + i] = kSetIdPreamble[i];
    command[6] = kGs;
    command[7] = kSetIdLetter;
    command[8] = kSetIdBlank;
    command[9] = id;
    return command;
}

// True when `bytes` is a well-formed set-ID command; its ID is then bytes[9].
constexpr bool IsSetIdCommand(const uint8_t* bytes, int32_t count) {
    if (bytes == nullptr || count != kSetIdCommandSize) return false;
    const SetIdCommand expected = BuildSetIdCommand(bytes[9]);
    for (int i = 0; i < kSetIdCommandSize; ++i)
        if (bytes[i] != expected[i]) return false;
    return true;
}

}  // namespace usbcmd

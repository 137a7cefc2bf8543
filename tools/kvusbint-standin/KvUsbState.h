// Sample content and test tooling, not part of Setup.
//
// The state of the KvUsbInt.dll stand-in: which USB printers are attached and
// their internal IDs. It lives in a small text file that a test writes and
// reads back, one line per printer:
//
//     <index> <id>
//
// index 0..7 (the device index of OpenDeviceX), id a decimal integer (a
// negative one makes GetPrinterInternalID fail). Blanks around the numbers and
// a trailing carriage return are allowed. Any other line (a comment, a typo)
// is no printer, and is kept as it is when an ID is changed. When two lines
// name the same index, the first one counts. No file means no printer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvusb {

inline constexpr int32_t kDeviceCount = 8;

// The largest state file the stand-in reads; a longer one counts as unreadable.
inline constexpr size_t kMaxStateBytes = 64 * 1024;

// The ID of the printer at `index` in `state`, if one is attached there.
std::optional<int32_t> FindPrinterId(std::string_view state, int32_t index);

// `state` with the ID of the printer at `index` replaced by `id`, every other
// line unchanged; nothing when no printer is attached at `index`.
std::optional<std::string> WithPrinterId(std::string_view state, int32_t index, int32_t id);

// Reads the state file into `text`. False when it does not exist, cannot be
// read or is larger than kMaxStateBytes.
bool ReadStateFile(const std::string& path, std::string& text);

// Replaces the state file by `text` in one step: the text goes to a
// neighbouring temporary file that then takes the state file's place, so a
// reader sees the old state or the new one, never half of it. False when it
// could not be written; the old file is then unchanged.
bool ReplaceStateFile(const std::string& path, const std::string& text);

}  // namespace kvusb

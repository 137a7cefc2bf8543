// The UI driver's command language: one command per line (or the words of
// one command line), words separated by blanks. A word in double quotes may
// hold blanks and the escapes \n \r \t \" \\; outside quotes a backslash is
// an ordinary character, so Windows paths need no quoting. A line whose first
// word begins with '#' is a comment.
//
// Portable: the words and numbers of a script are parsed the same way on
// every platform, and tested natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uidriver {

// Splits one line into its words. False, with `error` set, on an unterminated
// quote or a quote glued to other characters.
bool SplitLine(std::string_view line, std::vector<std::string>& words, std::string& error);

// A control ID: decimal ("1049") or hexadecimal ("0xFFFF"), 0 to 65535.
std::optional<int32_t> ParseControlId(std::string_view text);

// A count of milliseconds or any other non-negative decimal number up to
// 24 hours' worth of milliseconds.
std::optional<int32_t> ParseCount(std::string_view text);

// A message box button: "ok", "cancel", "yes", "no", "abort", "retry",
// "ignore" (any case) or a control ID. The dialog's command ID.
std::optional<int32_t> ParseButton(std::string_view text);

// The wait flags of `expect`: enabled, disabled, visible, hidden, checked,
// unchecked, indeterminate.
struct StateWant {
    std::optional<bool> enabled;
    std::optional<bool> visible;
    std::optional<int32_t> check;  // BST_UNCHECKED 0, BST_CHECKED 1, BST_INDETERMINATE 2
};
bool ParseStateWord(std::string_view word, StateWant& want);

// A key press as a user makes it: a key name with optional modifiers joined
// by '+', such as "Enter", "Escape", "Tab", "Shift+Tab", "Up", "Down",
// "Left", "Right", "Space", "Home", "End", "F1", "Alt+F4" or "Alt+N" (a
// mnemonic). Names and modifiers ("Shift", "Ctrl", "Alt") take any case; a
// single letter or digit stands for its key. `key` is the Windows virtual-key
// code.
struct KeyPress {
    bool shift = false, ctrl = false, alt = false;
    int32_t key = 0;
};
std::optional<KeyPress> ParseKey(std::string_view text);

// Shows a text on one line for messages: control characters as escapes, the
// whole in double quotes.
std::string Quote(std::string_view text);

}  // namespace uidriver

// The UI driver's script words and numbers: what a scenario writes must reach
// the driver unchanged (message texts with quotes and line breaks, Windows
// paths), and a malformed line must be refused, not half-run.
#include <gtest/gtest.h>

#include "tests/e2e/uidriver/Script.h"

namespace uidriver {
namespace {

std::vector<std::string> Split(std::string_view line) {
    std::vector<std::string> words;
    std::string error;
    EXPECT_TRUE(SplitLine(line, words, error)) << line << ": " << error;
    return words;
}

std::string Refused(std::string_view line) {
    std::vector<std::string> words{"left over"};
    std::string error;
    EXPECT_FALSE(SplitLine(line, words, error)) << line;
    EXPECT_TRUE(words.empty());
    return error;
}

TEST(ScriptLine, WordsQuotesAndEscapes) {
    using W = std::vector<std::string>;
    EXPECT_EQ(Split("  click\t\"Install Driver for Printers\"  1 \r"),
              (W{"click", "Install Driver for Printers", "1"}));
    // A message box text with a line break and quotes of its own.
    EXPECT_EQ(Split(R"(expect-msgbox Setup "Successfully installed printer driver\nPlease repower the printer" ok)"),
              (W{"expect-msgbox", "Setup",
                 "Successfully installed printer driver\nPlease repower the printer", "ok"}));
    EXPECT_EQ(Split(R"(echo "click on \"Yes\"" "a\\b" "tab\there")"),
              (W{"echo", "click on \"Yes\"", "a\\b", "tab\there"}));
    // Outside quotes and for unknown escapes a backslash stands as it is.
    EXPECT_EQ(Split(R"(echo C:\pkg\DRVCONFIG "C:\pkg")"), (W{"echo", "C:\\pkg\\DRVCONFIG", "C:\\pkg"}));
    // An empty quoted word is a word: an empty expected text.
    EXPECT_EQ(Split(R"(expect-text T 1065 "")"), (W{"expect-text", "T", "1065", ""}));
}

TEST(ScriptLine, CommentsAndBlankLines) {
    EXPECT_TRUE(Split("").empty());
    EXPECT_TRUE(Split("   \t\r").empty());
    EXPECT_TRUE(Split("# the module page").empty());
    EXPECT_TRUE(Split("   #indented comment").empty());
    // A '#' later in a line is text.
    EXPECT_EQ(Split("echo #1"), (std::vector<std::string>{"echo", "#1"}));
}

TEST(ScriptLine, MalformedLinesAreRefusedWhole) {
    EXPECT_EQ(Refused(R"(click "Install Driver for Printers 1)"), "unterminated quote");
    EXPECT_EQ(Refused(R"(echo "ends in a backslash\)"), "unterminated quote");
    EXPECT_FALSE(Refused(R"(echo "a"b)").empty());
    EXPECT_FALSE(Refused(R"(echo a"b")").empty());
}

TEST(ScriptNumbers, ControlIdsCountsAndButtons) {
    EXPECT_EQ(ParseControlId("1049"), 1049);
    EXPECT_EQ(ParseControlId("0xFFFF"), 0xFFFF);
    EXPECT_EQ(ParseControlId("0x3e9"), 1001);
    EXPECT_EQ(ParseControlId("0"), 0);
    for (const char* bad : {"", "-1", "65536", "0x10000", "12a", "0x", "1e3", " 1", "99999999999999"})
        EXPECT_FALSE(ParseControlId(bad).has_value()) << bad;

    EXPECT_EQ(ParseCount("2500"), 2500);
    EXPECT_EQ(ParseCount("86400000"), 86400000);
    EXPECT_FALSE(ParseCount("86400001").has_value());
    EXPECT_FALSE(ParseCount("-5").has_value());
    EXPECT_FALSE(ParseCount("0x10").has_value());

    EXPECT_EQ(ParseButton("ok"), 1);
    EXPECT_EQ(ParseButton("Cancel"), 2);
    EXPECT_EQ(ParseButton("YES"), 6);
    EXPECT_EQ(ParseButton("no"), 7);
    EXPECT_EQ(ParseButton("1002"), 1002);
    EXPECT_FALSE(ParseButton("maybe").has_value());
}

TEST(ScriptStates, WordsCombineAndUnknownOnesAreRefused) {
    StateWant want;
    EXPECT_TRUE(ParseStateWord("disabled", want));
    EXPECT_TRUE(ParseStateWord("hidden", want));
    EXPECT_TRUE(ParseStateWord("checked", want));
    EXPECT_EQ(want.enabled, false);
    EXPECT_EQ(want.visible, false);
    EXPECT_EQ(want.check, 1);
    EXPECT_TRUE(ParseStateWord("enabled", want));  // the later word counts
    EXPECT_EQ(want.enabled, true);
    EXPECT_FALSE(ParseStateWord("Enabled", want));
    EXPECT_FALSE(ParseStateWord("greyed", want));
}

TEST(ScriptKeys, NamesModifiersAndMnemonics) {
    struct Case {
        const char* text;
        bool shift, ctrl, alt;
        int32_t key;
    };
    for (const Case& c : {Case{"Enter", false, false, false, 0x0D},
                          Case{"escape", false, false, false, 0x1B},
                          Case{"Shift+Tab", true, false, false, 0x09},
                          Case{"Alt+F4", false, false, true, 0x73},
                          Case{"alt+n", false, false, true, 'N'},
                          Case{"Ctrl+Shift+End", true, true, false, 0x23},
                          Case{"Down", false, false, false, 0x28},
                          Case{"F1", false, false, false, 0x70},
                          Case{"7", false, false, false, '7'}}) {
        SCOPED_TRACE(c.text);
        const auto press = ParseKey(c.text);
        ASSERT_TRUE(press.has_value());
        EXPECT_EQ(press->shift, c.shift);
        EXPECT_EQ(press->ctrl, c.ctrl);
        EXPECT_EQ(press->alt, c.alt);
        EXPECT_EQ(press->key, c.key);
    }
    for (const char* bad : {"", "+", "Alt+", "Win+R", "F13", "Return!", "ab", "Alt++"})
        EXPECT_FALSE(ParseKey(bad).has_value()) << bad;
}

TEST(ScriptQuote, ShowsEveryCharacterOnOneLine) {
    EXPECT_EQ(Quote("a\nb\t\"c\"\\"), R"("a\nb\t\"c\"\\")");
    EXPECT_EQ(Quote(std::string("\x01", 1)), R"("\x01")");
    EXPECT_EQ(Quote(""), "\"\"");
}

}  // namespace
}  // namespace uidriver

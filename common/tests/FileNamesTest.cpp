// Which names from the package count as plain file names.
#include <gtest/gtest.h>

#include <string>

#include "common/FileNames.h"

namespace {

TEST(FileNamesTest, OnlyNamesOfAFileInTheFolderItselfArePlain) {
    struct Case {
        std::string name;
        bool plain;
    };
    const Case cases[] = {
        {"QSUSBMON.DLL", true},   {"0", true},          {"a b.hlp", true},
        {"QSDRV.DLL.", true},     {".hidden", true},    {"x..y", true},
        {"COM10.DLL", true},      {"LPT0", true},       {"CONSOLE.DLL", true},
        {std::string(300, 'x'), true},
        {"", false},              {".", false},         {"..", false},
        {"...", false},           {" . ", false},       {"..\\..\\QSHELP.DLL", false},
        {"drivers\\x.sys", false}, {"drivers/x.sys", false}, {"\\x.dll", false},
        {"C:X.DLL", false},       {"X.DLL:stream", false}, {"*.DLL", false},
        {"X?.DLL", false},        {"a\"b", false},      {"a<b", false},
        {"a>b", false},           {"a|b", false},       {"a\tb", false},
        {std::string("a\0b", 3), false},
        {"NUL", false},           {"nul.dll", false},   {"CON", false},
        {"PRN.TXT", false},       {"aux", false},       {"COM1", false},
        {"LPT9.DLL", false},      {"lpt1 .dll", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsPlainFileName(c.name), c.plain) << '"' << c.name << '"';
}

}  // namespace

// The resource script and the engine share one set of texts: every string of
// the table is in the script's STRINGTABLE under its own number, once.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "uninstall/Messages.h"
#include "uninstall/tests/UninstallMachine.h"

namespace {

TEST(ResourceScriptTest, StringTableHoldsEveryTextUnderItsNumber) {
    const std::string script = unstest::HostFile(KV_UNINSTALL_RC);
    ASSERT_FALSE(script.empty());
    const size_t table = script.find("STRINGTABLE");
    ASSERT_NE(table, std::string::npos);
    const std::string body = script.substr(table, script.find("END", table) - table);
    std::set<std::string> seen;
    const std::regex entry(R"((IDS_\w+)\s*,\s*TEXT_(\d+))");
    for (auto it = std::sregex_iterator(body.begin(), body.end(), entry);
         it != std::sregex_iterator(); ++it) {
        EXPECT_TRUE(seen.insert((*it)[2]).second) << "twice: " << (*it)[2];
    }
    EXPECT_EQ(seen.size(), std::size(uninstall::kUninstallStrings));
    int32_t expected = 101;
    for (const auto& s : uninstall::kUninstallStrings) {
        EXPECT_EQ(s.id, expected++);
        EXPECT_TRUE(seen.count(std::to_string(s.id))) << s.id;
        EXPECT_STRNE(s.text, "");
    }
    EXPECT_EQ(expected, 124);
}

TEST(MessagesTest, FormatReplacesOnlyThePlaceholder) {
    EXPECT_EQ(uninstall::FormatString(IDS_DELETED, "100%s done"), "100%s done has been deleted.");
    EXPECT_EQ(uninstall::FormatString(IDS_SELECT_ITEMS, "x"), TEXT_107);
    EXPECT_STREQ(uninstall::UninstallString(99), "");
}

}  // namespace

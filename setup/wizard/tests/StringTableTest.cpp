// Setup.rc's string table holds the engine's texts unchanged, and the wizard's
// own: a text shown from code and the same text loaded by number never differ.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "setup/engine/Messages.h"
#include "setup/res/resource.h"
#include "setup/wizard/WizardTexts.h"

namespace {

// Decodes an .rc string literal body: "" is a quote, \n a new line, \t a tab,
// \ooo an octal byte.
std::string Decode(const std::string& body) {
    std::string out;
    for (size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '"' && i + 1 < body.size() && body[i + 1] == '"') {
            out += '"';
            ++i;
        } else if (c == '\\' && i + 1 < body.size()) {
            const char e = body[++i];
            if (e == 'n') out += '\n';
            else if (e == 't') out += '\t';
            else if (e == '\\') out += '\\';
            else if (e >= '0' && e <= '7') {
                int value = 0, digits = 0;
                while (digits < 3 && i < body.size() && body[i] >= '0' && body[i] <= '7') {
                    value = value * 8 + (body[i] - '0');
                    ++i;
                    ++digits;
                }
                --i;
                out += static_cast<char>(value);
            } else out += e;
        } else {
            out += c;
        }
    }
    return out;
}

// The entries "    <id> "<text>"" of every STRINGTABLE block.
std::map<int, std::string> ReadStringTable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::map<int, std::string> table;
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("STRINGTABLE", 0) == 0) inTable = true;
        if (!inTable) continue;
        if (line == "END") {
            inTable = false;
            continue;
        }
        std::istringstream fields(line);
        int id = 0;
        if (!(fields >> id)) continue;
        const size_t open = line.find('"'), close = line.rfind('"');
        if (open == std::string::npos || close <= open) continue;
        table[id] = Decode(line.substr(open + 1, close - open - 1));
    }
    return table;
}

TEST(StringTable, HoldsEveryTextOfTheEngineAndTheWizard) {
    const auto table = ReadStringTable(KV_SETUP_RC);
    ASSERT_FALSE(table.empty());
    for (const auto& entry : msg::kSetupStrings) {
        SCOPED_TRACE(entry.id);
        ASSERT_TRUE(table.count(entry.id));
        EXPECT_EQ(table.at(entry.id), entry.text);
    }
    EXPECT_EQ(table.at(IDS_SUPPORT_MULTI_USB), wiztext::kSupportMultiUsb);
    EXPECT_EQ(table.at(IDS_SUPPORT_DRIVER_MODE), wiztext::kSupportDriverMode);
    EXPECT_EQ(table.at(IDS_CAPTION_MODULE), wiztext::kPageCaptions[0]);
    EXPECT_EQ(table.at(IDS_CAPTION_SETUP_TYPE), wiztext::kPageCaptions[1]);
    EXPECT_EQ(table.at(IDS_CAPTION_OS), wiztext::kPageCaptions[2]);
    EXPECT_EQ(table.at(IDS_CAPTION_PORT), wiztext::kPageCaptions[3]);
    // Nothing else: a number of the table is a text of the code.
    EXPECT_EQ(table.size(), std::size(msg::kSetupStrings) + 6);
}

}  // namespace

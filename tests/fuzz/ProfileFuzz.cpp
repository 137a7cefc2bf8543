// A libFuzzer entry point for the profile reader, outside the regular build
// (it needs clang's -fsanitize=fuzzer). Build and run it by hand:
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
//       platform/sim/tests/IniLibFuzzer.cpp platform/sim/SimIni.cpp -o /tmp/ini-fuzz
//   /tmp/ini-fuzz -max_total_time=60 -max_len=65536
//
// The first bytes choose the size and the names looked up; the rest is the
// INI text. The checks are those of IniFuzzTest: no value longer than
// size - 1, the default when nothing is found, and edits that keep the text
// readable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sim/SimIni.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const uint32_t bufferSize = data[0] | (data[1] & 0x0F) << 8;  // 0..4095
    const std::string section(1, static_cast<char>('a' + data[2] % 4));
    const std::string key(1, static_cast<char>('k' + data[3] % 4));
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);

    std::string value = plat::sim::ProfileString(text, section, key, "dflt", bufferSize);
    if (bufferSize == 0 ? !value.empty() : value.size() > bufferSize - 1) std::abort();
    if (!plat::sim::FindProfileValue(text, section, key) &&
        value != std::string("dflt").substr(0, bufferSize ? bufferSize - 1 : 0))
        std::abort();

    std::string edited = plat::sim::EditProfile(text, section, key.c_str(), "new value");
    auto found = plat::sim::FindProfileValue(edited, section, key);
    // A section whose header has no ']' can't be found again; any other edit can.
    if (text.find('[') == std::string::npos && text.find('\0') == std::string::npos &&
        (!found || *found != "new value"))
        std::abort();
    return 0;
}

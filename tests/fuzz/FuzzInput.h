// What the fuzz targets share: the input split into its parts, and a check
// that fails loudly (the fuzzer then keeps the input as a crash).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

// A check of the target: a failure prints its text and aborts.
inline void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// The input after its first `header` bytes, cut at form feeds into at most
// `count` parts (the last part keeps any further form feed); missing parts
// are empty. A form feed never stands in an INI file a person writes.
inline std::vector<std::string> Parts(const uint8_t* data, size_t size, size_t header,
                                      size_t count) {
    std::vector<std::string> parts(count);
    if (size <= header) return parts;
    std::string rest(reinterpret_cast<const char*>(data + header), size - header);
    for (size_t i = 0; i + 1 < count; ++i) {
        const size_t cut = rest.find('\f');
        if (cut == std::string::npos) {
            parts[i] = std::move(rest);
            return parts;
        }
        parts[i] = rest.substr(0, cut);
        rest.erase(0, cut + 1);
    }
    parts[count - 1] = std::move(rest);
    return parts;
}

// The header byte `i`, 0 when the input is shorter.
inline uint8_t Byte(const uint8_t* data, size_t size, size_t i) { return i < size ? data[i] : 0; }

}  // namespace fuzz

#pragma once

// Helpers shared by the fuzz targets: the input as text, and a check that stops the run loudly
// when a property of the readers does not hold.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace dyd::fuzz {

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? std::string_view()
                     : std::string_view(reinterpret_cast<const char*>(data), size);
}

inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

}  // namespace dyd::fuzz

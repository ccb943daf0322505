// Arbitrary bytes as an LZW stream, into a destination of exactly the
// capacity given, so a write past it or a read past the input is caught;
// then the same bytes packed and unpacked must come back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/lzw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 20)) return 0;
    // Small capacities stop mid-copy; large ones let long streams run out.
    int32_t capacity = size % 2 ? 1 << 16 : (int32_t)(size / 2);
    std::vector<uint8_t> out((size_t)capacity);
    int32_t written = decodeLzw(data, (int32_t)size, out.data(), capacity);
    if (written < 0 || written > capacity) __builtin_trap();

    std::vector<uint8_t> packed;
    encodeLzw(data, size, packed);
    std::vector<uint8_t> back(size);
    if (decodeLzw(packed.data(), (int32_t)packed.size(), back.data(), (int32_t)size) != (int32_t)size) __builtin_trap();
    if (size && memcmp(back.data(), data, size) != 0) __builtin_trap();
    return 0;
}

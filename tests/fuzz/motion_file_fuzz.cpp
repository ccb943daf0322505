// Arbitrary bytes as a motion file. The input has no NUL behind it, so any
// read past its end is caught; nothing may be written outside the record,
// and its name stays terminated.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/motion_files.h"

namespace {
struct Guarded {
    MotionRecord record;
    uint8_t canary[64];
};
Guarded g;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    memset(&g, 0, sizeof g);
    memset(g.canary, 0xA5, sizeof g.canary);
    parseMotionFile(reinterpret_cast<const char*>(data), static_cast<int32_t>(size), g.record);
    for (uint8_t c : g.canary)
        if (c != 0xA5) __builtin_trap();
    if (!memchr(g.record.name, 0, sizeof g.record.name)) __builtin_trap();
    return 0;
}

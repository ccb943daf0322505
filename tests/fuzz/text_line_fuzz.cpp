// Arbitrary bytes through the shared line rules and the configuration
// reader. The input has no NUL behind it, so any read past its end is caught.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/config_index.h"
#include "engine/text_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    const char* text = reinterpret_cast<const char*>(data);
    TextCursor cursor = beginText(text, static_cast<int32_t>(size));
    TextLine line;
    char value[TEXT_STRING_MAX + 1];
    while (nextDataLine(cursor, line)) {
        if (line.start < text || line.end > text + size || line.start >= line.end) __builtin_trap();
        if (*line.start == '/' || memchr(line.start, '\n', static_cast<size_t>(line.end - line.start))) __builtin_trap();
        // Every line is tried as a value of each kind, from each of its first bytes.
        for (const char* from = line.start; from < line.end && from < line.start + 4; from++) {
            int32_t ints[3] = {};
            float floats[3] = {};
            if (parseTextInts(from, line.end, ':', ints, 3) > 3) __builtin_trap();
            parseTextFloats(from, line.end, ' ', floats, 3);
            for (float f : floats) {
                if (!std::isfinite(f)) __builtin_trap();
            }
        }
        const char* v = lineValue(line, "key:");
        copyTextString(v ? v : line.start, line.end, value);
        if (strlen(value) > static_cast<size_t>(TEXT_STRING_MAX)) __builtin_trap();
    }
    parseConfigIndex(text, static_cast<int32_t>(size));
    if (gFontEdgeWidth < 0 || gFontEdgeWidth > FONT_EDGE_MAX) __builtin_trap();
    if (gFontEdgeFalloff < 0 || gFontEdgeFalloff > FONT_EDGE_MAX) __builtin_trap();
    if (!memchr(gFontFaceName, 0, sizeof gFontFaceName)) __builtin_trap();
    return 0;
}

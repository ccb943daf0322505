// Arbitrary text through the town places' event rule reader. The input has
// no NUL behind it, so any read past its end is caught; every table must
// keep its built-in or end rows, stay within its rows and hold only phases
// 0..3 and windows in the order the reader writes them.
#include <cstddef>
#include <cstdint>

#include "story/story.h"
#include "story/story_state.h"

static void checkTables() {
    const PlaceEventRule& builtIn = gPlaceEventRules[PLACE_TABLE_PLAZA][0];
    if (builtIn.major != 11 || builtIn.minor != 1) __builtin_trap();
    for (const auto& table : gPlaceEventRules) {
        bool ended = false;
        for (const PlaceEventRule& rule : table) {
            if (rule.major == -1) {
                ended = true;
                continue;
            }
            if (ended) __builtin_trap();   // a rule behind the end row
            if (rule.major < 0 || rule.minor < 0 || rule.minLoop < 0) __builtin_trap();
            if (rule.phaseMin < 0 || rule.phaseMax > 3 || rule.phaseMin > rule.phaseMax) __builtin_trap();
            for (const PlaceEventWindow& w : rule.windows)
                if (w.start < -1 || (w.start == -1 && w.end != -1)) __builtin_trap();
        }
        if (!ended) __builtin_trap();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    parsePlaceEventRules(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
    checkTables();
    return 0;
}

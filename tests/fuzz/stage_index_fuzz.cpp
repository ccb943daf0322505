// Arbitrary bytes as a stage index. The input has no NUL behind it, so any
// read past its end is caught; every record must stay within its limits.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/stage_index.h"

static bool terminated(const char* name) { return memchr(name, 0, STAGE_NAME_SIZE) != nullptr; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    for (StageRecord& s : gStages) s = StageRecord{};
    parseStageIndex(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
    if (gStageCount < 0 || gStageCount > STAGE_CODE_COUNT) __builtin_trap();
    for (int32_t i = 0; i < gStageCount; i++) {
        const StageRecord& s = gStages[i];
        if (s.stageCode < 0 || s.stageCode >= STAGE_CODE_COUNT) __builtin_trap();
        if (s.mapCount < 0 || s.mapCount > STAGE_MAP_MAX) __builtin_trap();
        if (s.mapcameraCount < 0 || s.mapcameraCount > STAGE_CAMERA_MAX) __builtin_trap();
        if (!terminated(s.mapbg) || !terminated(s.minimap) || !terminated(s.fishmap) || !terminated(s.waterfile))
            __builtin_trap();
        for (int32_t m = 0; m < s.mapCount; m++) {
            if (!terminated(s.map[m])) __builtin_trap();
        }
        for (int32_t c = 0; c < s.mapcameraCount; c++) {
            if (!terminated(s.mapcamera[c])) __builtin_trap();
        }
    }
    return 0;
}

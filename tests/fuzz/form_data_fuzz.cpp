// Arbitrary bytes as "bmp/chr/formdata.bin". The input is copied into a
// buffer of its own size, so any read past its end is caught; every frame
// of every motion is built against a small sheet and must stay within the
// vertex buffer and the sheet's texture coordinates.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/archive.h"
#include "engine/motion_files.h"
#include "field/field.h"
#include "field/field_state.h"

namespace {
SpriteCellVertex gVertices[6 * MOTION_SPRITE_CELL_MAX];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    gFormData.assign(data, data + size);
    for (int32_t m = 0; m < 3; ++m) {
        MotionRecord& r = gMotions[m];
        r.layoutWidth = 32 * (m + 1);
        r.layoutTop = 64;
        r.scalePercent = 100;
        for (int32_t i = 0; i < MOTION_BLOCK_VALUES; ++i) r.frames[0][i] = i;
    }
    for (int32_t m = 0; m < 3; ++m) {
        for (int32_t row = 0; row < MOTION_BLOCK_VALUES / MOTION_ROW_VALUES; ++row) {
            MotionState s = {};
            s.keyIndex = row;
            s.direction = row % MOTION_DIRECTION_COUNT;
            int32_t n = buildMotionSprite(s, m, 64, 64, 0xFF7F7F7F, gVertices);
            if (n < 0 || n > 6 * MOTION_SPRITE_CELL_MAX || n % 6 != 0) __builtin_trap();
            for (int32_t i = 0; i < n; ++i)
                if (gVertices[i].u < 0.0f || gVertices[i].u > 1.0f || gVertices[i].v < 0.0f || gVertices[i].v > 1.0f)
                    __builtin_trap();
        }
    }
    return 0;
}

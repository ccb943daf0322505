// tests/engine/recorded_filters.h: stage 0's filtering at each draw the
// recording device logged, replayed from the log's first line, for tests
// that a draw sets its own filters rather than inherit them.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/device.h"
#include "platform/gfx.h"

// Leaves point sampling behind, as a scene drawing pixel art would.
inline void leavePointFiltering() {
    gGfxDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_POINT);
    gGfxDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_POINT);
}

struct RecordedFilterDraws {
    int32_t draws;    // draws logged
    int32_t linear;   // those made with linear magnification and minification
};

inline RecordedFilterDraws recordedFilterDraws() {
    RecordedFilterDraws out = {0, 0};
    uint32_t magnify = GFX_FILTER_POINT, minify = GFX_FILTER_POINT;
    for (int32_t i = 0; i < gGfxRecord.count; ++i) {
        int stage = -1, state = -1;
        unsigned value = 0;
        if (sscanf(gGfxRecord.lines[i], "setTextureStageState %d %d %u", &stage, &state, &value) == 3) {
            if (stage == 0 && state == GFX_TSS_MAGFILTER) magnify = value;
            if (stage == 0 && state == GFX_TSS_MINFILTER) minify = value;
        } else if (strncmp(gGfxRecord.lines[i], "drawPrimitiveUP", 15) == 0) {
            ++out.draws;
            out.linear += magnify == GFX_FILTER_LINEAR && minify == GFX_FILTER_LINEAR;
        }
    }
    return out;
}

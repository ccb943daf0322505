// Arbitrary bytes as a text collision mesh, built into a map block and
// asked a few questions. Every staged face must name staged vertices, the
// block must stay within its limit, and the queries must not fault.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dungeon/dungeon.h"
#include "field/field.h"
#include "field/field_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    static bool once = [] {
        resetFloorMap();
        gMapGrid[0][0].blockId = 0;
        gPlacedBlocks.countA = 1;
        return true;
    }();
    (void)once;
    clearMapBlocks();
    int32_t faces = readCollisionText(reinterpret_cast<const char*>(data), (int32_t)size, "fuzz.x");
    if (faces < 0 || faces > COLLISION_STAGE_MAX) __builtin_trap();
    for (int32_t f = 0; f < faces; ++f)
        for (int32_t v : gCollisionFaces[f].vertex)
            if (v < 0 || v >= COLLISION_STAGE_MAX) __builtin_trap();
    buildBlockCollision(0, faces, 0);
    const MapBlock& block = gMapBlocks[0];
    if (block.triangleCount < 0 || block.triangleCount > MAP_BLOCK_TRIANGLE_MAX) __builtin_trap();
    float probe[6] = {0.0f, 5.0f, 0.0f, 0.0f, -10.0f, 0.0f};
    memcpy(probe, data, size < sizeof probe ? size : sizeof probe);
    CollisionHit hit = {};
    float t = 0.0f;
    findGroundUnder(probe[0], probe[1], probe[2], &hit);
    castMapSegment(probe[0], probe[1], probe[2], probe[3], probe[4], probe[5], &t, &hit);
    gInvisibleWallsOn = !gInvisibleWallsOn;
    return 0;
}

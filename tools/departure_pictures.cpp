#include "tools/departure_pictures.h"

#include "dungeon/departure_cells.h"

namespace {

const uint32_t LANDMARK_HUES[DUNGEON_MAP_PLACE_COUNT] = {0xFFB0A080, 0xFF50B070, 0xFFE0A040,
                                                         0xFF383048, 0xFF4868C0, 0xFFA0E0F0};

// A landmark's middle: above the dungeon's name.
int32_t landmarkX(int32_t d) { return (int32_t)DUNGEON_MAP_PLACES[d].x + 64; }
int32_t landmarkY(int32_t d) { return (int32_t)DUNGEON_MAP_PLACES[d].y + 48; }

}   // namespace

Canvas drawDungeonMap() {
    const uint32_t sea = 0xFF284878, land = 0xFF6A8A50, road = 0xFFD8C898;
    Canvas c = makeCanvas(1024, 512, sea);
    fillRect(c, 8, 40, 632, 472, land);
    fillRect(c, 560, 300, 640, 420, sea);   // a bay to the south-east
    // The town in the south-west, the roads out to each dungeon.
    const int32_t townX = 96, townY = 400;
    fillRect(c, townX - 30, townY - 20, townX + 30, townY + 20, 0xFFB04830);
    for (int32_t d = 0; d < DUNGEON_MAP_PLACE_COUNT; ++d) {
        int32_t x = landmarkX(d), y = landmarkY(d);
        line(c, (float)townX, (float)townY, (float)x, (float)(y + 24), road);
    }
    for (int32_t d = 0; d < DUNGEON_MAP_PLACE_COUNT; ++d) {
        int32_t x = landmarkX(d), y = landmarkY(d);
        uint32_t hue = LANDMARK_HUES[d];
        panel(c, x - 36, y - 28, x + 36, y + 24, 8.0f, mix(hue, WHITE, 0.3f), hue, INK, 2.5f);
        fillRect(c, x - 10, y - 4, x + 10, y + 24, mix(hue, BLACK, 0.6f));   // its gate
    }
    fillRect(c, 0, 0, 640, 6, GOLD_DARK);
    fillRect(c, 0, 474, 640, 480, GOLD_DARK);
    fillRect(c, 0, 0, 6, 480, GOLD_DARK);
    fillRect(c, 634, 0, 640, 480, GOLD_DARK);
    return c;
}

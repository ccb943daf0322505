// dungeon/departure_cells.h: where the departure screen's dungeon map puts
// its six dungeons on the 640 x 480 screen (the map picture is drawn whole).
// tools/makepictures draws the sample map "bmp/dungeonmap.tga" to this layout.
#pragma once
#include <cstdint>

constexpr int32_t DUNGEON_MAP_PLACE_COUNT = 6;
// A dungeon's place: its top-left; the pointer stands at (x + 32, y + 88),
// the name is written at (x + 48, y + 80).
struct DungeonMapPlace {
    float x;
    float y;
};
constexpr DungeonMapPlace DUNGEON_MAP_PLACES[DUNGEON_MAP_PLACE_COUNT] = {
    {-16, 112}, {112, 179}, {240, 96}, {408, 160}, {488, 64}, {272, 256},
};
constexpr float DUNGEON_MAP_NAME_DX = 48.0f;
constexpr float DUNGEON_MAP_NAME_DY = 80.0f;

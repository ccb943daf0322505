// story/world_map_cells.h: the town map's places, where they lie on the
// 640 x 480 screen and which icon cell shows them. tools/makepictures draws
// the sample town map and icon sheet to this layout.
#pragma once
#include <cstdint>

#include "engine/frame_loop.h"

constexpr int32_t WORLD_MAP_PLACE_COUNT = 7;

// A place's spot on the screen, its cell on the icon sheet (56 texels high
// each) and the game mode choosing it enters.
struct WorldMapPlace {
    int32_t x;
    int32_t y;
    int32_t iconCell;
    int32_t gameMode;
};
constexpr WorldMapPlace WORLD_MAP_PLACES[WORLD_MAP_PLACE_COUNT] = {
    {230, 400, 0, GAME_MODE_FIELD},       // the shop
    {43, 294, 3, GAME_MODE_MARKET},       // market
    {230, 276, 1, GAME_MODE_PLAZA},       // plaza
    {440, 276, 5, GAME_MODE_MARKET},      // merchants' guild
    {30, 196, 4, GAME_MODE_TAVERN},       // tavern
    {160, 136, 2, GAME_MODE_CHURCH},      // church
    {448, 88, 6, GAME_MODE_DEPARTURE},    // adventurers' guild
};

// story/event_cells.h: where the event's pieces lie in its pictures, in
// texels. tools/makepictures draws the sample sheets to this layout.
#pragma once
#include <cstdint>

#include "engine/sprites.h"

constexpr int32_t EVENT_SHEET_SIZE = 512;   // the window and the name sheet
constexpr int32_t EVENT_BACKGROUND_WIDTH = 1024;
constexpr int32_t EVENT_BACKGROUND_HEIGHT = 512;
constexpr int32_t EVENT_NAME_PLATE_WIDTH = 128;
constexpr int32_t EVENT_NAME_PLATE_HEIGHT = 32;
constexpr int32_t EVENT_NAME_PLATE_COUNT = 54;   // 22 in the upper columns, 32 below

// Where name-plate cell n lies on the name sheet: cells 0..21 in columns of
// seven from the top left, the rest in columns of eight from y 256.
constexpr SpriteSource eventNamePlateCell(int32_t cell) {
    float x, y;
    if (cell < 22) {
        x = (float)(EVENT_NAME_PLATE_WIDTH * (cell / 7));
        y = (float)(EVENT_NAME_PLATE_HEIGHT * (cell % 7));
    } else {
        int32_t m = cell - 22;
        x = (float)(EVENT_NAME_PLATE_WIDTH * (m / 8));
        y = (float)(256 + EVENT_NAME_PLATE_HEIGHT * (m % 8));
    }
    return {x, y, x + EVENT_NAME_PLATE_WIDTH, y + EVENT_NAME_PLATE_HEIGHT};
}

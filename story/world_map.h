// story/world_map.h: the town map (game mode 8): seven places on a picture
// of the town, a cursor that moves between them, and the choice that enters
// the chosen place's mode. Which places are open or marked is worked out
// once on entry (enterWorldMap, at the scene loader's end) from the story
// flags, the weekday, the day phase and the waiting place events; the map
// then runs its tick and its draw on the main thread. The cursor place
// outlives the map: the scenes the map leads to set it to the place the
// player comes back from, and the HUD reads it.
#pragma once
#include <cstdint>

#include "story/story.h"
#include "story/story_state.h"
#include "story/world_map_cells.h"

constexpr int32_t WORLD_MAP_GRID_ROWS = 5;
constexpr int32_t WORLD_MAP_GRID_COLUMNS = 3;

// The cursor's grid, top row first: place numbers, -1 empty. A place may
// fill several cells; its own cell is the first in row order.
extern const int32_t WORLD_MAP_GRID[WORLD_MAP_GRID_ROWS][WORLD_MAP_GRID_COLUMNS];

// The map's place states from the running game (enterWorldMap's first step).
void prepareWorldMapPlaces();
// The map: the background (scaled by scale, 1.0 full size), the icons and the
// "Closed" labels.
void drawWorldMapPanel(float scale);
// Moves the cursor by the first direction of the auto-repeat word; with small
// non-zero the pointer's target is scaled as the map drawn small.
void moveWorldMapCursor(int32_t small);
void clearWorldMapPlace();

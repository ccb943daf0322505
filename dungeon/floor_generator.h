// dungeon/floor_generator.h: the layout of a dungeon floor. generateFloor
// chooses the grid size from the dungeon and floor, carves a tree of rooms
// and corridors, adds loops and edge stubs, fits one of the stage's map
// blocks to every route cell (gFloorGrid.mapGrid, dungeon/dungeon_state.h) and chooses the
// start, the exit, the chest cells and the traps.
//
// It runs once per floor inside startFloor on the scene loader thread, and
// draws from the shared random generator in a fixed order, so a seed gives
// one floor. Everything here is rebuilt by every call and read until the
// next floor starts (enemy spawner, minimap, warp trap, floor start).
#pragma once
#include <cstdint>

#include "dungeon/dungeon.h"
#include "engine/math.h"

constexpr int32_t FLOOR_TRIES = 50;

// 1 when (col, row) of the current grid is a route cell; 0 outside it.
int32_t roomLinkAt(int32_t col, int32_t row);
// The centre of a cell: (-40 col, 0, -40 row).
Vector3 cellCentre(GridCell cell);
// The route cells actually stored (at most ROUTE_CELL_MAX).
int32_t storedRouteCount();

// Expects gFloorPlan.routeCount 0; chooses the grid and carves the route.
void layoutRooms();
// One carving step from the room at (col, row) in direction (dx, dy).
void carveRoute(int32_t col, int32_t row, int32_t dx, int32_t dy);
// The route count at which carving stops on a columns x rows grid. Pure.
int32_t carveLimit(int32_t columns, int32_t rows);

// dungeon/floor_generator.h: the layout of a dungeon floor. generateFloor
// chooses the grid size from the dungeon and floor, carves a tree of rooms
// and corridors, adds loops and edge stubs, fits one of the stage's map
// blocks to every route cell (gMapGrid, dungeon/dungeon_state.h) and chooses the
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

constexpr int32_t ROUTE_CELL_MAX = 100;    // route cells stored (the count goes on)
constexpr int32_t TRAP_MAX = 20;
constexpr int32_t FLOOR_TRIES = 50;

struct TrapEntry {
    Vector3 position;
    GridCell cell;
    int32_t kind;    // 0 none
    int32_t armed;   // 0 or 1
};

extern int32_t gRouteGrid[MAP_GRID_SIZE][MAP_GRID_SIZE];   // [row][col]: 1 route cell
extern GridCell gRouteCells[ROUTE_CELL_MAX];               // in the order added
extern int32_t gRouteCount;                                // cells added, stored or not
extern GridCell gStartCell;                                // the carve's first room
// gRouteGrid with a row stride of gRoomsX: read through roomLinkAt.
extern int32_t gRoomLinks[MAP_GRID_SIZE * MAP_GRID_SIZE];
extern int32_t gRoomCount;                                 // gRouteCount of the last floor
extern Vector3 gFloorStartPos;
extern TrapEntry gTrapList[TRAP_MAX];

// 1 when (col, row) of the current grid is a route cell; 0 outside it.
int32_t roomLinkAt(int32_t col, int32_t row);
// The centre of a cell: (-40 col, 0, -40 row).
Vector3 cellCentre(GridCell cell);
// The route cells actually stored (at most ROUTE_CELL_MAX).
int32_t storedRouteCount();

// Expects gRouteCount 0; chooses the grid and carves the route.
void layoutRooms();
// One carving step from the room at (col, row) in direction (dx, dy).
void carveRoute(int32_t col, int32_t row, int32_t dx, int32_t dy);
// The route count at which carving stops on a columns x rows grid. Pure.
int32_t carveLimit(int32_t columns, int32_t rows);

// dungeon/floor_map.h: the layout of the current floor that the map
// collision and the map drawing read: the dungeon's room grid, the shop's
// placed furniture blocks and the scripted (breakable) blocks. The floor
// generator and the floor start write them; until they arrive every floor
// starts empty.
#pragma once
#include <cstdint>

constexpr int32_t MAP_GRID_SIZE = 15;

struct MapCell {
    int32_t blockId;      // index of one of the stage's map blocks; -1 empty
    int32_t rotation;     // quarter turns 0..3
    int32_t shapeIndex;   // 0..9
    int32_t flags;
};
extern MapCell gMapGrid[MAP_GRID_SIZE][MAP_GRID_SIZE];   // [row by z][column by x]
extern int32_t gRoomsX;             // columns and rows of the grid in use
extern int32_t gRoomsY;
extern int32_t gSingleBlockFloor;   // 1: the floor is the one block of cell (row 1, column 1)
extern int32_t gInvisibleWallsOn;   // 1: surfaces of code 7 collide

// The shop's furniture: group A in slots 0..4, group B in slots 5 onward.
constexpr int32_t PLACED_SLOT_COUNT = 20;
constexpr int32_t PLACED_GROUP_A_MAX = 5;
constexpr int32_t PLACED_GROUP_B_MAX = 10;
constexpr int32_t PLACED_GROUP_B_FIRST = 5;
struct PlacedBlocks {
    int32_t countA;
    int32_t countB;
    int32_t blockId[PLACED_SLOT_COUNT];
    float position[PLACED_SLOT_COUNT][3];
    float yaw[PLACED_SLOT_COUNT];   // radians about y
};
extern PlacedBlocks gPlacedBlocks;

constexpr int32_t BREAKABLE_OBJECT_MAX = 50;
// Parallel arrays; entries below count are in use.
struct BreakableObjects {
    int32_t count;
    int32_t alive[BREAKABLE_OBJECT_MAX];
    int32_t hitsLeft[BREAKABLE_OBJECT_MAX];
    int32_t blockId[BREAKABLE_OBJECT_MAX];
    int32_t flashTimer[BREAKABLE_OBJECT_MAX];
    float position[BREAKABLE_OBJECT_MAX][3];
    float scale[BREAKABLE_OBJECT_MAX];
    float yaw[BREAKABLE_OBJECT_MAX];
};
extern BreakableObjects gBreakableObjects;

// The floor's marked cells (column, row): entry 0 the start, entry 1 the
// exit gate, entries 2 onward the chests; count is the number of chest cells.
// A mark shows on the mini-map once its seen flag is set.
constexpr int32_t LAYOUT_CELL_MAX = 10;
struct LayoutCells {
    int32_t count;
    int32_t cells[LAYOUT_CELL_MAX][2];
};
extern LayoutCells gLayoutCells;
extern int32_t gFloorCellSeen[LAYOUT_CELL_MAX];

// An empty grid (every block -1), no furniture, no objects, flags off.
void resetFloorMap();

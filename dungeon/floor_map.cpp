// dungeon/floor_map.cpp: the layout of the current floor that the map
// collision and the map drawing read.
#include "dungeon/dungeon.h"

MapCell gMapGrid[MAP_GRID_SIZE][MAP_GRID_SIZE];
int32_t gRoomsX;
int32_t gRoomsY;
int32_t gSingleBlockFloor;
int32_t gInvisibleWallsOn;
PlacedBlocks gPlacedBlocks;
BreakableObjects gBreakableObjects;

LayoutCells gLayoutCells;
int32_t gFloorCellSeen[LAYOUT_CELL_MAX];

void resetFloorMap() {
    for (MapCell(&row)[MAP_GRID_SIZE] : gMapGrid)
        for (MapCell& cell : row) cell = MapCell{-1, 0, 0, 0};
    gRoomsX = 0;
    gRoomsY = 0;
    gSingleBlockFloor = 0;
    gInvisibleWallsOn = 0;
    gPlacedBlocks = PlacedBlocks{};
    gBreakableObjects = BreakableObjects{};
    gLayoutCells = LayoutCells{};
    for (int32_t& seen : gFloorCellSeen) seen = 0;
}

// dungeon/floor_map.cpp: the layout of the current floor that the map
// collision and the map drawing read.
#include "dungeon/dungeon.h"

FloorGrid gFloorGrid;
PlacedBlocks gPlacedBlocks;
BreakableObjects gBreakableObjects;

LayoutCells gLayoutCells;

void resetFloorMap() {
    gFloorGrid = FloorGrid{};
    for (MapCell(&row)[MAP_GRID_SIZE] : gFloorGrid.mapGrid)
        for (MapCell& cell : row) cell = MapCell{-1, 0, 0, 0};
    gPlacedBlocks = PlacedBlocks{};
    gBreakableObjects = BreakableObjects{};
    gLayoutCells = LayoutCells{};
}

void destroyBreakableObject(int32_t i) {
    if (i >= 0 && i < BREAKABLE_OBJECT_MAX) gBreakableObjects.alive[i] = 0;
}

#include "dungeon/departure.h"

// The hiring, packing and dungeon choice arrive with the departure screen.
void initDepartureScreen() {}
void saveDepartureListState() {}
void restoreDepartureListState() {}

int32_t getDungeonFloorCount(int32_t dungeon) {
    if (dungeon < 0 || dungeon >= DUNGEON_COUNT_TOTAL) return 0;
    return 5 * DUNGEON_FLOOR_BLOCKS[dungeon];
}

// The run's stage keys arrive with the departure screen.
void selectDungeonStage() {}

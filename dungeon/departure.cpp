#include "dungeon/departure.h"

// The hiring, packing and dungeon choice arrive with the departure screen.
void initDepartureScreen() {}
void saveDepartureListState() {}
void restoreDepartureListState() {}
// The run's stage keys arrive with the departure screen.
void selectDungeonStage() {}

#include "dungeon/departure.h"

// The hiring, packing and dungeon choice arrive with the departure screen.
void initDepartureScreen() {}
void saveDepartureListState() {}
void restoreDepartureListState() {}

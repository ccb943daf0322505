#include "dungeon/dungeon.h"

// The finale arrives with the final floor.
void spinFinalFloorBlock() {}

#include "dungeon/traps.h"
#include "dungeon/dungeon.h"

// Traps arrive with the floor's traps.
void checkTrapProximity() {}

int32_t triggerTrap(float, float, int32_t) { return 0; }

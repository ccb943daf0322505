#include "dungeon/traps.h"

// Traps arrive with the floor's traps.
void checkTrapProximity() {}

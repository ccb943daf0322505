#include "dungeon/fixed_floors.h"

int32_t gFloorScriptState;

void resetFixedFloorState() { gFloorScriptState = 0; }

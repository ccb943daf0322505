// dungeon/fixed_floors.h: the scripted set-ups of fixed and boss floors.
#pragma once
#include <cstdint>

// 0 while no fixed floor's script runs.
extern int32_t gFloorScriptState;
// Back to the values a fresh process starts with.
void resetFixedFloorState();

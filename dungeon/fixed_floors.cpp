#include "dungeon/fixed_floors.h"

int32_t gFloorScriptState;
int32_t gSequenceTimer;

// The fixed floors arrive with the bosses; until then every floor is an
// ordinary generated one.
void setupFloorDungeon0() {}
void setupFloorDungeon1() {}
void setupFloorDungeon2() {}
void setupFloorDungeon3() {}
void setupFloorDungeon4() {}
void setupFloorDungeon5() {}
void resetSequenceTimer() { gSequenceTimer = 0; }

void resetFixedFloors() {
    gFloorScriptState = 0;
    gSequenceTimer = 0;
}

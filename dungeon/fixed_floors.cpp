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

// The frame scripts arrive with the boss floors; until then a dungeon floor
// has no script of its own.
void runDungeon0Script() {}
void runDungeon1Script() {}
void runDungeon2Script() {}
void runDungeon3Script() {}
void runDungeon4Script() {}
void runDungeon5Script() {}

int32_t floorScriptStep() { return gFloorScriptState; }

void resetFixedFloors() {
    gFloorScriptState = 0;
    gSequenceTimer = 0;
}

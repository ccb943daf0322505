// dungeon/fixed_floors.h: each dungeon's fixed floors and bosses: the set-up
// the floor start runs for the current floor, and the floor scripts' words.
#pragma once
#include <cstdint>

#include "dungeon/dungeon.h"

extern int32_t gFloorScriptState;   // the floor script's step
extern int32_t gSequenceTimer;      // frames of the running floor sequence

// The fixed-floor set-up of the current floor of dungeon 0 .. 5.
void setupFloorDungeon0();
void setupFloorDungeon1();
void setupFloorDungeon2();
void setupFloorDungeon3();
void setupFloorDungeon4();
void setupFloorDungeon5();
void resetSequenceTimer();

// The frame script of dungeon 0 .. 4, and of dungeon 5 and above (the
// Boss Rush floors too): once per field frame on a dungeon floor.
void runDungeon0Script();
void runDungeon1Script();
void runDungeon2Script();
void runDungeon3Script();
void runDungeon4Script();
void runDungeon5Script();

// dungeon/fixed_floors.h: each dungeon's fixed floors and bosses: the set-up
// the floor start runs for the current floor, and the floor scripts (their
// words are gFloorScript).
#pragma once
#include <cstdint>

#include "dungeon/dungeon.h"

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

// The guild's first-departure events, asked before each departure-screen
// tick: 0 nothing to show, 1 an event was started (or its turn has passed),
// 2 the first-departure events are over and the screen leaves for town.
int32_t startDepartureEvent();

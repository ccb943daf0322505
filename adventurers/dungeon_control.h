// adventurers/dungeon_control.h: the player's control of the adventurer on a
// dungeon floor.
#pragma once

// The adventurer's tick: control, the party's movement and status.
void updateDungeonParty();
// The party's status tick alone (timers, gauges).
void updateStatusOfPlayer();

// adventurers/dungeon_control.h: the controlled character's per-tick
// control, on dungeon floors and (moving the heroine) on the shop floor.
// Main thread, once per logic tick.
#pragma once

// Member 0's movement, actions and skills for this tick.
void updateDungeonPlayer();
// The status tick of the party: timers, glows, the gauges.
void updateStatusOfPlayer();

#include "adventurers/dungeon_control.h"

// The player's steering and the status timers arrive with the dungeon
// control; until then the controlled character stands still.
void updateDungeonPlayer() {}
void updateStatusOfPlayer() {}

#include "adventurers/dungeon_control.h"

// The dungeon control arrives with the adventurer's control.
void updateDungeonParty() {}
void updateStatusOfPlayer() {}

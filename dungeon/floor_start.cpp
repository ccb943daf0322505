#include "dungeon/floor_start.h"

// The floor generator and the placing of the party arrive with the dungeon
// floors; until then a stage starts empty.
void startFloor() {}

// The run's adventurer and loot odds arrive with the dungeon floors; until
// then a run starts with nothing readied.
void beginExpedition() {}

// No blocks are placed until the floor builder arrives.
int32_t countPlacedShelves() { return 0; }

// The skill unlocks arrive with the floor start.
void refreshSkillUnlocks() {}
void settleBagOnReturn() {}

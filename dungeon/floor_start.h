// dungeon/floor_start.h: starting a field stage, run on the main thread at
// the end of the loader that loaded the stage.
#pragma once
#include <cstdint>

// Builds the current stage (gStageIndex, gFloorIndex) and places the party.
void startFloor();

// Readies the chosen adventurer and the loot odds when a run starts; the next
// startFloor shows the floor banner and the countdown.
void beginExpedition();

// The shelves the current stage's layout placed (its group B blocks); the
// vending sales try only those.
int32_t countPlacedShelves();

// Unlocks the chosen adventurer's skills that the level reached allows.
void refreshSkillUnlocks();

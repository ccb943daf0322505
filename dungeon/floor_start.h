// dungeon/floor_start.h: starting a field stage, run on the main thread at
// the end of the loader that loaded the stage.
#pragma once
#include <cstdint>

// Builds the current stage (gStageIndex, gFloorIndex) and places the party.
void startFloor();

// Readies the chosen adventurer and the loot odds when a run starts; the next
// startFloor shows the floor banner and the countdown.
void beginExpedition();

// On return from the dungeon: the items that belong to the adventurer leave
// the bag, her own equipment goes in, and the saved equipment sets return.
// The item choice runs it first. Until the floor start is built the bag
// comes back as it is.
void settleBagOnReturn();

// The shelves the current stage's layout placed (its group B blocks); the
// vending sales try only those.
int32_t countPlacedShelves();

// Unlocks the chosen adventurer's skills that the level reached allows.
void refreshSkillUnlocks();

// story/game_start.h: the start of the game chosen on the title. For 29 ticks
// the choice flashes; then the screen fades out, the running game is set up
// in slot 0 of the working copy (a new game, or the chosen slot carried into
// New Game+ or Survival, or loaded as it was, with its storage and equipment
// repaired against the item table and its levels and experience ranges held
// to the levels there are), the title's pictures go and the scene loader
// prepares the mode the game resumes in. Main thread.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

constexpr int32_t GAME_START_FADE_TICK = 30;   // the start counter at which the fade-out starts

// Once per tick while gTitle.startCounter is above 0.
void stepGameStart();

// Drops the stored items whose id has no row in the item table and packs
// the rest to the front in their order; storageCount becomes the number kept.
void repairStorage(GameState& game);
// Every equipped item its adventurer cannot use is replaced, in the slot and
// in the saved equipment, by that adventurer's initial item of the slot (or
// nothing).
void repairEquipment(GameState& game);
// The game mode a loaded game resumes in, by its resume location.
int32_t resumeGameMode(int32_t resumeLocation);

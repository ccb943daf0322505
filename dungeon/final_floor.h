// dungeon/final_floor.h: the finale floor of dungeon 4.
#pragma once

// Turns the crystal block one step.
void spinFinalFloorBlock();

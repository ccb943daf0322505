// dungeon/floor_start.h: starting a field stage, run by the loader thread.
#pragma once

// Builds the current stage (gStageIndex, gFloorIndex) and places the party.
void startFloor();

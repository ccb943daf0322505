#include "dungeon/final_floor.h"

// The finale arrives with the final floor.
void spinFinalFloorBlock() {}

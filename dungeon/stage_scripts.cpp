#include "dungeon/stage_scripts.h"

// Stage scripts arrive with the stages' scripts.
void runStageScript() {}

// engine/game_globals.h: the first step of start-up: the frame counters, the
// sprite batch's fixed vertex fields and the fade tiles.
#pragma once

void initGameGlobals();

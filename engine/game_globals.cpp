#include "engine/game_globals.h"

#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/sprites.h"

void initGameGlobals() {
    gGameMode = GAME_MODE_FIELD;   // start-up sets the title later
    gTickCounter = 0;
    gUpdateCount = 0;
    initSpriteVertices();
    initTransitionTiles();
}

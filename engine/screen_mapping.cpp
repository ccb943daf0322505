#include "engine/screen_mapping.h"

#include "engine/frame_loop.h"
#include "engine/sprites.h"
#include "engine/transition.h"

void initGameGlobals() {
    gGameMode = 1;   // start-up sets the title later
    gTickCounter = 0;
    initSpriteVertices();
    initTransitionTiles();
}

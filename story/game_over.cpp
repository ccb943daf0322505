#include "story/story.h"

// The scene's steps and events arrive with the game-over scene; until then
// entering it sets nothing up.
void enterGameOverScene() {}
void enterEndingSaveScene() {}

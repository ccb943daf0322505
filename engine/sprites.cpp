#include "engine/sprites.h"

int32_t gSpriteVertexCount;

// The batch's vertices arrive with the sprite batch.
void initSpriteVertices() {}

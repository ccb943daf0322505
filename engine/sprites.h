// engine/sprites.h: the 2D sprite batch.
#pragma once
#include <cstdint>

extern int32_t gSpriteVertexCount;   // vertices queued; 0 when empty

void initSpriteVertices();

// engine/sprites.h: the 2D sprite batch. Drawers describe quads in the
// 640 x 480 logical screen; addSpriteQuad scales them to the back buffer and
// queues them, and flushSprites draws the queue with the texture and states
// the caller has bound. The frame's render step empties the batch before it
// draws. Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/textures.h"

// One pre-transformed vertex: back-buffer pixels, colour, specular and one
// texture coordinate set; 32 bytes.
struct SpriteVertex {
    float x, y;
    float z;            // always 0
    float rhw;          // always 1
    uint32_t diffuse;   // 0xAARRGGBB
    uint32_t specular;  // always 0
    float u, v;
};
static_assert(sizeof(SpriteVertex) == 32);
static_assert(offsetof(SpriteVertex, diffuse) == 16);
static_assert(offsetof(SpriteVertex, u) == 24);

constexpr int32_t SPRITE_QUAD_MAX = 1424;
constexpr int32_t SPRITE_VERTEX_MAX = SPRITE_QUAD_MAX * 6;   // 8,544

// Where a quad goes, in logical units.
struct SpriteDest {
    float x, y, width, height;
};
// What it shows, in texels of the picture.
struct SpriteSource {
    float left, top, right, bottom;
};

extern SpriteVertex gSpriteBatch[SPRITE_VERTEX_MAX];
extern int32_t gSpriteVertexCount;   // vertices queued; 0 when empty

// Writes the three fields no quad changes (z, rhw, specular) into every vertex.
void initSpriteVertices();
// Queues one quad of six vertices. dst is overwritten with the back-buffer
// values: size scaled by W / 640, position scaled, truncated toward zero and
// moved by the camera shake. A quad that finds the batch full is dropped.
void addSpriteQuad(SpriteDest& dst, const SpriteSource& src, const TextureSlot& slot, uint32_t argb);
void flushSprites();

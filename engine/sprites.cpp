#include "engine/sprites.h"

#include "engine/settings.h"
#include "field/camera.h"

SpriteVertex gSpriteBatch[SPRITE_VERTEX_MAX];
int32_t gSpriteVertexCount;

void initSpriteVertices() {
    for (SpriteVertex& vertex : gSpriteBatch) {
        vertex.z = 0.0f;
        vertex.rhw = 1.0f;
        vertex.specular = 0;
    }
}

static void putVertex(SpriteVertex& vertex, float x, float y, float u, float v, uint32_t argb) {
    vertex.x = x;
    vertex.y = y;
    vertex.u = u;
    vertex.v = v;
    vertex.diffuse = argb;
}

void addSpriteQuad(SpriteDest& dst, const SpriteSource& src, const TextureSlot& slot, uint32_t argb) {
    // Dropping keeps the order of what was queued; drawers flush far below this.
    if (gSpriteVertexCount > SPRITE_VERTEX_MAX - 6) return;
    // Every back buffer is 4:3, so one factor serves both axes.
    float s = (float)gScreenSize.width / 640.0f;
    dst.width = s * dst.width;
    dst.height = s * dst.height;
    dst.x = (float)((int32_t)(s * dst.x) + gCameraShake.spriteX);
    dst.y = (float)((int32_t)(s * dst.y) + gCameraShake.spriteY);

    // Half a texel in on the left and top edges only.
    float tw = (float)slot.width;
    float th = (float)slot.height;
    float uLeft = (src.left + 0.5f) / tw;
    float uRight = src.right / tw;
    float vTop = (src.top + 0.5f) / th;
    float vBottom = src.bottom / th;

    float left = dst.x;
    float top = dst.y;
    float right = dst.x + dst.width;
    float bottom = dst.y + dst.height;
    SpriteVertex* v = gSpriteBatch + gSpriteVertexCount;
    putVertex(v[0], right, bottom, uRight, vBottom, argb);
    putVertex(v[1], left, bottom, uLeft, vBottom, argb);
    putVertex(v[2], right, top, uRight, vTop, argb);
    putVertex(v[3], left, bottom, uLeft, vBottom, argb);
    putVertex(v[4], left, top, uLeft, vTop, argb);
    putVertex(v[5], right, top, uRight, vTop, argb);
    gSpriteVertexCount += 6;
}

void flushSprites() {
    // The batch's draw call arrives with the sprite drawing; the queue empties as a flush does.
    gSpriteVertexCount = 0;
}

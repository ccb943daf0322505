#include "engine/sprites.h"

#include <cmath>
#include <cstring>

#include "engine/settings.h"
#include "engine/device.h"
#include "engine/text.h"

SpriteVertex gSpriteBatch[SPRITE_VERTEX_MAX];
int32_t gSpriteVertexCount;
CameraShake gCameraShake;
static constexpr FontStyle DEFAULT_FONT_STYLE = {4, 76.0f, 200, 255, 255, 255, 31, 31, 31};
FontStyle gFontStyle = DEFAULT_FONT_STYLE;

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

void addSpriteQuadMirrored(SpriteDest& dst, const SpriteSource& src, const TextureSlot& slot, uint32_t argb) {
    addSpriteQuad(dst, SpriteSource{src.right, src.top, src.left, src.bottom}, slot, argb);
}

void addSpriteQuadPixels(const SpriteDest& dst, const SpriteSource& src, const TextureSlot& slot, uint32_t argb) {
    float f = 640.0f / (float)gScreenSize.width;
    SpriteDest logical = {dst.x * f, dst.y * f, dst.width * f, dst.height * f};
    addSpriteQuad(logical, src, slot, argb);
}

void bindSpriteTexture(const TextureSlot& slot) {
    if (gGfxDevice) gGfxDevice->setTexture(0, slot.texture);
}

void setSpriteColourOp(uint32_t op) {
    if (gGfxDevice) gGfxDevice->setTextureStageState(0, GFX_TSS_COLOROP, op);
}

void addSpriteRect(float x, float y, float width, float height, const SpriteSource& src, const TextureSlot& slot,
                   uint32_t argb) {
    SpriteDest dst = {x, y, width, height};
    addSpriteQuad(dst, src, slot, argb);
}

void flushSprites() {
    if (gSpriteVertexCount <= 0) return;
    if (gGfxDevice) {
        gGfxDevice->setVertexFormat(SPRITE_VERTEX_FORMAT);
        gGfxDevice->drawPrimitiveUP(GFX_PT_TRIANGLELIST, gSpriteVertexCount / 3, gSpriteBatch, sizeof(SpriteVertex));
    }
    gSpriteVertexCount = 0;
}

// The four vertices of a rotated quad sit at the front of the batch as a
// strip: (left, top), (left, bottom), (right, top), (right, bottom).
static void drawRotatedStrip(const float x[4], const float y[4], const SpriteUv& uv, uint32_t argb) {
    const float u[4] = {uv.left, uv.left, uv.right, uv.right};
    const float v[4] = {uv.top, uv.bottom, uv.top, uv.bottom};
    float w = (float)gScreenSize.width;
    for (int32_t k = 0; k < 4; ++k) putVertex(gSpriteBatch[k], x[k] * w / 640.0f, y[k] * w / 640.0f, u[k], v[k], argb);
    if (gGfxDevice) gGfxDevice->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, gSpriteBatch, sizeof(SpriteVertex));
    gSpriteVertexCount = 0;
}

void drawRotatedQuad(float x, float y, float angle, const RotatedCorners& corners, const SpriteUv& uv, uint32_t argb) {
    if (gGfxDevice) gGfxDevice->setVertexFormat(SPRITE_VERTEX_FORMAT);
    const float p[4] = {corners.left, corners.left, corners.right, corners.right};
    const float q[4] = {corners.top, corners.bottom, corners.top, corners.bottom};
    float c = std::cos(angle);
    float s = std::sin(angle);
    float vx[4], vy[4];
    for (int32_t k = 0; k < 4; ++k) {
        vx[k] = x + q[k] * c - p[k] * s;
        vy[k] = y + q[k] * s + p[k] * c;
    }
    drawRotatedStrip(vx, vy, uv, argb);
}

void drawRotatedSquare(const RotatedSquare& square, const SpriteUv& uv, uint32_t argb) {
    if (gGfxDevice) gGfxDevice->setVertexFormat(SPRITE_VERTEX_FORMAT);
    float r = std::sqrt(2.0f * square.halfSide * square.halfSide);
    // Corners k = 0, 1, 3, 2 a quarter turn apart: top left, bottom left,
    // top right, bottom right when unturned.
    const int32_t ORDER[4] = {0, 1, 3, 2};
    float vx[4], vy[4];
    for (int32_t i = 0; i < 4; ++i) {
        float theta = (float)ORDER[i] * 2.0f * PI / 4.0f + square.angle + PI / 4.0f;
        vx[i] = square.centerX - r * std::sin(theta);
        vy[i] = square.centerY - r * std::cos(theta);
    }
    drawRotatedStrip(vx, vy, uv, argb);
}

// The bytes of the character at p: two for a lead byte with its trail byte.
static int32_t characterBytes(const uint8_t* p) { return *p >= 0x80 && p[1] ? 2 : 1; }

int32_t drawTextPartial(float x, float y, const char* text, uint32_t argb, float scale, int32_t count) {
    if (count <= 0) return 0;
    char shown[256];
    int32_t used = 0;
    const uint8_t* p = (const uint8_t*)text;
    // Whole characters only, and always room for the terminating NUL.
    for (int32_t copied = 0; copied < count && *p; ++copied) {
        int32_t n = characterBytes(p);
        if (used + n >= (int32_t)sizeof shown) break;
        memcpy(shown + used, p, (size_t)n);
        used += n;
        p += n;
    }
    shown[used] = 0;
    drawTextFaded(x, y, shown, argb, scale * gFontStyle.size / 100.0f, count);
    int32_t total = 0;
    for (p = (const uint8_t*)text; *p; p += characterBytes(p)) ++total;
    return total > 0 ? total - 1 : 0;
}

void emptyDrawHook() {}

void resetSpriteState() {
    gSpriteVertexCount = 0;
    gCameraShake = CameraShake{};
    gFontStyle = DEFAULT_FONT_STYLE;
}

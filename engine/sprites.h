// engine/sprites.h: the 2D sprite batch. Drawers describe quads in the
// 640 x 480 logical screen; addSpriteQuad scales them to the back buffer and
// queues them, and flushSprites draws the queue in one call with the texture
// and states the caller has bound, in the order the quads were added. So a
// drawer flushes whenever it changes texture or states. The frame's render
// step empties the batch before it draws. Two companions draw one rotated
// quad at once from the front of the batch, so their callers flush first.
// Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/textures.h"
#include "platform/gfx.h"

// The screen shake of the field camera moves every 2D sprite with the 3D
// view; the field camera rolls it (field/field_camera.h), the sprite batch
// adds it.
struct CameraShake {
    int32_t framesLeft;
    int32_t spriteX;         // added to every sprite quad's position, in back-buffer pixels
    int32_t spriteY;
    float cameraY;           // added to the heights of the camera's eye and target
    int32_t amplitudeX;      // pixels
    int32_t amplitudeY;
    float cameraAmplitude;   // world units
};
extern CameraShake gCameraShake;

// The sprite vertex's layout for the device.
constexpr uint32_t SPRITE_VERTEX_FORMAT = GFX_FVF_XYZRHW | GFX_FVF_DIFFUSE | GFX_FVF_SPECULAR | GFX_FVF_TEX1;

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
static_assert(gfxVertexSize(SPRITE_VERTEX_FORMAT) == sizeof(SpriteVertex));

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
// The same with the picture mirrored left to right.
void addSpriteQuadMirrored(SpriteDest& dst, const SpriteSource& src, const TextureSlot& slot, uint32_t argb);
// dst in back-buffer pixels; it is turned into logical units and queued.
void addSpriteQuadPixels(const SpriteDest& dst, const SpriteSource& src, const TextureSlot& slot, uint32_t argb);
// Draws the queue as one triangle list and empties it; an empty queue
// touches nothing.
void flushSprites();

// The helpers the 2D screens draw with. Without a device they do nothing.
// 0xAARRGGBB with the three colour channels at one grey level.
constexpr uint32_t greyArgb(int32_t alpha, int32_t grey) {
    return (uint32_t)alpha << 24 | (uint32_t)grey << 16 | (uint32_t)grey << 8 | (uint32_t)grey;
}
void bindSpriteTexture(const TextureSlot& slot);   // stage 0
void setSpriteColourOp(uint32_t op);               // stage 0's colour operation
// addSpriteQuad for a quad given by its corner and size.
void addSpriteRect(float x, float y, float width, float height, const SpriteSource& src, const TextureSlot& slot,
                   uint32_t argb);

// Offsets of a rotated quad's edges from its pivot, in logical units.
struct RotatedCorners {
    float left, top, right, bottom;
};
// Texture coordinates already normalised to 0..1.
struct SpriteUv {
    float left, top, right, bottom;
};
// A square turned about its centre, in logical units.
struct RotatedSquare {
    float centerX, centerY;
    float halfSide;
    float angle;   // radians
};
// Draws one quad at once, turned by angle (radians) about the pivot (x, y);
// at an angle of pi / 2 it stands upright, mirrored left to right. Scaled to
// the back buffer without truncation and without the shake.
void drawRotatedQuad(float x, float y, float angle, const RotatedCorners& corners, const SpriteUv& uv, uint32_t argb);
// Draws one square at once (the loading sign spins one).
void drawRotatedSquare(const RotatedSquare& square, const SpriteUv& uv, uint32_t argb);

// Draws the first count characters of a Shift-JIS text (a double-byte
// character counts once) at 0.76 of the given scale, through the typewriter
// text drawing, and returns the number of characters of the whole text less
// one (0 for an empty text); count 0 draws nothing and returns 0.
int32_t drawTextPartial(float x, float y, const char* text, uint32_t argb, float scale, int32_t count);

// Called first by the event scene's draw operations; draws nothing.
void emptyDrawHook();

// The style of the debug font. The font itself is never created (nothing
// asks for it) and its tuning keys wait on a console switch nothing sets;
// only the size is read, by drawTextPartial.
struct FontStyle {
    int32_t face;          // index into the font's face names
    float size;
    int32_t weight;
    int32_t textRed, textGreen, textBlue;
    int32_t shadowRed, shadowGreen, shadowBlue;
};
extern FontStyle gFontStyle;
// Back to the values a fresh process starts with (a new boot in the same process).
void resetSpriteState();

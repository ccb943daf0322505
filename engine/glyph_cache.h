// engine/glyph_cache.h: the small cache of glyph textures text is drawn
// from. Each distinct character drawn gets its own texture, made from the
// font files on first use and kept in one of 200 entries; entries age once
// per logic tick and one not drawn for GLYPH_REUSE_AGE ticks is reused when
// every entry is taken. Set up once at start-up; entries are never freed,
// only reused. Main thread only: the cache has no lock.
#pragma once
#include <cstdint>

#include "engine/textures.h"
#include "platform/gfx.h"

constexpr int32_t GLYPH_CACHE_SIZE = 200;
constexpr int32_t GLYPH_REUSE_AGE = 4;        // ticks undrawn before an entry may be reused
constexpr int32_t GLYPH_CROWDED_AGE = 2;      // the debug console warns while no entry is this old
constexpr int32_t GLYPH_QUAD_SIDE = 42;       // the texture size glyph source rectangles are measured against
constexpr int32_t GLYPH_SPACE_INK_WIDTH = 24;
// The full-width space is never drawn and its record has no pixels, so it
// gets a fixed ink width that advances one full cell (42 units).
constexpr int32_t GLYPH_FULLWIDTH_SPACE_INK_WIDTH = 45;
constexpr uint32_t GLYPH_FALLBACK_COLOR_KEY = 0x0000FF00;

struct GlyphCacheEntry {
    int32_t quadWidth;      // the quad's width in cell units: advance x 36 / 42
    int32_t inkWidth;       // rightmost column (from 1) holding a body pixel
    int32_t textureIndex;   // into gGlyphTextures; the entry's own index
    uint8_t code[2];        // lead and trail byte, or the byte and 0
    int32_t inUse;
    int32_t age;            // ticks since last drawn
};

extern GlyphCacheEntry gGlyphCache[GLYPH_CACHE_SIZE];
extern GfxTexture* gGlyphTextures[GLYPH_CACHE_SIZE];
// Gives the sprite batch the 42 x 42 size glyph source rectangles are
// measured against; it holds no texture of its own.
extern TextureSlot gGlyphQuadSlot;
// Once set (a glyph texture could not be made directly), glyph textures
// are made from a picture in memory instead.
extern int32_t gGlyphFallback;

void initGlyphCache();
// Once per logic tick: every entry in use grows one tick older, and the
// debug console's rows 0 and 1 at column 30 show "OVER FONT" while the
// cache is crowded and "TOTAL %3d" with the entries in use.
void ageGlyphCache();
// The entry of the Shift-JIS character text points at (a byte of 0x80 or
// above starts a double-byte character), found or made. Null when the
// character has no glyph in the font files, or when every entry was drawn
// within the last GLYPH_REUSE_AGE ticks (after the "error1" message box).
GlyphCacheEntry* getGlyph(const char* text);

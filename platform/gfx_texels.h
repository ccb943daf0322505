// platform/gfx_texels.h: inside platform/ only: the CPU copy of a texture's
// texels that lockRect hands out, shared by the devices. It lives as long as
// the texture (the copy is what a managed texture is restored from, and what
// a later lock reads), rows packed, every level after the one before. One
// thread at a time uses a texture's copy; creation and release may run on
// any thread.
#pragma once
#include "platform/gfx.h"

#include <cstddef>

struct GfxTexels {
    uint8_t* bytes;          // all levels; null for a texture without a copy (render targets)
    int32_t width;           // of level 0
    int32_t height;
    int32_t levels;
    GfxFormat format;
    size_t offsets[GFX_TEXTURE_LEVEL_MAX];
    uint32_t lockedLevels;   // a bit per level
    uint32_t dirtyLevels;    // unlocked since the device last took them
};

// The side of a level: halved per level, at least 1.
constexpr int32_t gfxLevelSide(int32_t side, int32_t level) { return side >> level > 0 ? side >> level : 1; }

// Zero-filled texels for a shape gfxTextureLevels accepted; false when
// memory runs out.
bool gfxTexelsCreate(GfxTexels* texels, int32_t width, int32_t height, int32_t levels, GfxFormat format);
// One level of A8R8G8B8 texels over bytes from malloc, which it now owns.
void gfxTexelsAdopt(GfxTexels* texels, int32_t width, int32_t height, uint8_t* bytes);
void gfxTexelsDestroy(GfxTexels* texels);
GfxResult gfxTexelsLock(GfxTexels* texels, int32_t level, GfxLockedRect* out);
// Marks the level dirty, so the device uploads it before it next draws with it.
GfxResult gfxTexelsUnlock(GfxTexels* texels, int32_t level);

// platform/gfx_texels.cpp: the CPU copy of a texture's texels.
#include "platform/gfx_texels.h"

#include <cstdlib>

bool gfxTexelsCreate(GfxTexels* texels, int32_t width, int32_t height, int32_t levels, GfxFormat format) {
    *texels = GfxTexels{};
    size_t total = 0;
    for (int32_t level = 0; level < levels; ++level) {
        texels->offsets[level] = total;
        total += (size_t)gfxLevelSide(width, level) * (size_t)gfxLevelSide(height, level) * (size_t)gfxFormatBytes(format);
    }
    texels->bytes = (uint8_t*)calloc(total, 1);
    if (!texels->bytes) return false;
    texels->width = width;
    texels->height = height;
    texels->levels = levels;
    texels->format = format;
    return true;
}

void gfxTexelsAdopt(GfxTexels* texels, int32_t width, int32_t height, uint8_t* bytes) {
    *texels = GfxTexels{};
    texels->bytes = bytes;
    texels->width = width;
    texels->height = height;
    texels->levels = 1;
    texels->format = GFX_FORMAT_A8R8G8B8;
}

void gfxTexelsDestroy(GfxTexels* texels) {
    free(texels->bytes);
    *texels = GfxTexels{};
}

GfxResult gfxTexelsLock(GfxTexels* texels, int32_t level, GfxLockedRect* out) {
    if (!texels->bytes || !out || level < 0 || level >= texels->levels || (texels->lockedLevels & (1u << level)))
        return GFX_INVALID_CALL;
    texels->lockedLevels |= 1u << level;
    out->pitch = gfxLevelSide(texels->width, level) * gfxFormatBytes(texels->format);
    out->bits = texels->bytes + texels->offsets[level];
    return GFX_OK;
}

GfxResult gfxTexelsUnlock(GfxTexels* texels, int32_t level) {
    if (!texels->bytes || level < 0 || level >= texels->levels || !(texels->lockedLevels & (1u << level)))
        return GFX_INVALID_CALL;
    texels->lockedLevels &= ~(1u << level);
    texels->dirtyLevels |= 1u << level;
    return GFX_OK;
}

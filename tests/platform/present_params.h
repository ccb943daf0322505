// tests/platform/present_params.h: the presentation a device test asks
// for: a W x H back buffer of the format, with a 16-bit depth buffer,
// windowed.
#pragma once
#include <cstdint>

#include "platform/gfx.h"

inline GfxPresentParams presentParams(int32_t width, int32_t height, GfxFormat format = GFX_FORMAT_X8R8G8B8) {
    return GfxPresentParams{width, height, format, true, true, GFX_FORMAT_D16, false};
}

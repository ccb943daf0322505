// engine/textures.h: the holder of one 2D picture. Pictures are loaded into
// numbered scene groups and released by group; a slot never releases its own
// texture.
#pragma once
#include <cstdint>

#include "platform/gfx.h"

struct TextureSlot {
    GfxTexture* texture = nullptr;   // null while nothing is loaded
    int32_t width = 0;               // the size asked for at load time, in texels
    int32_t height = 0;
    int32_t group = 0;               // the scene group that loaded it
};

// "bmp/fps2.tga", 256 x 32: the frame-rate label and digits; a system picture.
extern TextureSlot gFpsTexture;

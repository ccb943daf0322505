// platform/gfx_light.h: the fixed-function light and material records the
// device takes (colours as floats 0..1).
#pragma once
#include <cstdint>

struct GfxColorValue {
    float r, g, b, a;
};

enum GfxLightType : int32_t { GFX_LIGHT_POINT = 1, GFX_LIGHT_SPOT = 2, GFX_LIGHT_DIRECTIONAL = 3 };

struct GfxLight {
    int32_t type;
    GfxColorValue diffuse;
    GfxColorValue specular;
    GfxColorValue ambient;
    float position[3];
    float direction[3];
    float range;
    float falloff;
    float attenuation0, attenuation1, attenuation2;
    float theta, phi;
};

struct GfxMaterial {
    GfxColorValue diffuse;
    GfxColorValue ambient;
    GfxColorValue specular;
    GfxColorValue emissive;
    float power;
};

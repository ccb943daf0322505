// field/effect_passes.h: the effect passes of the world drawing (3D effect
// objects, world-space effects) and the sun's glare and the lens flare,
// with the helpers they share. Once per drawn frame, main thread only.
#pragma once
#include <cstdint>

#include "engine/math.h"

struct AttackObject;
struct EffectObject;

void drawWorldEffects();
void drawSunGlare();
void drawLensFlare();

// Velocity-aligned billboards: local z runs back along the velocity, local
// y toward the camera, the origin at the object. Without a velocity, or
// with one aimed at the camera, the quad stands at the object unturned.
void makeEffectBillboardMatrix(const EffectObject& object, Matrix4* out);
void makeAttackBillboardMatrix(const AttackObject& object, Matrix4* out);

// The report confetti's colours by pool slot (slot mod 9).
constexpr int32_t CONFETTI_COLOUR_COUNT = 9;
extern const uint8_t CONFETTI_COLOURS[CONFETTI_COLOUR_COUNT][3];

// The flare atlas: the sun's glare (0, 0)-(64, 64), the flare cells on the
// row from y = 64 to 128, the moon (0, 128)-(128, 256) and the setting
// sun's glare (128, 128)-(256, 256).
struct FlareCell {
    int32_t x, y, width, height;
};
constexpr int32_t FLARE_CELL_COUNT = 6;
extern const FlareCell FLARE_CELLS[FLARE_CELL_COUNT];
// Drawn in table order along the line from the light (t = 0) through the
// screen centre (t = 1); sizes in 640 x 480 units.
struct FlareElement {
    float t;
    float size;
    int32_t cell;
};
constexpr int32_t FLARE_ELEMENT_COUNT = 14;
extern const FlareElement FLARE_ELEMENTS[FLARE_ELEMENT_COUNT];

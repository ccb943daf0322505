// field/effect_meshes.h: the effects' template meshes: quads and strips of
// EffectVertex that the effect drawing copies its shapes from, rewriting
// colours and texture coordinates in place. buildEffectMeshes (field.h)
// fills them at every floor start and when the market or the guild is
// entered; only the trail strip's positions change after that. Main thread.
#pragma once
#include <cstdint>

#include "platform/gfx.h"

// Position, diffuse colour, one texture coordinate set: 24 bytes.
struct EffectVertex {
    float x, y, z;
    uint32_t colour;   // ARGB
    float u, v;
};
static_assert(sizeof(EffectVertex) == 24);
constexpr uint32_t EFFECT_VERTEX_FORMAT = GFX_FVF_XYZ | GFX_FVF_DIFFUSE | GFX_FVF_TEX1;

// Quads are four-vertex triangle strips; a strip of n pairs has pair j at
// vertices 2j (A) and 2j + 1 (B).
extern EffectVertex gEffectQuad[4];
extern EffectVertex gIconQuad[4];
extern EffectVertex gConfettiQuad[4];
extern EffectVertex gPictureQuad[4];
extern EffectVertex gSwingQuads[8][4];
extern EffectVertex gCellQuads[16][4];
extern EffectVertex gStripeQuads[5][4];
extern EffectVertex gCornerQuad[4];
extern EffectVertex gMidQuad[4];
extern EffectVertex gSparkQuad[4];
extern EffectVertex gPairQuads[2][4];
extern EffectVertex gPillarQuad[4];
extern EffectVertex gHangingQuad[4];
extern EffectVertex gStandingQuad[4];
extern EffectVertex gGroundQuad[4];
extern EffectVertex gGroundCellQuad[4];
extern EffectVertex gFlatCellQuads[6][4];
extern EffectVertex gBigCellQuads[4][4];
extern EffectVertex gCircleQuads[8][4];
extern EffectVertex (&gCircleQuad)[4];   // gCircleQuads[0]
extern EffectVertex gMarkerQuad[4];
extern EffectVertex gWrapGroundQuad[4];
extern EffectVertex gFlatPairQuads[2][4];
extern EffectVertex gLongFlatQuad[4];
extern EffectVertex gMidFlatQuad[4];
extern EffectVertex gSquareFlatQuad[4];
extern EffectVertex gHalfGroundQuads[3][4];
extern EffectVertex gFaintGroundQuad[4];
extern EffectVertex gArchStrip[2 * 5];
extern EffectVertex gColumnStrip[2 * 10];
extern EffectVertex gCurveStrip[2 * 10];
extern EffectVertex gSmallRingStrip[2 * 10];
extern EffectVertex gBandRingStrip[2 * 10];
extern EffectVertex gFunnelStrip[2 * 10];
constexpr int32_t RING_STRIP_PAIRS = 40;
extern EffectVertex gRingStripA[2 * RING_STRIP_PAIRS];
extern EffectVertex gRingStripB[2 * RING_STRIP_PAIRS];
constexpr int32_t DOME_BANDS = 4;
constexpr int32_t DOME_BAND_PAIRS = 20;
extern EffectVertex gDomeStrips[DOME_BANDS][2 * DOME_BAND_PAIRS];
constexpr int32_t SWEEP_ARC_PAIRS = 33;
extern EffectVertex gSweepArcStrip[2 * SWEEP_ARC_PAIRS];
constexpr int32_t TRAIL_STRIP_PAIRS = 56;
extern EffectVertex gTrailStrip[2 * TRAIL_STRIP_PAIRS];
// The particles' template quad, rewritten for every particle drawn.
extern EffectVertex gParticleQuad[4];

// The colour of four consecutive vertices.
void setQuadColour(EffectVertex* vertices, uint32_t colour);
// The particles' template quad: upright, white, the cell (0, 64, 32, 32).
void initParticleQuad();
// Every template zeroed, as before the first build.
void clearEffectMeshes();

// The texture an effect pass last bound to stage 0 (null: the next bind
// reaches the device). Only a cache of the device's state.
extern GfxTexture* gTextureCache;
// Binds texture to stage 0 unless it is the one bound last.
void bindTextureCached(GfxTexture* texture);

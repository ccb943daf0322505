// field/effect_meshes.cpp: building the effects' template meshes.
#include "field/effect_meshes.h"

#include <cmath>
#include <cstring>

#include "engine/device.h"
#include "field/field.h"

EffectVertex gEffectQuad[4];
EffectVertex gIconQuad[4];
EffectVertex gConfettiQuad[4];
EffectVertex gPictureQuad[4];
EffectVertex gSwingQuads[8][4];
EffectVertex gCellQuads[16][4];
EffectVertex gStripeQuads[5][4];
EffectVertex gCornerQuad[4];
EffectVertex gMidQuad[4];
EffectVertex gSparkQuad[4];
EffectVertex gPairQuads[2][4];
EffectVertex gPillarQuad[4];
EffectVertex gHangingQuad[4];
EffectVertex gStandingQuad[4];
EffectVertex gGroundQuad[4];
EffectVertex gGroundCellQuad[4];
EffectVertex gFlatCellQuads[6][4];
EffectVertex gBigCellQuads[4][4];
EffectVertex gCircleQuads[8][4];
EffectVertex (&gCircleQuad)[4] = gCircleQuads[0];
EffectVertex gMarkerQuad[4];
EffectVertex gWrapGroundQuad[4];
EffectVertex gFlatPairQuads[2][4];
EffectVertex gLongFlatQuad[4];
EffectVertex gMidFlatQuad[4];
EffectVertex gSquareFlatQuad[4];
EffectVertex gHalfGroundQuads[3][4];
EffectVertex gFaintGroundQuad[4];
EffectVertex gArchStrip[2 * 5];
EffectVertex gColumnStrip[2 * 10];
EffectVertex gCurveStrip[2 * 10];
EffectVertex gSmallRingStrip[2 * 10];
EffectVertex gBandRingStrip[2 * 10];
EffectVertex gFunnelStrip[2 * 10];
EffectVertex gRingStripA[2 * RING_STRIP_PAIRS];
EffectVertex gRingStripB[2 * RING_STRIP_PAIRS];
EffectVertex gDomeStrips[DOME_BANDS][2 * DOME_BAND_PAIRS];
EffectVertex gSweepArcStrip[2 * SWEEP_ARC_PAIRS];
EffectVertex gTrailStrip[2 * TRAIL_STRIP_PAIRS];
EffectVertex gParticleQuad[4];

GfxTexture* gTextureCache = nullptr;

namespace {

constexpr float PI = 3.1415927f;
constexpr uint32_t WHITE = 0xFFFFFFFFu;

// The four corners of a quad.
struct Corners {
    float p[4][3];
};
constexpr Corners UPRIGHT = {{{-256, 256, 0}, {-256, -256, 0}, {256, 256, 0}, {256, -256, 0}}};
constexpr Corners FLAT = {{{-256, 0, 256}, {-256, 0, -256}, {256, 0, 256}, {256, 0, -256}}};
constexpr Corners HALF_GROUND = {{{-256, 0, -256}, {-256, 0, 0}, {256, 0, -256}, {256, 0, 0}}};

Corners flatReversed(float w, float d) { return {{{-w, 0, -d}, {-w, 0, d}, {w, 0, -d}, {w, 0, d}}}; }

// u0 on vertices 0 and 1, u1 on 2 and 3; v0 on 0 and 2, v1 on 1 and 3.
void quad(EffectVertex* q, const Corners& c, float u0, float v0, float u1, float v1, uint32_t colour = WHITE) {
    const float u[4] = {u0, u0, u1, u1};
    const float v[4] = {v0, v1, v0, v1};
    for (int32_t i = 0; i < 4; ++i) q[i] = EffectVertex{c.p[i][0], c.p[i][1], c.p[i][2], colour, u[i], v[i]};
}

// A texel rectangle of a 256 x 256 picture with the half-texel inset.
void cellQuad(EffectVertex* q, const Corners& c, float x, float y, float w, float h) {
    quad(q, c, (x + 0.5f) / 256.0f, (y + 0.5f) / 256.0f, (x + w - 0.5f) / 256.0f, (y + h - 0.5f) / 256.0f);
}

// Texel bounds given directly.
void texelQuad(EffectVertex* q, const Corners& c, float u0, float v0, float u1, float v1, uint32_t colour = WHITE) {
    quad(q, c, u0 / 256.0f, v0 / 256.0f, u1 / 256.0f, v1 / 256.0f, colour);
}

void pair(EffectVertex* strip, int32_t j, const float a[3], const float b[3], float ua, float va, float ub, float vb,
          uint32_t colour = WHITE) {
    strip[2 * j] = EffectVertex{a[0], a[1], a[2], colour, ua / 256.0f, va / 256.0f};
    strip[2 * j + 1] = EffectVertex{b[0], b[1], b[2], colour, ub / 256.0f, vb / 256.0f};
}

void buildQuads() {
    cellQuad(gEffectQuad, UPRIGHT, 0, 64, 32, 32);
    cellQuad(gIconQuad, {{{-32, 60, 0}, {-32, -4, 0}, {32, 60, 0}, {32, -4, 0}}}, 0, 64, 32, 32);
    cellQuad(gConfettiQuad, UPRIGHT, 192, 160, 32, 32);
    quad(gPictureQuad, UPRIGHT, 1.0f / 256.0f, 1.0f / 256.0f, 255.0f / 256.0f, 255.0f / 256.0f);
    for (int32_t k = 0; k < 8; ++k) cellQuad(gSwingQuads[k], UPRIGHT, 32.0f * (float)k, 160, 32, 32);
    for (int32_t k = 0; k < 16; ++k)
        cellQuad(gCellQuads[k], UPRIGHT, 32.0f * (float)(k % 8), 128.0f + 32.0f * (float)(k / 8), 32, 32);
    for (int32_t k = 0; k < 5; ++k) cellQuad(gStripeQuads[k], UPRIGHT, 32.0f * (float)k, 64, 32, 64);
    cellQuad(gCornerQuad, UPRIGHT, 0, 0, 64, 64);
    cellQuad(gMidQuad, UPRIGHT, 64, 64, 64, 64);
    cellQuad(gSparkQuad, UPRIGHT, 160, 32, 32, 32);
    for (int32_t k = 0; k < 2; ++k) {
        float left = 64.0f + 32.0f * (float)k;
        texelQuad(gPairQuads[k], UPRIGHT, left + 0.5f, 32.5f, left + 28.5f, 63.5f);
    }
    cellQuad(gPillarQuad, UPRIGHT, 192, 0, 32, 128);
    texelQuad(gHangingQuad, {{{-256, 0, 0}, {-256, -512, 0}, {256, 0, 0}, {256, -512, 0}}}, 0.5f, 120.5f, 31.5f, 64.5f);
    cellQuad(gStandingQuad, {{{-256, 288, 0}, {-256, 0, 0}, {256, 288, 0}, {256, 0, 0}}}, 64, 64, 64, 32);
    cellQuad(gGroundQuad, FLAT, 0, 0, 64, 64);
    cellQuad(gGroundCellQuad, FLAT, 224, 0, 32, 64);
    for (int32_t k = 0; k < 6; ++k) cellQuad(gFlatCellQuads[k], FLAT, 32.0f * (float)k, 224, 32, 32);
    for (int32_t k = 0; k < 4; ++k)
        cellQuad(gBigCellQuads[k], FLAT, 128.0f * (float)(k % 2), 112.0f * (float)(k / 2), 128, 112);
    // A 128 x 128 picture, repeating.
    for (int32_t k = 0; k < 8; ++k) {
        float x = 128.0f * (float)(k % 2), y = 128.0f * (float)(k / 2);
        quad(gCircleQuads[k], FLAT, (x + 0.5f) / 128.0f, (y + 0.5f) / 128.0f, (x + 127.5f) / 128.0f,
             (y + 127.5f) / 128.0f);
    }
    texelQuad(gMarkerQuad, FLAT, 56.125f, 120.125f, 71.875f, 135.875f);
    texelQuad(gWrapGroundQuad, FLAT, 448.5f, 480.5f, 479.5f, 511.5f);
    for (int32_t k = 0; k < 2; ++k) cellQuad(gFlatPairQuads[k], flatReversed(256, 256), 64.0f * (float)k, 192, 64, 64);
    cellQuad(gLongFlatQuad, flatReversed(128, 256), 64, 0, 32, 64);
    cellQuad(gMidFlatQuad, flatReversed(128, 192), 96, 0, 32, 48);
    cellQuad(gSquareFlatQuad, flatReversed(128, 128), 128, 0, 32, 32);
    texelQuad(gHalfGroundQuads[0], HALF_GROUND, 224.5f, 8.5f, 255.5f, 55.5f);
    cellQuad(gHalfGroundQuads[1], HALF_GROUND, 224, 160, 32, 32);
    cellQuad(gHalfGroundQuads[2], HALF_GROUND, 224, 96, 32, 64);
    texelQuad(gFaintGroundQuad, HALF_GROUND, 224.5f, 160.5f, 239.5f, 168.5f, 0x20FFFFFFu);
}

void buildStrips() {
    for (int32_t i = 0; i < 5; ++i) {
        float y = 128.0f + 64.0f * sinf((float)i * PI / 4.0f), z = 256.0f - 128.0f * (float)i;
        const float a[3] = {-64, y, z}, b[3] = {64, y, z};
        float v = 31.75f * (float)i + 0.5f;
        pair(gArchStrip, i, a, b, 192.5f, v, 223.5f, v);
    }
    for (int32_t j = 0; j < 10; ++j) {
        float y = 20.0f * (float)j;
        const float a[3] = {-16, y, 0}, b[3] = {16, y, 0};
        float v = 6.6666665f * (float)(9 - j) + 65.5f;
        pair(gColumnStrip, j, a, b, 224.5f, v, 255.5f, v);
    }
    for (int32_t j = 0; j < 10; ++j) {
        float t = (float)j * 0.7f * PI / 8.0f;
        const float a[3] = {-32, 128.0f * sinf(t), 128.0f * cosf(t)}, b[3] = {32, a[1], a[2]};
        float v = 14.111111f * (float)j + 0.5f;
        pair(gCurveStrip, j, a, b, 128.5f, v, 191.5f, v);
    }
    for (int32_t j = 0; j < 10; ++j) {
        float t = 2.0f * PI * (float)j / 9.0f, s = sinf(t), c = cosf(t);
        const float ringA[3] = {128 * s, 64, 128 * c}, ringB[3] = {128 * s, 0, 128 * c};
        float u = j <= 5 ? 12.6f * (float)j + 192.5f : 255.5f - 15.75f * (float)(j - 5);
        pair(gSmallRingStrip, j, ringA, ringB, u, 128.5f, u, 191.5f);
        const float bandA[3] = {128 * s, -32, 128 * c}, bandB[3] = {128 * s, 32, 128 * c};
        float bu = 7.0f * (float)j + 64.5f;
        pair(gBandRingStrip, j, bandA, bandB, bu, 0.5f, bu, 31.5f);
        const float funnelA[3] = {160 * s, 96, 160 * c}, funnelB[3] = {96 * s, 0, 96 * c};
        float fu = 56.5f * (float)(j % 2) + 68.5f;
        pair(gFunnelStrip, j, funnelA, funnelB, fu, 64.5f, fu, 95.5f, 0xFF696969u);
    }
    for (int32_t j = 0; j < RING_STRIP_PAIRS; ++j) {
        float t = 2.0f * PI * (float)j / 39.0f, s = sinf(t), c = cosf(t);
        const float a[3] = {128 * s, 64, 128 * c}, b[3] = {128 * s, 0, 128 * c};
        float u = 1.6153846f * (float)j + 192.5f;
        pair(gRingStripA, j, a, b, u, 128.5f, u, 191.5f);
        const float narrow[3] = {76.8f * s, 0, 76.8f * c};
        float ub = 5.3333335f * (float)j + 72.5f;
        pair(gRingStripB, j, a, narrow, ub, 13.0f, ub, 63.0f);
    }
    for (int32_t b = 0; b < DOME_BANDS; ++b)
        for (int32_t j = 0; j < DOME_BAND_PAIRS; ++j) {
            float t = 2.0f * PI * (float)j / 19.0f;
            float top = (float)b * PI / 8.0f, bottom = (float)(b + 1) * PI / 8.0f;
            const float a[3] = {128.0f * sinf(t) * sinf(top), 128.0f * cosf(top), 128.0f * cosf(t) * sinf(top)};
            const float c[3] = {128.0f * sinf(t) * sinf(bottom), 128.0f * cosf(bottom),
                                128.0f * cosf(t) * sinf(bottom)};
            pair(gDomeStrips[b], j, a, c, 0, 0, 0, 0);   // the drawing sets the coordinates
        }
    for (int32_t j = 0; j < SWEEP_ARC_PAIRS; ++j) {
        float t = (float)j * PI / 64.0f;
        const float a[3] = {48, 1024.0f * cosf(t), 1024.0f * (sinf(t) - 1.0f)}, b[3] = {-48, a[1], a[2]};
        pair(gSweepArcStrip, j, a, b, 128.125f, 48.25f, 143.875f, 63.75f);
    }
    for (int32_t j = 0; j < TRAIL_STRIP_PAIRS; ++j) {
        const float a[3] = {0, -32, 0}, b[3] = {0, 32, 0};
        float u = 0.5740741f * (float)j + 96.5f;
        pair(gTrailStrip, j, a, b, u, 35.5f, u, 60.5f);
    }
}

}  // namespace

void setQuadColour(EffectVertex* vertices, uint32_t colour) {
    for (int32_t i = 0; i < 4; ++i) vertices[i].colour = colour;
}

void initParticleQuad() {
    texelQuad(gParticleQuad, UPRIGHT, 0.5f, 64.5f, 31.5f, 95.5f);
}

void buildEffectMeshes() {
    buildQuads();
    buildStrips();
    initParticleQuad();
}

void clearEffectMeshes() {
    EffectVertex* all[] = {gEffectQuad, gIconQuad, gConfettiQuad, gPictureQuad, gCornerQuad, gMidQuad, gSparkQuad,
                           gPillarQuad, gHangingQuad, gStandingQuad, gGroundQuad, gGroundCellQuad, gMarkerQuad,
                           gWrapGroundQuad, gLongFlatQuad, gMidFlatQuad, gSquareFlatQuad, gFaintGroundQuad,
                           gParticleQuad};
    for (EffectVertex* q : all) memset(q, 0, 4 * sizeof(EffectVertex));
    memset(gSwingQuads, 0, sizeof gSwingQuads);
    memset(gCellQuads, 0, sizeof gCellQuads);
    memset(gStripeQuads, 0, sizeof gStripeQuads);
    memset(gPairQuads, 0, sizeof gPairQuads);
    memset(gFlatCellQuads, 0, sizeof gFlatCellQuads);
    memset(gBigCellQuads, 0, sizeof gBigCellQuads);
    memset(gCircleQuads, 0, sizeof gCircleQuads);
    memset(gFlatPairQuads, 0, sizeof gFlatPairQuads);
    memset(gHalfGroundQuads, 0, sizeof gHalfGroundQuads);
    memset(gArchStrip, 0, sizeof gArchStrip);
    memset(gColumnStrip, 0, sizeof gColumnStrip);
    memset(gCurveStrip, 0, sizeof gCurveStrip);
    memset(gSmallRingStrip, 0, sizeof gSmallRingStrip);
    memset(gBandRingStrip, 0, sizeof gBandRingStrip);
    memset(gFunnelStrip, 0, sizeof gFunnelStrip);
    memset(gRingStripA, 0, sizeof gRingStripA);
    memset(gRingStripB, 0, sizeof gRingStripB);
    memset(gDomeStrips, 0, sizeof gDomeStrips);
    memset(gSweepArcStrip, 0, sizeof gSweepArcStrip);
    memset(gTrailStrip, 0, sizeof gTrailStrip);
    gTextureCache = nullptr;
}

void bindTextureCached(GfxTexture* texture) {
    if (texture == gTextureCache) return;
    gTextureCache = texture;
    if (gGfxDevice) gGfxDevice->setTexture(0, texture);
}

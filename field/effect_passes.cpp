#include "field/effect_passes.h"

#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/render_states.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "field/effect_meshes.h"
#include "field/effect_objects.h"
#include "field/field.h"
#include "field/field_state.h"
#include "field/particles.h"
#include "field/resources.h"
#include "field/world_renderer.h"
#include "shop/shop.h"

FlareState gFlareState;

const uint8_t CONFETTI_COLOURS[CONFETTI_COLOUR_COUNT][3] = {
    {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255}, {255, 127, 0}, {127, 255, 0}, {0, 127, 255},
};

const FlareCell FLARE_CELLS[FLARE_CELL_COUNT] = {
    {0, 64, 64, 64}, {64, 64, 64, 64}, {128, 64, 32, 32}, {160, 64, 32, 32}, {192, 64, 32, 32}, {224, 64, 32, 32},
};

const FlareElement FLARE_ELEMENTS[FLARE_ELEMENT_COUNT] = {
    {-1.0f, 32.0f, 3}, {-0.5f, 48.0f, 2}, {0.2f, 96.0f, 0}, {0.4f, 128.0f, 3}, {0.8f, 24.0f, 4},
    {1.1f, 16.0f, 5},  {1.3f, 48.0f, 2},  {1.4f, 48.0f, 3}, {1.7f, 32.0f, 4}, {1.8f, 32.0f, 5},
    {2.0f, 144.0f, 0}, {2.4f, 128.0f, 1}, {2.06f, 48.0f, 2}, {2.8f, 32.0f, 5},
};

namespace {

constexpr float ICON_SCALE = 0.0192f;
constexpr float PICKED_ICON_SCALE = 0.02688f;
constexpr float SHELF_PROJECTION_FAR = 350.0f;
constexpr int32_t DECAL_GROWTH_TICKS = 5;
constexpr float FLARE_REACH = 448.0f;   // the distance from the screen centre at which the flare is gone

void blend(GfxDevice* d, uint32_t source, uint32_t destination) {
    d->setRenderState(GFX_RS_SRCBLEND, source);
    d->setRenderState(GFX_RS_DESTBLEND, destination);
}

// The states the particle groups of the world passes and the overlay pass
// share: blended, unlit, no fog, no culling, effect vertices.
void particleStates(GfxDevice* d) {
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    d->setRenderState(GFX_RS_COLORVERTEX, 0);
    d->setRenderState(GFX_RS_AMBIENT, 0xFF101010u);
    d->setRenderState(GFX_RS_SHADEMODE, GFX_SHADE_GOURAUD);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    d->lightEnable(0, false);
    d->setRenderState(GFX_RS_LIGHTING, 0);
    d->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    d->setVertexFormat(EFFECT_VERTEX_FORMAT);
}

// u0 on vertices 0 and 1, u1 on 2 and 3; v0 on 0 and 2, v1 on 1 and 3.
void setQuadUv(EffectVertex* q, float u0, float v0, float u1, float v1) {
    q[0].u = q[1].u = u0;
    q[2].u = q[3].u = u1;
    q[0].v = q[2].v = v0;
    q[1].v = q[3].v = v1;
}

// One quad: a strip of two triangles under its own world transform.
void drawQuad(GfxDevice* d, const EffectVertex* q, const Matrix4& world) {
    d->setTransform(GFX_TS_WORLD, world.m);
    d->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, q, sizeof(EffectVertex));
}

Matrix4 scaledAt(const Matrix4& turn, float sx, float sy, float sz, const Vector3& at) {
    return matrixMultiply(matrixMultiply(turn, matrixScaling(sx, sy, sz)), matrixTranslation(at.x, at.y, at.z));
}

// The camera-facing icon quad of an item key (its flags give the
// unidentified look) at a world transform. A key whose id has no row shows
// the first icon of the first sheet, so a damaged save still shows its
// shelves' places.
void drawItemIconQuad(GfxDevice* d, int32_t id, bool unidentified, const Matrix4& world) {
    int32_t row = findItemDef(id);
    int32_t category = row >= 0 ? gItemDefinitions[row].category : 0;
    int32_t cell = row >= 0 && !unidentified ? gItemDefinitions[row].iconCell : 0;
    const TextureSlot& sheet = itemIconSheet(category);
    bindTextureCached(sheet.texture);
    float c = (float)(cell % 8), r = (float)(cell / 8);
    // A sheet not loaded has no height; the coordinates then only need to be finite.
    float height = sheet.height > 0 ? (float)sheet.height : 256.0f;
    // Mirrored left to right in local space; the billboard turns it back.
    setQuadUv(gIconQuad, (32.0f * c + 31.5f) / 256.0f, (32.0f * r + 0.5f) / height, (32.0f * c + 0.5f) / 256.0f,
              (32.0f * r + 31.0f) / height);
    drawQuad(d, gIconQuad, world);
}

int32_t gemCell(int32_t kind, int32_t age) {
    // Seven frames of three ticks each, one row of the sheet per gem kind.
    return (age / 3) % 7 + 8 * kind;
}

int32_t pickupAlpha(int32_t state, int32_t age) {
    if (state != PICKUP_RISING) return 255;
    if (age <= 30) return 0;
    int32_t a = (age - 30) * 32;
    return a > 255 ? 255 : a;
}

// The first ticks of a decal or shot grow it from nothing.
float grown(float s, int32_t age) {
    if (age < DECAL_GROWTH_TICKS) s = s * (float)age / (float)DECAL_GROWTH_TICKS;
    return s;
}

void drawAttackDecals(GfxDevice* d, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const AttackObject& a = gAttackObjects[i];
        if (a.kind != 119 && a.kind != 162) continue;
        bindTextureCached(gKatterTexture.texture);
        float s = grown(a.scale * 0.005f, a.age);
        Matrix4 turn = matrixMultiply(matrixRotationZ(PI - a.yaw), matrixRotationX(PI / 2.0f));
        setQuadColour(gEffectQuad, 0xFFFFFFFFu);
        setQuadUv(gEffectQuad, 1.0f / 128.0f, 1.0f / 128.0f, 127.0f / 128.0f, 127.0f / 128.0f);
        drawQuad(d, gEffectQuad, scaledAt(turn, s, s, s, a.position));
    }
    for (int32_t i = 0; i < count; ++i) {
        const AttackObject& a = gAttackObjects[i];
        if (a.kind != 83) continue;
        bindTextureCached(gCobwebTexture.texture);
        float s = a.scale;
        setQuadColour(gEffectQuad, 0xFFFFFFFFu);
        setQuadUv(gEffectQuad, 1.0f / 256.0f, 1.0f / 256.0f, 255.0f / 256.0f, 255.0f / 256.0f);
        drawQuad(d, gEffectQuad, scaledAt(matrixRotationX(PI / 2.0f), s, s, s, a.position));
    }
}

void drawGems(GfxDevice* d, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const Pickup& p = gPickups[i];
        if (p.kind < 0 || p.kind > 3) continue;
        bindTextureCached(gMagicGemTexture.texture);
        // The caller's word is the gem's size class: 1 small, 2 large.
        float s = p.callerWord == 1 ? 0.0096f : p.callerWord == 2 ? 0.0288f : ICON_SCALE;
        setQuadColour(gIconQuad, 0xFF000000u);
        int32_t n = gemCell(p.kind, p.age);
        float c = (float)(n % 8), r = (float)(n / 8);
        setQuadUv(gIconQuad, (64.0f * c + 0.5f) / 512.0f, (64.0f * r + 0.5f) / 256.0f, (64.0f * c + 63.5f) / 512.0f,
                  (64.0f * r + 63.0f) / 256.0f);
        drawQuad(d, gIconQuad, scaledAt(gBillboardMatrix, s, s, s, Vector3{p.x, p.y, p.z}));
    }
}

void drawShelfIcons() {
    if (gGameMode != 1 || !gCurrentStage || gCurrentStage->maptype != 0) return;
    const GameState& game = runningGameState();
    for (int32_t r = 0; r < SHELF_ROWS; ++r)
        for (int32_t c = 0; c < SHELF_CELLS; ++c)
            if (game.shelves[r][c] != ITEM_KEY_NONE) drawCellItemIcon(c, r, game.shelves[r][c], 0.0f);
    drawShopPlacementGrid();
}

void drawItemPickups(GfxDevice* d, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const Pickup& p = gPickups[i];
        if (p.kind < 7) continue;
        float s = ICON_SCALE;
        uint32_t grey = 0;
        if (i == gParty.nearestPickup) {
            grey = (uint32_t)(int32_t)(std::sin((float)p.age * 0.3f) * 64.0f + 96.0f);
            s = PICKED_ICON_SCALE;
        }
        setQuadColour(gIconQuad, (uint32_t)pickupAlpha(p.state, p.age) << 24 | grey * 0x010101u);
        bool unidentified = (p.itemFlags & ITEM_KEY_UNIDENTIFIED >> 4) != 0;   // the key's flags, shifted down
        drawItemIconQuad(d, p.kind - 7, unidentified, scaledAt(gBillboardMatrix, s, s, s, Vector3{p.x, p.y, p.z}));
    }
}

void drawShotSprite(GfxDevice* d, const AttackObject& a) {
    float s = grown(a.scale * 0.005f, a.age);
    if (a.kind == 114) s *= 0.8f;
    float x = 192.0f, y = 0.0f;   // kind 117
    if (a.kind == 113) x = 128.0f, y = 192.0f;
    if (a.kind == 114) x = 192.0f, y = a.age % 4 < 2 ? 128.0f : 192.0f;
    setQuadColour(gEffectQuad, 0xFFFFFFFFu);
    setQuadUv(gEffectQuad, (x + 0.5f) / 256.0f, (y + 0.5f) / 256.0f, (x + 63.5f) / 256.0f, (y + 63.5f) / 256.0f);
    Matrix4 turn = matrixMultiply(matrixRotationZ(PI - a.yaw), gBillboardMatrix);
    drawQuad(d, gEffectQuad, scaledAt(turn, s, s, s, a.position));
}

// A streak lies along the flight: the quad's local y, once tilted, runs
// with the velocity.
void drawStreak(GfxDevice* d, const AttackObject& a, int32_t slot) {
    float s = a.scale * 0.004f;
    float sx = s, sy = s, sz = s;
    if (a.kind == 120 || a.kind == 160) sy = sz = 2.0f * s;
    if (a.kind == 122) {
        sx = 1.2f * s;
        sy = sz = 2.0f * sx;
    }
    float x = 96.0f, y = 128.0f, w = 16.0f, h = 32.0f;   // kinds 120, 122, 160
    if (a.kind == 115) y = 160.0f, h = 16.0f;
    if (a.kind == 126) {
        int32_t k = slot % 5;
        x = 80.0f + 32.0f * (float)(k % 3), y = 32.0f * (float)(k / 3), w = 32.0f, h = 32.0f;
    }
    setQuadColour(gEffectQuad, 0xFFFFFFFFu);
    setQuadUv(gEffectQuad, (x + 0.5f) / 256.0f, (y + h - 0.5f) / 256.0f, (x + w - 0.5f) / 256.0f, (y + 0.5f) / 256.0f);
    Matrix4 base;
    makeAttackBillboardMatrix(a, &base);
    Matrix4 world = matrixMultiply(matrixMultiply(matrixScaling(sx, sy, sz), matrixRotationX(PI / 2.0f)), base);
    drawQuad(d, gEffectQuad, world);
}

void drawShots(GfxDevice* d, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const AttackObject& a = gAttackObjects[i];
        switch (a.kind) {
        case 113:
        case 114:
        case 117: drawShotSprite(d, a); break;
        case 115:
        case 120:
        case 122:
        case 126:
        case 160:
            if (a.age >= 0) drawStreak(d, a, i);
            break;
        default: break;
        }
    }
}

void drawConfetti(GfxDevice* d, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const EffectObject& o = gEffectObjects[i];
        if (o.kind != 146 || o.frame < 0) continue;
        float s = (float)o.paramB / 200.0f * o.scale * 0.005f;
        Matrix4 turn = matrixMultiply(matrixMultiply(matrixRotationY(o.angles[1]), matrixRotationX(o.angles[0])),
                                      matrixRotationZ(o.angles[2]));
        const uint8_t* rgb = CONFETTI_COLOURS[i % CONFETTI_COLOUR_COUNT];
        setQuadColour(gConfettiQuad, 0xFF000000u + (uint32_t)rgb[0] * 65536u + (uint32_t)rgb[1] * 256u + rgb[2]);
        drawQuad(d, gConfettiQuad, scaledAt(turn, s, s, s, Vector3{o.position[0], o.position[1], o.position[2]}));
    }
}

// A look from the point along the velocity with the camera above, undone:
// local z points back along the flight, local y toward the camera. No look
// exists without a velocity or with one aimed at the camera; the quad then
// stands at the point unturned.
void billboardAlong(const Vector3& at, const Vector3& velocity, Matrix4* out) {
    Matrix4 look = matrixLookAtRH(at, vec3Add(at, velocity), vec3Subtract(gCamera.eye, at));
    float determinant = 0.0f;
    if (!matrixInverse(look, out, &determinant) || !std::isfinite(determinant))
        *out = matrixTranslation(at.x, at.y, at.z);
}

}  // namespace

void makeEffectBillboardMatrix(const EffectObject& object, Matrix4* out) {
    billboardAlong(Vector3{object.position[0], object.position[1], object.position[2]},
                   Vector3{object.velocity[0], object.velocity[1], object.velocity[2]}, out);
}

void makeAttackBillboardMatrix(const AttackObject& object, Matrix4* out) {
    billboardAlong(object.position, object.velocity, out);
}

// Cells are 2 units apart; the icon stands 1.2288 units wide.
void drawCellItemIcon(int32_t cellX, int32_t cellY, int32_t itemKey, float height) {
    GfxDevice* d = gGfxDevice;
    if (!d) return;
    setQuadColour(gIconQuad, 0xFF000000u);
    Matrix4 world = scaledAt(gBillboardMatrix, ICON_SCALE, ICON_SCALE, ICON_SCALE,
                             Vector3{(float)(2 * cellX - 9), height + 1.9f, (float)(2 * cellY) - 6.5f});
    drawItemIconQuad(d, itemKeyId(itemKey), (itemKey & ITEM_KEY_UNIDENTIFIED) != 0, world);
}

void drawEffectObjects3D() {
    GfxDevice* d = gGfxDevice;
    gTextureCache = nullptr;
    if (!d) return;
    const EffectCounts& marks = gWorldDraw.effectCounts;
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    d->setRenderState(GFX_RS_ZENABLE, 1);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 1);
    d->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    d->setRenderState(GFX_RS_ALPHAREF, 0);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCCOLOR);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    d->setVertexFormat(EFFECT_VERTEX_FORMAT);
    drawAttackDecals(d, marks.attackObjects);

    // The opaque particles.
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    d->setRenderState(GFX_RS_ALPHAREF, 0);
    d->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 1);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCALPHA);
    d->lightEnable(0, false);
    d->setRenderState(GFX_RS_LIGHTING, 0);
    d->setVertexFormat(EFFECT_VERTEX_FORMAT);
    drawParticles(1, 0);

    // The icons' diffuse colours add to their pictures.
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADD);
    drawGems(d, marks.pickups);
    // The shelves stand within the near field.
    setWorldFarPlane(SHELF_PROJECTION_FAR);
    drawShelfIcons();
    setWorldFarPlane(WORLD_FAR_WIDE);
    drawItemPickups(d, marks.pickups);

    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    bindTextureCached(gEffectShotTexture.texture);
    drawShots(d, marks.attackObjects);

    d->setRenderState(GFX_RS_ZENABLE, 0);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    bindTextureCached(gEffectTexture.texture);
    drawConfetti(d, marks.effectObjects);
    gTextureCache = nullptr;
}

// The world effect pass's trails and particles; its circles, arcs, sprites,
// marks and snow arrive with the rest of the pass.
void drawWorldEffects() {
    if (gRun.trailDue == 1) {
        gRun.trailDue = 0;
        updateTrails();
    }
    GfxDevice* d = gGfxDevice;
    if (!d) return;
    particleStates(d);
    d->setRenderState(GFX_RS_ZENABLE, 1);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    // Method 4 darkens what lies behind it, method 0 adds.
    blend(d, GFX_BLEND_ZERO, GFX_BLEND_INVSRCCOLOR);
    drawParticles(4, 0);
    blend(d, GFX_BLEND_ONE, GFX_BLEND_ONE);
    drawParticles(0, 0);
    d->setRenderState(GFX_RS_ALPHAREF, 0);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCCOLOR);
    drawParticles(2, 0);
    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ZERO);
    drawParticles(3, 0);
    d->setRenderState(GFX_RS_ZENABLE, 0);
    blend(d, GFX_BLEND_ONE, GFX_BLEND_ONE);
    gTextureCache = nullptr;
}

void drawOverlayEffects() {
    GfxDevice* d = gGfxDevice;
    // Scenes without the world passes bind pictures without the cache: the
    // first particle's picture must reach the device.
    gTextureCache = nullptr;
    if (!d) return;
    setupScreenCamera();
    particleStates(d);
    d->setRenderState(GFX_RS_ZENABLE, 0);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCCOLOR);
    drawParticles(1, 1);
    blend(d, GFX_BLEND_ONE, GFX_BLEND_ONE);
    drawParticles(0, 1);
    d->setRenderState(GFX_RS_ALPHAREF, 0);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCCOLOR);
    drawParticles(2, 1);
    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ZERO);
    drawParticles(3, 1);
    // Method 4 has no overlay draw: such a particle stays unseen.
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCCOLOR);
    gTextureCache = nullptr;
}

// ---- the sun, the setting sun, the moon and their flare ----

void resetLensFlare() {
    // The light starts high in the middle; the direction is the one from
    // there to the centre, not yet made a unit vector.
    gFlareState = FlareState{320.0f, 160.0f, 320.0f - 320.0f, 240.0f - 160.0f, 0.0f, 0.0f};
}

namespace {

// Eases from 0 to 8 after every floor start: the flare fades in.
float flareVisibility() { return gFieldCamera.viewSpin.visibility; }

void aimFlare(float x, float y) {
    FlareState& f = gFlareState;
    f.x = x;
    f.y = y;
    float dx = 320.0f - x, dy = 240.0f - y;
    // At the centre itself the last direction, distance and brightness stay.
    if (dx == 0.0f && dy == 0.0f) return;
    f.distance = std::sqrt(dx * dx + dy * dy);
    f.dx = dx / f.distance;
    f.dy = dy / f.distance;
    f.brightness = 1.0f - f.distance / FLARE_REACH;
    if (f.brightness < 0.0f) f.brightness = 0.0f;
}

float glareSize(int32_t sunMode, float visibility, float brightness) {
    if (sunMode == STAGE_SUN_SETTING) return visibility * brightness * 16.0f / 8.0f + 96.0f;
    return visibility * brightness * 160.0f / 8.0f + 8.0f;
}

// Without its atlas the light is still followed, but nothing is drawn.
bool flareAtlasLoaded() { return gFlareSlot.width > 0 && gFlareSlot.height > 0; }

// The world drawing draws the glare behind the room at the far plane, with
// the depth test on: the glare's quads are queued at depth 1 so they show
// only where nothing nearer was drawn, as if drawn first and covered.
void queueFarSprite(float x, float y, float size, const SpriteSource& source) {
    if (!flareAtlasLoaded()) return;
    int32_t first = gSpriteVertexCount;
    SpriteDest dest = {x, y, size, size};
    addSpriteQuad(dest, source, gFlareSlot, 0xFFFFFFFFu);
    for (int32_t i = first; i < gSpriteVertexCount; ++i) gSpriteBatch[i].z = 1.0f;
}

void flushFarSprites() {
    int32_t count = gSpriteVertexCount;
    flushSprites();
    for (int32_t i = 0; i < count; ++i) gSpriteBatch[i].z = 0.0f;
}

}  // namespace

void drawSunGlare() {
    cacheViewProjection();
    GfxDevice* d = gGfxDevice;
    if (!d || !gCurrentStage) return;
    const StageRecord& stage = *gCurrentStage;
    FlareState& f = gFlareState;
    d->setVertexFormat(EFFECT_VERTEX_FORMAT);
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setTexture(0, gFlareSlot.texture);
    d->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    blend(d, GFX_BLEND_ONE, GFX_BLEND_ONE);
    ScreenPoint at = {};
    if (stage.moonOn) {
        mapWorldToScreen(stage.sunpos[0], stage.sunpos[1], stage.sunpos[2], &at);
        if (at.depth >= 0) {
            f.brightness = 0.0f;
        } else {
            f.x = at.x;
            f.y = at.y;
            queueFarSprite(f.x - 64.0f, f.y - 64.0f, 128.0f, SpriteSource{0.0f, 128.0f, 128.0f, 256.0f});
            flushFarSprites();
        }
    } else if (stage.sunMode != STAGE_SUN_NONE) {
        mapWorldToScreen(stage.sunpos[0], stage.sunpos[1], stage.sunpos[2], &at);
        if (at.depth >= 0) {
            f.brightness = 0.0f;
        } else {
            aimFlare(at.x, at.y);
            if (f.brightness > 0.0f) {
                float size = glareSize(stage.sunMode, flareVisibility(), f.brightness);
                SpriteSource source = stage.sunMode == STAGE_SUN_DAY ? SpriteSource{0.0f, 0.0f, 64.0f, 64.0f}
                                                                       : SpriteSource{128.0f, 128.0f, 256.0f, 256.0f};
                queueFarSprite(f.x - size / 2.0f, f.y - size / 2.0f, size, source);
            }
        }
        flushFarSprites();
    }
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCALPHA);
}

void drawLensFlare() {
    GfxDevice* d = gGfxDevice;
    if (!d || !gCurrentStage) return;
    const FlareState& f = gFlareState;
    d->setVertexFormat(EFFECT_VERTEX_FORMAT);
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    blend(d, GFX_BLEND_ONE, GFX_BLEND_ONE);
    float v = flareVisibility();
    if (!(v > 0.0f) || !(f.brightness > 0.0f) || gCurrentStage->sunMode == STAGE_SUN_NONE || !flareAtlasLoaded()) return;
    d->setTexture(0, gFlareSlot.texture);
    float k = v * f.brightness / 8.0f;
    uint32_t a = (uint32_t)(int32_t)(128.0f * k);
    uint32_t colour = 0xFF000000u + a * 0x010101u;
    float m = (k + 1.0f) / 2.0f;
    for (const FlareElement& e : FLARE_ELEMENTS) {
        float cx = f.x + f.distance * e.t * f.dx;
        float cy = f.y + f.distance * e.t * f.dy;
        float z = m * e.size;
        const FlareCell& cell = FLARE_CELLS[e.cell];
        SpriteDest dest = {cx - z / 2.0f, cy - z / 2.0f, z, z};
        SpriteSource source = {(float)cell.x, (float)cell.y, (float)(cell.x + cell.width - 1), (float)(cell.y + cell.height - 1)};
        addSpriteQuad(dest, source, gFlareSlot, colour);
    }
    flushSprites();
    // A faint white flash over the whole screen, added.
    set2DRenderStates();
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADD);
    const FlareCell& last = FLARE_CELLS[FLARE_ELEMENTS[FLARE_ELEMENT_COUNT - 1].cell];
    SpriteDest screen = {0.0f, 0.0f, 640.0f, 480.0f};
    SpriteSource source = {(float)last.x, (float)last.y, (float)(last.x + last.width - 1), (float)(last.y + last.height - 1)};
    addSpriteQuad(screen, source, gFlareSlot, (a / 2) << 24 | 0xFFFFFFu);
    flushSprites();
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
}

#include "field/stage_light.h"

#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/skin_models.h"
#include "engine/stage_index.h"
#include "field/effect_meshes.h"
#include "field/effect_objects.h"
#include "field/resources.h"
#include "field/world_renderer.h"
#include "shop/shop.h"

GfxLight gStageLight;
GfxLight gCharacterLight;

namespace {

struct DayLight {
    float direction[3];
    float diffuse[3];
    float ambient[3];
};
const DayLight DAY_LIGHT_TABLE[3] = {
    {{0.2f, 0.4f, 0.2f}, {0.8f, 0.8f, 0.9f}, {0.6f, 0.6f, 0.6f}},
    {{1.0f, 0.5f, -0.5f}, {0.8f, 0.7f, 0.2f}, {0.9f, 0.6f, 0.3f}},
    {{1.0f, 0.0f, 0.0f}, {0.3f, 0.3f, 0.3f}, {0.6f, 0.6f, 1.2f}},
};
const DayLight CLOSED_LIGHT = {{1.0f, 0.0f, 0.0f}, {0.3f, 0.3f, 0.6f}, {0.2f, 0.2f, 0.8f}};

void setLight(const float direction[3], const float diffuse[3], const float ambient[3]) {
    gStageLight = GfxLight{};
    gStageLight.type = GFX_LIGHT_DIRECTIONAL;
    gStageLight.diffuse = {diffuse[0], diffuse[1], diffuse[2], 0.0f};
    gStageLight.ambient = {ambient[0], ambient[1], ambient[2], 0.0f};
    for (int i = 0; i < 3; ++i) gStageLight.direction[i] = direction[i];
}

// The time-of-day light: between two table sets while the day runs.
void dayLight(int32_t phase, float eased) {
    if (phase <= 1) {
        const DayLight& d = DAY_LIGHT_TABLE[0];
        setLight(d.direction, d.diffuse, d.ambient);
    } else if (phase <= 3) {
        const DayLight& a = DAY_LIGHT_TABLE[phase - 1];
        const DayLight& b = DAY_LIGHT_TABLE[phase - 2];
        float k = (float)phase - eased;
        DayLight mix;
        for (int i = 0; i < 3; ++i) {
            mix.direction[i] = a.direction[i] - (a.direction[i] - b.direction[i]) * k;
            mix.diffuse[i] = a.diffuse[i] - (a.diffuse[i] - b.diffuse[i]) * k;
            mix.ambient[i] = a.ambient[i] - (a.ambient[i] - b.ambient[i]) * k;
        }
        setLight(mix.direction, mix.diffuse, mix.ambient);
    } else {
        setLight(CLOSED_LIGHT.direction, CLOSED_LIGHT.diffuse, CLOSED_LIGHT.ambient);
    }
}

// The pulsing light: from behind the camera, each colour swinging between
// the stage's two ends on the map frame counter.
void pulsingLight(const StageRecord& stage) {
    float yaw = gCamera.yaw;
    const float direction[3] = {0.5f * sinf(-yaw), -0.5f, 0.5f * cosf(-yaw)};
    float swing = (sinf((float)gWorldDraw.mapFrameCounter * stage.maplightspeed) + 1.0f) / 2.0f;
    float colors[6];
    for (int i = 0; i < 6; ++i) {
        float a = stage.maplightRange[i][0];
        float b = stage.maplightRange[i][1];
        colors[i] = a + (b - a) * swing;
    }
    setLight(direction, colors, colors + 3);
}

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

}  // namespace

void updateStageLight() {
    const StageRecord* stage = gCurrentStage;
    int32_t mode = stage ? stage->maplight : 0;
    if (mode == 2) {
        setLight(stage->lightdir, stage->lightcolor, stage->lightamb);
    } else if (mode == 3) {
        dayLight(runningGameState().dayPhase, gTimeOfDay);
    } else if (mode != 0) {
        pulsingLight(*stage);
    }
    if (gGfxDevice) {
        if (mode != 0) gGfxDevice->setLight(0, gStageLight);
        gGfxDevice->lightEnable(0, mode != 0);
        gGfxDevice->setRenderState(GFX_RS_LIGHTING, mode != 0);
    }
    float offset = stage ? stage->chrlightoffset : 0.0f;
    gCharacterLight = gStageLight;
    gCharacterLight.ambient.r = clamp01(gCharacterLight.ambient.r + offset);
    gCharacterLight.ambient.g = clamp01(gCharacterLight.ambient.g + offset);
    gCharacterLight.ambient.b = clamp01(gCharacterLight.ambient.b + offset);
}

namespace {

constexpr uint32_t SHADOW_VERTEX_FORMAT = GFX_FVF_XYZ | GFX_FVF_DIFFUSE | GFX_FVF_TEX1;
constexpr float CULL_DISTANCE = 50.0f;
// A member's shadow height over no ground: the ground probe's mark, and the
// movement's, which holds a member falling over a hole there.
constexpr float NO_GROUND_PROBED = -100.0f;
constexpr float NO_GROUND_MOVED = -30.0f;

float clampf(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
int32_t clampGrey(int32_t g) { return g < 0 ? 0 : (g > 255 ? 255 : g); }

// The eye's distance to a point, the depth counted half.
float eyeDistance(float x, float z) {
    float dx = gCamera.eye.x - x;
    float dz = gCamera.eye.z - z;
    return sqrtf(dx * dx + (dz / 2.0f) * (dz / 2.0f));
}

bool floorObjectTakesPart(const FloorObject& o, int32_t pass) {
    if (o.kind < 0 || o.kind >= FLOOR_OBJECT_KIND_COUNT || o.state == FLOOR_OBJECT_HIDDEN) return false;
    if (floorObjectKindPass(FLOOR_OBJECT_KINDS[o.kind]) != pass) return false;
    return !(gUseTree == 1 && o.kind <= 3);
}

// The flat quad of +-256 in x and z under every shadow.
struct ShadowVertex {
    float x, y, z;
    uint32_t color;
    float u, v;
};

void drawShadowQuad(const Matrix4& world, int32_t grey) {
    uint32_t color = 0xFF000000u + (uint32_t)grey * 0x10101u;
    ShadowVertex quad[4] = {
        {-256.0f, 0.0f, 256.0f, color, 0.0f, 0.0f},
        {256.0f, 0.0f, 256.0f, color, 1.0f, 0.0f},
        {-256.0f, 0.0f, -256.0f, color, 0.0f, 1.0f},
        {256.0f, 0.0f, -256.0f, color, 1.0f, 1.0f},
    };
    gGfxDevice->setTransform(GFX_TS_WORLD, world.m);
    gGfxDevice->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, quad, (int32_t)sizeof(ShadowVertex));
}

// M x S x T: onto the slope, scaled (-f, f, f), moved to the point.
void drawShadowAt(const CollisionHit& ground, float f, float x, float y, float z, int32_t grey) {
    Matrix4 world = matrixMultiply(shadowSlopeMatrix(ground.normalX, ground.normalY, ground.normalZ),
                                   matrixScaling(-f, f, f));
    drawShadowQuad(matrixMultiply(world, matrixTranslation(x, y, z)), grey);
}

void drawPartyShadows() {
    if (charactersHidden()) return;
    bool onlyLeader = gCurrentStage && gCurrentStage->maptype != 0 && gSEasyDisp == 1;
    int32_t members = onlyLeader ? 1 : PARTY_MEMBER_COUNT;
    for (int32_t m = 0; m < members; ++m) {
        float ground = gParty.shadowHeights[m];
        if (gParty.models[m] == -1 || ground == NO_GROUND_PROBED || ground == NO_GROUND_MOVED) continue;
        if (gParty.memberScales[m] <= 0.0f || gParty.memberScales[PARTY_MEMBER_COUNT + m] <= 0.0f) continue;
        if (!shadowGroundFlat(gParty.ground[m].normalY)) continue;
        const Vector3& p = gParty.positions[m];
        ShadowLook look = partyShadowLook(m, p.y - ground);
        drawShadowAt(gParty.ground[m], look.size, p.x, ground + 0.12f, p.z, look.grey);
    }
}

void drawEnemyShadows() {
    for (const Enemy& e : gEnemies) {
        if (e.state == ENEMY_FREE || e.dormancy > 0 || e.scaleX <= 0.0f || e.position.y < -75.0f) continue;
        if (e.kind < 0 || e.kind >= ENEMY_KIND_CAPACITY) continue;
        const EnemyKind& kind = gEnemyKinds[e.kind];
        if (kind.shadowSize <= 0.0f) continue;
        const Enemy& decides = e.parent >= 0 && e.parent < ENEMY_POOL_SIZE ? gEnemies[e.parent] : e;
        if (!shadowGroundFlat(decides.groundHit.normalY)) continue;
        ShadowLook look = enemyShadowLook(e.position.y - e.groundHeight, e.alpha, e.position.y,
                                          e.sizeFactor * kind.scale * kind.shadowSize);
        drawShadowAt(e.groundHit, look.size, e.position.x, e.groundHeight + 0.12f, e.position.z, look.grey);
    }
}

void drawAttackShadows() {
    int32_t n = gWorldDraw.effectCounts.attackObjects;
    n = n < 0 ? 0 : (n > ATTACK_OBJECT_POOL_SIZE ? ATTACK_OBJECT_POOL_SIZE : n);
    for (int32_t i = 0; i < n; ++i) {
        const AttackObject& a = gAttackObjects[i];
        bool small = a.kind == 43 || a.kind == 86 || a.kind == 150;
        if (!small && a.kind != 44 && a.kind != 140) continue;
        if (!shadowGroundFlat(a.ground.normalY)) continue;
        float h = a.position.y - a.ground.floorHeight;
        float f = clampf(0.046f - 0.0005f * h, 0.025f, 0.045f) * 0.2f;
        if (small) f *= 0.4f;
        drawShadowAt(a.ground, f, a.position.x, a.ground.floorHeight + 0.2f, a.position.z, 0);
    }
}

void drawEffectShadows() {
    int32_t n = gWorldDraw.effectCounts.effectObjects;
    n = n < 0 ? 0 : (n > EFFECT_OBJECT_POOL_SIZE ? EFFECT_OBJECT_POOL_SIZE : n);
    for (int32_t i = 0; i < n; ++i) {
        const EffectObject& o = gEffectObjects[i];
        if (o.kind != 80 || o.frame > 275) continue;
        int32_t grey = clampGrey(o.frame <= 80 ? 60 : o.frame - 20);
        float f = 0.0015f * o.scale;
        // Stretched along z and turned first; the ground under it is taken as level.
        Matrix4 world = matrixMultiply(matrixScaling(1.0f, 1.0f, 1.5f), matrixRotationY(-o.angles[1]));
        world = matrixMultiply(world, shadowSlopeMatrix(0.0f, 1.0f, 0.0f));
        world = matrixMultiply(world, matrixScaling(-f, f, f));
        drawShadowQuad(matrixMultiply(world, matrixTranslation(o.position[0], o.position[1] + 0.08f, o.position[2])),
                       grey);
    }
}

void drawFloorObjectShadows() {
    if (gUseTree == 1) return;
    for (const FloorObject& o : gFloorObjects) {
        if (o.kind < 0 || o.kind >= FLOOR_OBJECT_KIND_COUNT || o.state == FLOOR_OBJECT_HIDDEN) continue;
        float size = floorObjectKindShadow(FLOOR_OBJECT_KINDS[o.kind]);
        if (size <= 0.0f || eyeDistance(o.position.x + o.shakeOffset.x, o.position.z + o.shakeOffset.z) > CULL_DISTANCE)
            continue;
        drawShadowAt(o.ground, o.size.x * size * 0.046f, o.position.x, o.position.y + 0.08f, o.position.z, 0x32);
    }
}

void drawPickupShadows() {
    int32_t n = gWorldDraw.effectCounts.pickups;
    n = n < 0 ? 0 : (n > PICKUP_POOL_SIZE ? PICKUP_POOL_SIZE : n);
    for (int32_t i = 0; i < n; ++i) {
        const Pickup& p = gPickups[i];
        if (p.kind == -1 || !shadowGroundFlat(p.ground.normalY)) continue;
        ShadowLook look = pickupShadowLook(p.y - p.groundHeight, p.smallShadow);
        drawShadowAt(p.ground, look.size, p.x, p.groundHeight + 0.08f, p.z, look.grey);
    }
}

// The chosen mesh objects of a pass and their world matrices.
struct ChosenMeshes {
    int32_t count;
    const MeshRecord* meshes[FLOOR_OBJECT_MAX];
    Matrix4 worlds[FLOOR_OBJECT_MAX];
};
ChosenMeshes gChosen;

void drawSkinnedFloorObject(FloorObject& o, const FloorObjectKindRow& kind) {
    if (kind.model < 0 || kind.model >= FIELD_MODEL_COUNT) return;
    SkinModel& model = gFieldModels[kind.model];
    if (!model.data) return;
    float x = o.position.x + o.shakeOffset.x;
    float z = o.position.z + o.shakeOffset.z;
    if (floorObjectKindCulls(kind) && classifyPoint(x, o.position.y, z, 10.0f) >= 0) return;
    model.placement = matrixTranslation(x, o.position.y, z);
    model.orientation =
        matrixMultiply(matrixRotationY(o.yaw), matrixScaling(-0.2f * o.size.x, 0.2f * o.size.y, 0.2f * o.size.z));
    // The object's levels are its animation times: 0 while closed, then
    // the opening's own counter, so the opening plays when it opens.
    static_assert(FLOOR_OBJECT_FADE_PARTS == MODEL_ANIMATION_TIMES);
    uint32_t times[MODEL_ANIMATION_TIMES];
    for (int32_t i = 0; i < MODEL_ANIMATION_TIMES; ++i) times[i] = (uint32_t)o.fadeLevels[i];
    advanceModelAnimations(&model, times, times, 0.0f);
    updateModelFrames(&model, kind.model);
    drawSkinModel(&model);
}

}  // namespace

ShadowLook partyShadowLook(int32_t member, float h) {
    int32_t grey = (int32_t)(5.0f * h) + (member == 2 ? 64 : 0);
    float size = clampf(0.038f - 0.0015f * h, 0.025f, 0.038f) * 0.14f;
    if (member == 2) size *= 0.9f;
    return {clampGrey(grey), size};
}

ShadowLook enemyShadowLook(float h, int32_t alpha, float sinkHeight, float scale) {
    int32_t grey = 0;
    if (alpha != 255) {
        grey = (int32_t)(5.0f * h) + (255 - alpha);
        if (sinkHeight < -70.0f) grey += (int32_t)((sinkHeight + 70.0f) * -50.0f);
    }
    return {clampGrey(grey), clampf(0.046f - 0.002f * h, 0.025f, 0.045f) * scale};
}

ShadowLook pickupShadowLook(float h, int32_t halved) {
    float size = clampf(0.046f - 0.002f * h, 0.025f, 0.045f) * 0.04f;
    if (halved) size *= 0.5f;
    return {clampGrey((int32_t)(5.0f * h)), size};
}

bool shadowGroundFlat(float normalY) { return fabsf(normalY) >= 0.7f; }

Matrix4 shadowSlopeMatrix(float nx, float ny, float nz) {
    Plane plane = planeFromPointNormal({0.0f, 0.2f, 0.0f}, {-nx, ny, -nz});
    return matrixShadow({0.0f, 1.0f, 0.0f, 0.0f}, plane);
}

void drawFloorObjects(int32_t pass) {
    GfxDevice* d = gGfxDevice;
    if (!d) return;
    if (pass == 3) {
        d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ONE);
        d->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_ONE);
    } else {
        d->setRenderState(GFX_RS_CULLMODE, GFX_CULL_CCW);
        d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
        d->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
        d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
        d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
        d->setRenderState(GFX_RS_ZENABLE, 1);
        d->setRenderState(GFX_RS_ZWRITEENABLE, 1);
    }
    bool lit = gCurrentStage && gCurrentStage->maplight != 0;
    d->lightEnable(0, lit);
    d->setRenderState(GFX_RS_LIGHTING, lit);

    gChosen.count = 0;
    for (FloorObject& o : gFloorObjects) {
        if (!floorObjectTakesPart(o, pass)) continue;
        const FloorObjectKindRow& kind = FLOOR_OBJECT_KINDS[o.kind];
        if (kind.type == 1) {
            drawSkinnedFloorObject(o, kind);
            continue;
        }
        if (kind.type != 0 || kind.model < 0 || kind.model >= FIELD_MESH_COUNT) continue;
        const MeshRecord& mesh = gFieldMeshes[kind.model];
        if (!mesh.vertices) continue;
        float x = o.position.x + o.shakeOffset.x;
        float z = o.position.z + o.shakeOffset.z;
        if (floorObjectKindCulls(kind) && eyeDistance(x, z) > CULL_DISTANCE) continue;
        Matrix4 turn = matrixMultiply(matrixMultiply(matrixRotationZ(o.spin), matrixRotationX(o.tilt)),
                                      matrixRotationY(o.yaw));
        Matrix4 world = matrixMultiply(turn, matrixScaling(-0.2f * o.size.x, 0.2f * o.size.y, 0.2f * o.size.z));
        gChosen.meshes[gChosen.count] = &mesh;
        gChosen.worlds[gChosen.count] = matrixMultiply(world, matrixTranslation(x, o.position.y, z));
        gChosen.count++;
    }
    // Grouped by texture, so each texture is bound and set up once.
    resetMeshStateCache();
    for (int32_t t = 0; t < gMeshTextures.count && gChosen.count > 0; ++t) {
        bool applied = false;
        for (int32_t i = 0; i < gChosen.count; ++i) {
            const MeshRecord& mesh = *gChosen.meshes[i];
            bool transformed = false;
            for (int32_t j = 0; j < mesh.materialCount; ++j) {
                if (mesh.textureIndices[j] != t) continue;
                if (!applied) {
                    d->setTexture(0, gMeshTextures.entries[t].texture);
                    applyTextureStates(t);
                    applied = true;
                }
                if (!transformed) {
                    d->setTransform(GFX_TS_WORLD, gChosen.worlds[i].m);
                    transformed = true;
                }
                d->setMaterial(mesh.materials[j]);
                drawMeshSubset(mesh, j);
            }
        }
    }
    d->setTextureStageState(0, GFX_TSS_ADDRESSU, GFX_ADDRESS_WRAP);
    d->setTextureStageState(0, GFX_TSS_ADDRESSV, GFX_ADDRESS_WRAP);
}

namespace {

// The shelf cell in front of the heroine, pulsing on the floor while she
// walks the shop and looks at no vending machine.
void drawPlacementMarker(GfxDevice* d) {
    const ShopPlacementState& p = gShopPlacement;
    if (gShopFloor.shopFloorState != SHOP_FLOOR_WALKING || p.shopEditState[1] != 0) return;
    if (p.placementCell.x == -1 || p.placementCell.z == -1) return;
    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    d->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    d->setTexture(0, gItemWindowTexture.texture);
    uint32_t alpha = (uint32_t)(int32_t)(std::sin((float)gTickCounter * 0.05f) * 32.0f + 159.0f);
    setQuadColour(gMarkerQuad, alpha << 24 | 0xFFFFFFu);
    Matrix4 world = matrixMultiply(matrixScaling(-0.00368f, 0.00368f, 0.00368f),
                                   matrixTranslation(p.placementCursorPos[0], 1.9f, p.placementCursorPos[1]));
    d->setTransform(GFX_TS_WORLD, world.m);
    d->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, gMarkerQuad, sizeof(EffectVertex));
}

}  // namespace

void drawShadows() {
    GfxDevice* d = gGfxDevice;
    if (!d) return;
    d->setTexture(0, gShadeTexture.texture);
    d->setVertexFormat(SHADOW_VERTEX_FORMAT);
    d->setRenderState(GFX_RS_ZFUNC, GFX_CMP_LESSEQUAL);
    d->setRenderState(GFX_RS_NORMALIZENORMALS, 1);
    d->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    d->setRenderState(GFX_RS_ALPHAREF, 0);
    d->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->lightEnable(0, false);
    d->setRenderState(GFX_RS_LIGHTING, 0);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADD);
    d->setTextureStageState(0, GFX_TSS_COLORARG1, GFX_TA_DIFFUSE);
    d->setTextureStageState(0, GFX_TSS_COLORARG2, GFX_TA_TEXTURE);
    d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    d->setRenderState(GFX_RS_ZENABLE, 1);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    // The frame is multiplied by the shadow's colour: a higher grey, a lighter shadow.
    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ZERO);
    d->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_SRCCOLOR);

    drawPartyShadows();
    drawCustomerShadows();
    drawEnemyShadows();
    drawAttackShadows();
    drawEffectShadows();
    drawFloorObjectShadows();
    drawPickupShadows();
    drawPlacementMarker(d);

    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ONE);
    d->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_ONE);
    d->setRenderState(GFX_RS_ZENABLE, 0);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    d->setVertexFormat(SHADOW_VERTEX_FORMAT);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
}

void resetStageLight() {
    gStageLight = GfxLight{};
    gCharacterLight = GfxLight{};
}

void drawRoundFloorShadow(float x, float y, float z, float scale, int32_t grey) {
    if (!gGfxDevice) return;
    drawShadowQuad(matrixMultiply(matrixScaling(-scale, scale, scale), matrixTranslation(x, y, z)), grey);
}

#include "field/field_models.h"
#include "engine/math.h"

#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/skin_models.h"
#include "engine/stage_index.h"
#include "field/effect_objects.h"
#include "field/field_camera.h"
#include "field/motion_sprites.h"
#include "field/resources.h"
#include "field/stage_light.h"
#include "field/world_renderer.h"
#include "shop/shop.h"

namespace {

constexpr uint32_t WORLD_SPRITE_VERTEX_FORMAT = GFX_FVF_XYZ | GFX_FVF_DIFFUSE | GFX_FVF_TEX1;
constexpr int32_t FAIRY_MEMBER = 2;
constexpr int32_t FAIRY_SHEET = 2;
constexpr int32_t LAYERED_SPRITE = 66;   // kinds with this sprite get a second layer
constexpr int32_t LAYER_SPRITE = 67;

GfxDevice* device() { return gGfxDevice; }

int32_t attackMark() {
    int32_t n = gWorldDraw.effectCounts.attackObjects;
    return n < 0 ? 0 : (n > ATTACK_OBJECT_POOL_SIZE ? ATTACK_OBJECT_POOL_SIZE : n);
}
int32_t effectMark() {
    int32_t n = gWorldDraw.effectCounts.effectObjects;
    return n < 0 ? 0 : (n > EFFECT_OBJECT_POOL_SIZE ? EFFECT_OBJECT_POOL_SIZE : n);
}

const EnemyKind* kindOf(const Enemy& e) {
    return e.kind >= 0 && e.kind < ENEMY_KIND_CAPACITY ? &gEnemyKinds[e.kind] : nullptr;
}

void drawMeshAt(const MeshRecord& mesh, const Matrix4& world) {
    if (!mesh.vertices) return;   // not loaded: nothing to show
    device()->setTransform(GFX_TS_WORLD, world.m);
    drawMeshObject(&mesh);
}

// Rotations and scale first, then the translation (row vectors).
Matrix4 place(const Matrix4& turn, float sx, float sy, float sz, const Vector3& at) {
    return matrixMultiply(matrixMultiply(turn, matrixScaling(sx, sy, sz)), matrixTranslation(at.x, at.y, at.z));
}

Matrix4 billboardAt(float sx, float sy, float sz, const Vector3& at) {
    return place(gBillboardMatrix, sx, sy, sz, at);
}

void setSpriteStates(GfxDevice* d) {
    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_POINT);
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_POINT);
    d->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    d->setVertexFormat(WORLD_SPRITE_VERTEX_FORMAT);
    d->setTextureStageState(0, GFX_TSS_MIPFILTER, GFX_FILTER_NONE);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADDSIGNED);
    d->setTextureStageState(0, GFX_TSS_COLORARG1, GFX_TA_DIFFUSE);
    d->setTextureStageState(0, GFX_TSS_COLORARG2, GFX_TA_TEXTURE);
    d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    d->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
    d->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_DIFFUSE);
}

// Binds a sprite sheet when it differs from the last one bound.
void bindSheet(int32_t sheet, int32_t* bound) {
    if (sheet == *bound) return;
    *bound = sheet;
    bool valid = sheet >= 0 && sheet < CHARACTER_TEXTURE_COUNT;
    device()->setTexture(0, valid ? gCharacterTextures[sheet].texture : nullptr);
}

bool drawnOnDungeonOnlyLeader() {
    return gCurrentStage && gCurrentStage->maptype != 0 && gSEasyDisp == 1;
}

// The alpha of an opaque sprite enemy after its factor; 0 or less: not drawn.
int32_t opaqueSpriteAlpha(const Enemy& e) {
    int32_t a = sinkAlpha(e.position.y);
    if (a < 0) return 0;
    return (int32_t)((float)a * e.fadeIn);
}

// A dying enemy is still drawn: the boss endings fade, shrink and pose it.
bool inUse(const Enemy& e) { return e.state != ENEMY_FREE; }

bool isOpaqueSpriteEnemy(const Enemy& e) {
    const EnemyKind* kind = kindOf(e);
    return inUse(e) && e.dormancy <= 0 && e.alpha == 255 && kind &&
           kind->modelKind == ENEMY_MODEL_SPRITE && e.position.y >= -75.0f;
}

Matrix4 opaqueEnemyWorld(const Enemy& e, const EnemyKind& kind) {
    float s = kind.scale * 0.05f;
    return billboardAt(s * e.scaleX * e.sizeFactor, s * e.scaleY * e.sizeFactor, s * e.scaleX * e.sizeFactor, e.position);
}

void drawProps() {
    GfxDevice* d = device();
    // Golem crystals on the exported bones.
    for (Enemy& e : gEnemies) {
        int32_t bone = (e.kind == 62 || e.kind == 65) ? 0 : ((e.kind == 63 || e.kind == 66) ? 1 : -1);
        if (bone < 0 || !inUse(e) || e.dormancy > 0) continue;
        if (!(e.attachWritten & (1 << bone))) continue;
        drawMeshAt(gCrystalMesh, place(matrixRotationY(0.05f * (float)e.age), -0.04f, 0.04f, 0.04f, e.attachPos[bone]));
    }
    int32_t attacks = attackMark();
    for (int32_t i = 0; i < attacks; ++i) {
        const AttackObject& a = gAttackObjects[i];
        if (a.kind == 140 && a.frameCounter % 2 == 0) {
            Matrix4 turn = matrixMultiply(a.orientation, matrixRotationY(a.yaw));
            float s = 0.06f * a.scale;
            drawMeshAt(gPropMeshes[PROP_TUNA], place(turn, -s, s, s, a.position));
        } else if (a.kind == 155 || a.kind == 156) {
            Matrix4 turn = matrixMultiply(matrixRotationX(a.pitch), matrixRotationY(-a.yaw));
            float s = 0.05f * a.scale;
            Matrix4 arrow = place(turn, -s, s, s, a.position);
            drawMeshAt(gPropMeshes[PROP_ARROW], arrow);
            for (int32_t j = 0; j < 4; ++j) {
                float x = 0.0f, y = 0.0f;
                arrowRingOffset(a.kind, a.age, j, &x, &y);
                drawMeshAt(gPropMeshes[PROP_RING], matrixMultiply(matrixTranslation(x, y, 70.0f), arrow));
            }
        }
    }
    // Lit props.
    d->setRenderState(GFX_RS_AMBIENT, 0xFF000000);
    d->lightEnable(0, true);
    d->setRenderState(GFX_RS_LIGHTING, 1);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADD);
    for (int32_t i = 0; i < attacks; ++i) {
        const AttackObject& a = gAttackObjects[i];
        bool always = a.kind == 86 || a.kind == 150;
        bool blinking = (a.kind == 35 || a.kind == 43 || a.kind == 44) && a.frameCounter % 2 == 0;
        if (!always && !blinking) continue;
        float s = 0.2f * a.scale;
        drawMeshAt(gPropMeshes[PROP_ROCK],
                   place(matrixMultiply(a.orientation, matrixRotationX(a.pitch)), -s, s, s, a.position));
    }
    int32_t effects = effectMark();
    for (int32_t i = 0; i < effects; ++i) {
        const EffectObject& o = gEffectObjects[i];
        if (o.kind != 116 && o.kind != 121 && o.kind != 150) continue;
        float s = 0.2f * o.scale;
        Vector3 at = {o.position[0], o.position[1], o.position[2]};
        drawMeshAt(gPropMeshes[PROP_ROCK], place(matrixRotationX(o.angles[0]), -s, s, s, at));
    }
}

void drawPartySprites() {
    GfxDevice* d = device();
    if (gCurrentStage && gCurrentStage->maplight != 0) {
        d->setLight(0, gCharacterLight);
        d->lightEnable(0, true);
        d->setRenderState(GFX_RS_LIGHTING, 1);
        d->setRenderState(GFX_RS_AMBIENT, 0xFF000000);
    }
    float f = partyGrowFactor(floorIntroFrames());
    if (f < 0.0f) return;
    int32_t members = drawnOnDungeonOnlyLeader() ? 1 : PARTY_MEMBER_COUNT;
    int32_t bound = -2;
    for (int32_t m = 0; m < members; ++m) {
        float sx = gParty.memberScales[m];
        float sy = gParty.memberScales[PARTY_MEMBER_COUNT + m];
        int32_t sprite = gParty.models[m];
        if (sx <= 0.0f || sy <= 0.0f || sprite == -1) continue;
        Matrix4 world = billboardAt(0.03f * f * sx, 0.03f * f * sy, 0.03f * f * sx, gParty.positions[m]);
        PartyTint tint = {};
        // The party's light level is not kept yet: the neutral level.
        tint.lightLevel = 1.0f;
        tint.alpha = m == 0 ? gParty.leaderAlpha : 255;
        tint.member = m;
        for (int32_t k = 0; k < PARTY_AILMENT_COUNT; ++k) tint.status[k] = gParty.ailmentTimers[k];
        tint.glowA = gParty.healGlowTimer;
        tint.glowB = gParty.levelGlowTimer;
        tint.pulseCounter = gTickCounter;
        bindSheet(sprite, &bound);
        drawMotionSprite(gParty.motions[m], sprite, sprite, world, partyMemberColor(tint));
    }
}

void drawOpaqueSpriteEnemies() {
    GfxDevice* d = device();
    int32_t bound = -2;
    for (Enemy& e : gEnemies) {
        if (!isOpaqueSpriteEnemy(e)) continue;
        int32_t a = opaqueSpriteAlpha(e);
        if (a <= 0) continue;
        const EnemyKind& kind = *kindOf(e);
        bindSheet(kind.modelNumber, &bound);
        uint32_t color = (uint32_t)a << 24;
        if (e.silhouette) {
            d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ZERO);
        } else {
            d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
            color += 0x7F7F7F;
        }
        drawMotionSprite(e.motion, kind.modelNumber, kind.modelNumber, opaqueEnemyWorld(e, kind), color);
    }
}

}  // namespace

int32_t sinkAlpha(float sinkHeight) {
    if (sinkHeight < -75.0f) return -1;
    if (sinkHeight < -70.0f) return (int32_t)((sinkHeight + 70.0f) * 50.0f + 255.0f);
    return 255;
}

float partyGrowFactor(int32_t introTimer) {
    if (introTimer > 90) return -1.0f;
    float f = (float)(90 - introTimer) / 30.0f;
    return f < 1.0f ? f : 1.0f;
}

uint32_t partyMemberColor(const PartyTint& t) {
    int32_t level = (int32_t)(t.lightLevel * 32.0f + 96.0f);
    int32_t r = level, g = level, b = level;
    if (t.member == 0) {
        float p = sinf((float)t.pulseCounter * 0.2f) * 0.2f + 0.8f;
        if (t.status[0]) {
            r -= (int32_t)(64.0f * p);
            g -= (int32_t)(64.0f * p);
            b -= (int32_t)(48.0f * p);
        } else {
            if (!t.status[1] && !t.status[2]) p = 0.0f;
            float sa = sinf((float)t.glowA * PI / 30.0f);
            float sb = sinf((float)t.glowB * PI / 30.0f);
            r += (int32_t)(127.0f * p) + (int32_t)(32.0f * sb);
            g += (int32_t)(48.0f * sa) + (int32_t)(32.0f * sb);
            b += (int32_t)(96.0f * sa);
        }
    }
    r = r > 255 ? 255 : r;
    g = g > 255 ? 255 : g;
    b = b > 255 ? 255 : b;
    uint32_t alpha = (uint32_t)(t.alpha < 0 ? 0 : (t.alpha > 255 ? 255 : t.alpha));
    return alpha << 24 | (uint32_t)(r & 0xFF) << 16 | (uint32_t)(g & 0xFF) << 8 | (uint32_t)(b & 0xFF);
}

void arrowRingOffset(int32_t kind, int32_t age, int32_t j, float* x, float* y) {
    int32_t t0 = kind == 155 ? 60 : 20;
    float theta = (float)j * PI / 2.0f;
    float r = 0.1f;
    if (age > t0) {
        r = 0.1f * (float)(age - t0);
        if (r > 2.5f) r = 2.5f;
        theta += 0.2f * (float)(age - t0);
    }
    *x = cosf(theta) * r / 0.05f;
    *y = sinf(theta) * r / 0.05f;
}

void setAdditiveLitStates() {
    GfxDevice* d = device();
    d->setRenderState(GFX_RS_AMBIENT, 0xFF000000);
    d->lightEnable(0, true);
    d->setRenderState(GFX_RS_LIGHTING, 1);
    d->setRenderState(GFX_RS_ZENABLE, 1);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 1);
    d->setRenderState(GFX_RS_ALPHAREF, 0);
    d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_SELECTARG1);
    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADD);
    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ONE);
    d->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_ONE);
    d->setRenderState(GFX_RS_FOGENABLE, 0);
}

void drawSkinnedEnemy(Enemy& e) {
    GfxDevice* d = device();
    const EnemyKind* kind = kindOf(e);
    if (!d || !kind || kind->modelNumber < 0 || kind->modelNumber >= ENEMY_MODEL_COUNT) return;
    SkinModel& model = gEnemyModels[kind->modelNumber];
    if (!model.data) return;
    if (e.hitFlash != 0) {
        setColorOpByMode(4);
    } else {
        setColorOpByMode(1);
        d->setRenderState(GFX_RS_LIGHTING, 0);
    }
    bool translucent = e.alpha != 255;
    if (translucent) {
        d->setRenderState(GFX_RS_TEXTUREFACTOR, (uint32_t)(e.alpha & 0xFF) << 24 | 0xFFFFFF);
        d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
        d->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
        d->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_TFACTOR);
    }
    float s = kind->scale * 0.04f;
    model.placement = matrixTranslation(e.position.x, e.position.y, e.position.z);
    model.orientation = matrixMultiply(matrixScaling(-s, s, s), matrixRotationY(PI - e.yaw));
    // The part frames are milliseconds, never negative.
    advanceModelAnimations(&model, reinterpret_cast<const uint32_t*>(e.partFrames[0]),
                           reinterpret_cast<const uint32_t*>(e.partFrames[1]), e.blend);
    e.attachWritten = 0;   // the bones this export writes, for the crystals drawn after it
    setBoneExportTarget(&e);
    updateModelFrames(&model, kind->modelNumber);
    setBoneExportTarget(nullptr);
    drawSkinModel(&model);
    if (translucent) d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_SELECTARG1);
}

void drawFieldModels() {
    GfxDevice* d = device();
    if (!d) return;
    d->setRenderState(GFX_RS_ZENABLE, 1);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 1);
    d->setRenderState(GFX_RS_AMBIENT, 0xFF000000);
    d->lightEnable(0, true);
    d->setRenderState(GFX_RS_LIGHTING, 1);
    d->setRenderState(GFX_RS_NORMALIZENORMALS, 1);
    d->setRenderState(GFX_RS_ZFUNC, GFX_CMP_LESSEQUAL);
    d->setRenderState(GFX_RS_ALPHAREF, 0);
    d->setRenderState(GFX_RS_ALPHATESTENABLE, 1);
    d->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    d->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_SELECTARG1);
    d->setRenderState(GFX_RS_COLORVERTEX, 1);
    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    d->lightEnable(0, false);
    d->setRenderState(GFX_RS_LIGHTING, 0);
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);

    drawProps();

    for (Enemy& e : gEnemies) {
        const EnemyKind* kind = kindOf(e);
        if (inUse(e) && kind && kind->modelKind == ENEMY_MODEL_SKINNED && e.alpha == 255)
            drawSkinnedEnemy(e);
    }

    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_SELECTARG1);
    d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    d->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
    d->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_TFACTOR);
    d->lightEnable(0, false);
    d->setRenderState(GFX_RS_LIGHTING, 0);

    float farPlane = 2000.0f;
    if (gCurrentStage && gCurrentStage->maptype == 0) {
        float elevation = gFieldCamera.cameraElevation + gFieldCamera.cameraOffsets.elevation;
        farPlane = 2200.0f - (elevation - 11.0f) * 75.0f;
        if (runningGameState().shopCameraView > 0 && gShopFloor.shopFloorState != SHOP_FLOOR_OPEN) farPlane = 1100.0f;
    }
    setWorldFarPlane(farPlane);

    setSpriteStates(d);
    if (!charactersHidden()) drawPartySprites();
    d->setRenderState(GFX_RS_AMBIENT, 0xFF000000);
    drawCustomers();
    drawOpaqueSpriteEnemies();
    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    setColorOpByMode(3);
}

void drawSpriteEnemies() {
    GfxDevice* d = device();
    if (!d) return;
    bool statesSet = false;
    auto litStates = [&] {
        if (!statesSet) setAdditiveLitStates();
        statesSet = true;
    };
    int32_t attacks = attackMark();
    for (int32_t i = 0; i < attacks; ++i) {
        const AttackObject& a = gAttackObjects[i];
        if (a.kind != 97) continue;
        litStates();
        Matrix4 world;
        if (a.age < 70) {
            world = place(matrixIdentity(), -0.14f, 0.04f, 0.14f, {a.position.x, 0.0f, a.position.z});
        } else {
            float b = 0.2f * a.scale;
            world = place(matrixIdentity(), -0.5f * b, b, 0.5f * b, a.position);
        }
        drawMeshAt(gPropMeshes[PROP_ICE], world);
    }
    int32_t effects = effectMark();
    for (int32_t i = 0; i < effects; ++i) {
        const EffectObject& o = gEffectObjects[i];
        if (o.kind != 151) continue;
        litStates();
        float b = 0.2f * o.scale;
        Vector3 at = {o.position[0], o.position[1], o.position[2]};
        drawMeshAt(gPropMeshes[PROP_ICE], place(matrixRotationX(o.angles[0]), -b, b, b, at));
    }

    // Translucent sprite enemies, lowest first; equal heights keep pool order.
    static int32_t keys[ENEMY_POOL_SIZE];
    static int32_t order[ENEMY_POOL_SIZE];
    for (int32_t i = 0; i < ENEMY_POOL_SIZE; ++i) {
        keys[i] = (int32_t)gEnemies[i].position.y;
        order[i] = i;
    }
    sortKeysWithValues(keys, order, ENEMY_POOL_SIZE);
    bool first = true;
    int32_t bound = -2;
    for (int32_t i = 0; i < ENEMY_POOL_SIZE; ++i) {
        Enemy& e = gEnemies[order[i]];
        const EnemyKind* kind = kindOf(e);
        if (!inUse(e) || e.alpha == 255 || !kind || kind->modelKind != ENEMY_MODEL_SPRITE) continue;
        if (first) {
            d->setVertexFormat(WORLD_SPRITE_VERTEX_FORMAT);
            d->setRenderState(GFX_RS_FOGENABLE, 0);
            d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
            d->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
            d->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_DIFFUSE);
            d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADDSIGNED);
            d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_POINT);
            d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_POINT);
            d->setRenderState(GFX_RS_ZENABLE, 1);
            d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
            first = false;
        }
        int32_t a = (int32_t)((float)e.alpha * e.fadeIn);
        float s = kind->scale * 0.05f;
        bindSheet(kind->modelNumber, &bound);
        drawMotionSprite(e.motion, kind->modelNumber, kind->modelNumber, billboardAt(s, s, s, e.position),
                         (uint32_t)(a & 0xFF) << 24 | 0x7F7F7F);
    }
}

// The leader's afterimages: set 0 the trail, set 1 while its fade counter runs.
static void drawAfterimages(float f) {
    GfxDevice* d = device();
    float sx = gParty.memberScales[0];
    float sy = gParty.memberScales[PARTY_MEMBER_COUNT];
    int32_t sprite = gParty.models[0];
    if (sx <= 0.0f || sy <= 0.0f || sprite == -1) return;
    const GhostImage* sets[2] = {gParty.clones, gParty.afterimages};
    int32_t fade = gParty.afterimageTimer;
    bool started = false;
    int32_t bound = -2;
    for (int32_t set = 0; set < 2; ++set) {
        if (set == 1 && fade == 0) continue;
        for (int32_t j = 0; j < PARTY_GHOST_COUNT; ++j) {
            const GhostImage& image = sets[set][j];
            int32_t t = image.timer;
            if (t <= 0) continue;
            int32_t alpha;
            if (set == 0) {
                alpha = 8 * (596 - t);
                if (alpha > 155) alpha = 155;
            } else {
                alpha = fade > 9 ? 155 - 20 * j : (fade - 10) * 15 + 155 - 20 * j;
            }
            if (alpha < 0) continue;
            if (!started) {
                bindSheet(sprite, &bound);
                d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
                d->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
                started = true;
            }
            float widthFactor = 0.03f * f * sx;
            float width = widthFactor;
            float height = 0.03f * f * sy;
            if (t < 20) {
                width *= (float)t / 20.0f;
                height *= (float)(20 - t) / 10.0f + 1.0f;
            }
            Vector3 at = {image.position.x, image.position.y, image.position.z + 0.02f};
            drawMotionSprite(image.motion, sprite, sprite, billboardAt(width, height, widthFactor, at),
                             (uint32_t)alpha << 24 | 0x7F7FFF);
        }
        d->setRenderState(GFX_RS_ZWRITEENABLE, 1);
    }
}

void drawPlayerCharacters() {
    GfxDevice* d = device();
    if (!d) return;
    d->setVertexFormat(WORLD_SPRITE_VERTEX_FORMAT);
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADDSIGNED);
    d->setTextureStageState(0, GFX_TSS_COLORARG2, GFX_TA_TEXTURE);
    d->setTextureStageState(0, GFX_TSS_COLORARG1, GFX_TA_DIFFUSE);
    d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    d->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
    d->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_DIFFUSE);
    d->setRenderState(GFX_RS_ZENABLE, 1);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    d->lightEnable(0, false);
    d->setRenderState(GFX_RS_LIGHTING, 0);
    drawCustomerAccessories();

    if (!charactersHidden()) {
        float f = partyGrowFactor(floorIntroFrames());
        if (f >= 0.0f) {
            float sx = gParty.memberScales[FAIRY_MEMBER];
            float sy = gParty.memberScales[PARTY_MEMBER_COUNT + FAIRY_MEMBER];
            bool shown = gSEasyDisp == 0 || (gCurrentStage && gCurrentStage->maptype == 0);
            if (gParty.models[FAIRY_MEMBER] != -1 && shown && sx > 0.0f && sy > 0.0f) {
                d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ONE);
                d->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_ONE);
                d->setTexture(0, gCharacterTextures[FAIRY_SHEET].texture);
                Matrix4 world =
                    billboardAt(0.03f * f * sx, 0.03f * f * sy, 0.03f * f * sx, gParty.positions[FAIRY_MEMBER]);
                drawMotionSprite(gParty.motions[FAIRY_MEMBER], FAIRY_SHEET, FAIRY_SHEET, world, 0xFF7F7F7F);
            }
            drawAfterimages(f);
        }
        int32_t bound = -2;
        for (Enemy& e : gEnemies) {
            if (!isOpaqueSpriteEnemy(e) || kindOf(e)->modelNumber != LAYERED_SPRITE) continue;
            int32_t a = opaqueSpriteAlpha(e);
            if (a <= 0) continue;
            bindSheet(LAYER_SPRITE, &bound);
            drawMotionSprite(e.motion, LAYER_SPRITE, LAYER_SPRITE, opaqueEnemyWorld(e, *kindOf(e)),
                             (uint32_t)a << 24 | 0x7F7F7F);
        }
    }

    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    d->lightEnable(0, false);
    d->setRenderState(GFX_RS_LIGHTING, 0);
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    d->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_ONE);
    d->setRenderState(GFX_RS_CULLMODE, GFX_CULL_CCW);
    for (Enemy& e : gEnemies) {
        const EnemyKind* kind = kindOf(e);
        if (inUse(e) && e.dormancy <= 0 && e.alpha != 255 && kind &&
            kind->modelKind == ENEMY_MODEL_SKINNED)
            drawSkinnedEnemy(e);
    }
    d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    d->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
    d->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_DIFFUSE);
}

void exportEnemyBone(void* enemy, int32_t bone, const Matrix4& combined) {
    if (!enemy || bone < 0 || bone >= MODEL_EXPORT_BONES) return;
    Enemy& e = *static_cast<Enemy*>(enemy);
    e.attachMatrix[bone] = combined;
    Vector3& at = e.attachPos[bone];
    at = Vector3{combined.m[12], combined.m[13], combined.m[14]};
    findGroundUnder(at.x, at.y, at.z, &e.attachGround[bone]);
    e.attachWritten |= 1 << bone;
}

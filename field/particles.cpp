// field/particles.cpp: emitting, moving and drawing the particles, and
// playing the effect sets' timed slots.
#include "field/particles.h"

#include <climits>
#include <cmath>

#include "adventurers/adventurers.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/random.h"
#include "engine/screen_mapping.h"
#include "field/effect_banks.h"
#include "field/effect_images.h"
#include "field/effect_meshes.h"
#include "field/field.h"
#include "field/hud.h"

Particle gParticles[PARTICLE_POOL_SIZE];
EffectSetInstance gEffectSetInstances[EFFECT_SET_INSTANCE_COUNT];

namespace {

constexpr float TWO_PI = 6.2831855f;
constexpr float HALF_PI = 1.5707964f;

// Truncated toward zero, held to the int range (the banks' floats are
// outside bytes).
int32_t truncated(float value) {
    if (!(value > -2147483648.0f)) return value != value ? 0 : -INT32_MAX;
    if (value >= 2147483648.0f) return INT32_MAX;
    return (int32_t)value;
}

bool homes(const Particle& p) { return p.attachKind == EFFECT_ATTACH_GAUGE && p.gravity != 0.0f; }

// The followed owner's position; a particle given no owner follows nothing.
Vector3 ownerPosition(const Particle& p) {
    if (!p.owner) return Vector3{0.0f, 0.0f, 0.0f};
    if (p.attachKind == EFFECT_ATTACH_ENEMY) return static_cast<const Enemy*>(p.owner)->position;
    return static_cast<const PartyState*>(p.owner)->positions[0];
}

void startParticle(Particle& p, const EffectDefinition& d, const void* owner, float x, float y, float z,
                   int32_t definition, float scale, int32_t lifetime, float angle, int32_t attachKind, int32_t screen,
                   int32_t k) {
    p = Particle{};
    p.image = d.image;
    p.type = d.type;
    p.acceleration = d.acceleration;
    p.gravity = d.gravity;
    p.sizeGrowth = d.sizeGrowth;
    p.particleXYRatio = d.particleXYRatio;
    p.speedXYRatio = d.speedXYRatio;
    p.alphaRiseTime = d.alphaRiseTime;
    p.alphaFallTime = d.alphaFallTime;
    p.drawMethod = d.drawMethod;
    p.appearMode = d.appearMode;
    p.size = d.initialSize;
    p.lifetime = lifetime > 0 ? lifetime : d.vanishTime;
    p.lifeExtra = d.vanishSpread > 0 ? randomInt() % d.vanishSpread : 0;
    p.scale = scale * d.overallScale;
    p.position[0] = p.origin[0] = x;
    p.position[1] = p.origin[1] = y;
    p.position[2] = p.origin[2] = z;
    p.owner = owner;
    p.attachKind = attachKind;
    p.screen = screen;
    p.definition = definition;

    switch (p.type) {
    case 3:
    case 7:
        for (float& a : p.angles) a = randomUnit() * TWO_PI;
        break;
    case 6:
        p.angles[1] = angle;
        break;
    case 8:
    case 9:
    case 10:
        p.angles[1] = randomUnit() * TWO_PI;
        p.velocity[1] = d.initialSpeed * 0.1f;
        break;
    case 5: {
        float a = randomUnit() * TWO_PI;
        p.offset[0] = d.initialSpeed * sinf(a);
        p.offset[2] = d.initialSpeed * cosf(a);
        p.position[0] = x + p.offset[0];
        p.position[2] = z + p.offset[2];
        break;
    }
    default:
        break;
    }

    if (p.type == 0 || p.type == 1) {
        if (owner && (attachKind == EFFECT_ATTACH_PARTY_VELOCITY || attachKind == EFFECT_ATTACH_PARTY_VELOCITY_B)) {
            const Vector3& v = static_cast<const PartyState*>(owner)->velocity;
            p.velocity[0] = v.x * p.scale;
            p.velocity[1] = v.y * p.scale;
            p.velocity[2] = v.z * p.scale;
        } else if (owner && attachKind == EFFECT_ATTACH_ENEMY_VELOCITY) {
            const Vector3& v = static_cast<const Enemy*>(owner)->velocity;
            p.velocity[0] = v.x * p.scale;
            p.velocity[1] = v.y * p.scale;
            p.velocity[2] = v.z * p.scale;
        } else {
            float a = randomUnit() * TWO_PI;
            float b = randomUnit() * TWO_PI;
            float r = (randomUnit() + 1.2f) * d.initialSpeed * 0.1f;
            float h = sinf(a) * (1.0f - d.speedXYRatio) * r / 0.5f;
            float v = (cosf(a) + d.speedYBias) * d.speedXYRatio * r / 0.5f;
            p.velocity[0] = sinf(b) * h * p.scale;
            p.velocity[1] = v * p.scale;
            p.velocity[2] = cosf(b) * h * p.scale;
        }
        p.position[0] = x + 3.0f * p.velocity[0];
        p.position[1] = y + 3.0f * p.velocity[1];
        p.position[2] = z + 3.0f * p.velocity[2];
    }
    p.age = -truncated((float)k * d.appearTime);
}

// Flies an overlay particle to the merchant gauge; true on arrival.
bool homeOnGauge(Particle& p, int32_t index) {
    if (p.age <= 30 + index % 4) return false;
    p.gravity *= 0.8f;
    float d[3], step[3];
    for (int32_t i = 0; i < 3; ++i) d[i] = GAUGE_TARGET[i] - p.position[i];
    step[0] = 0.1f * d[0];
    step[1] = 0.1f * d[1];
    step[2] = 0.2f * d[2];
    float stepLength = sqrtf(step[0] * step[0] + step[1] * step[1] + step[2] * step[2]);
    if (stepLength > 0.1f)
        for (float& s : step) s = s * 0.1f / stepLength;
    for (int32_t i = 0; i < 3; ++i) p.velocity[i] += step[i];
    if (p.age > 40) {
        float f = 1.0f - (float)(p.age - 40) * 0.002f;
        if (f < 0.97f) f = 0.97f;
        for (float& v : p.velocity) v *= f;
    }
    float speed = sqrtf(p.velocity[0] * p.velocity[0] + p.velocity[1] * p.velocity[1] + p.velocity[2] * p.velocity[2]);
    if (speed > 1.0f)
        for (float& v : p.velocity) v /= speed;
    float distance = sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    return distance < 0.5f || p.position[1] < GAUGE_TARGET[1];
}

void fireSets() {
    for (EffectSetInstance& s : gEffectSetInstances) {
        if (s.set < 0) continue;
        const EffectSet& set = gEffectBanks.sets[s.set];
        for (int32_t slot = 0; slot < EFFECT_SET_SLOTS; ++slot) {
            if (set.effect[slot] == -1 || set.startFrame[slot] != s.frame) continue;
            const float* at = set.position[slot];
            float scale = s.scale * set.scale[slot];
            if (s.screen)
                spawnParticles(nullptr, overlayX(s.x + at[0]), overlayY(s.y + at[1]), OVERLAY_Z, set.effect[slot],
                               scale, s.lifetime, 0.0f, s.attachKind, 1);
            else
                spawnParticles(s.owner, s.x + at[0], s.y + at[1], s.z + at[2], set.effect[slot], scale, s.lifetime,
                               s.angle, s.attachKind, 0);
        }
        if (++s.frame >= EFFECT_SET_FRAMES) s.set = -1;
    }
}

void startSet(const void* owner, float x, float y, float z, int32_t set, float scale, int32_t lifetime, float angle,
              int32_t attachKind, int32_t screen) {
    if (set < 0 || set >= EFFECT_COUNT) return;
    for (EffectSetInstance& s : gEffectSetInstances) {
        if (s.set != -1) continue;
        s = EffectSetInstance{owner, x, y, z, set, scale, lifetime, angle, attachKind, 0, screen};
        return;
    }
}

// ---- drawing ----

struct Cell {
    float x, y, w, h;
};

Cell imageCell(const Particle& p) {
    const EffectImage& row = gEffectImages[p.image];
    Cell c = {row.x0, row.y0, row.x1, row.y1};
    if (row.frames > 1) {
        int32_t columns = truncated(256.0f / c.w);
        if (columns < 1) columns = 1;   // a cell wider than the sheet: one column
        c.x += (float)(p.animFrame % columns) * c.w;
        c.y += (float)(p.animFrame / columns) * c.h;
    }
    return c;
}

void drawStrip(const EffectVertex* vertices, int32_t triangles, const Matrix4& world) {
    gGfxDevice->setTransform(GFX_TS_WORLD, world.m);
    gGfxDevice->drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, triangles, vertices, (int32_t)sizeof(EffectVertex));
}

Matrix4 scaled(float x, float y, float z, const Matrix4& turn, const float* at) {
    return matrixMultiply(matrixMultiply(matrixScaling(x, y, z), turn), matrixTranslation(at[0], at[1], at[2]));
}

void flatQuad(const Cell& c, uint32_t colour, bool mirrored) {
    float u0 = (c.x + 0.5f) / 256.0f, u1 = (c.x + c.w - 0.5f) / 256.0f;
    if (mirrored) {
        float t = u0;
        u0 = u1;
        u1 = t;
    }
    float v0 = (c.y + 0.5f) / 256.0f, v1 = (c.y + c.h - 0.5f) / 256.0f;
    const float u[4] = {u0, u0, u1, u1}, v[4] = {v0, v1, v0, v1};
    for (int32_t i = 0; i < 4; ++i) {
        gParticleQuad[i].u = u[i];
        gParticleQuad[i].v = v[i];
    }
    setQuadColour(gParticleQuad, colour);
}

void setStripPairs(EffectVertex* strip, int32_t first, int32_t pairs, const Cell& c, float vStep, uint32_t colour) {
    float left = (c.x + 0.5f) / 256.0f, right = (c.x + c.w - 0.5f) / 256.0f;
    for (int32_t j = 0; j < pairs; ++j) {
        float v = (c.y + 0.5f + (float)j * vStep) / 256.0f;
        EffectVertex* a = &strip[2 * (first + j)];
        a[0].u = left;
        a[1].u = right;
        a[0].v = a[1].v = v;
        a[0].colour = a[1].colour = colour;
    }
}

void drawParticle(const Particle& p, int32_t index) {
    // The fade value, by the rise and the fall.
    // Wide: an ageless particle's age grows without bound.
    int64_t a = 255;
    if (p.alphaRiseTime > 0 && p.age < p.alphaRiseTime) a = (int64_t)p.age * 255 / p.alphaRiseTime;
    int64_t fallen = (int64_t)p.age - p.lifeExtra - p.lifetime + p.alphaFallTime;
    if (!homes(p) && p.alphaFallTime > 0 && fallen > 0) a -= fallen * (255 / p.alphaFallTime);
    if (a < 0) return;
    int32_t light = p.appearMode == 1 ? 255 : (int32_t)a;
    float fade = p.appearMode == 0 ? 1.0f : (float)a / 255.0f;
    Cell c = imageCell(p);
    float k = p.scale * p.size * fade;
    float ratio = p.particleXYRatio;
    const float* at = p.position;

    switch (p.type) {
    case 0:
    case 5: {
        flatQuad(c, 0xFF000000u + (uint32_t)light * 0x010101u, index % 2 == 1);
        float side = (1.0f - ratio) * k * 0.006f;
        drawStrip(gParticleQuad, 2, scaled(side, ratio * k * 0.006f, side, gBillboardMatrix, at));
        break;
    }
    case 1: {
        float w = 0.02f;
        int32_t shown = p.age - p.lifeExtra;
        if (shown > 8) w -= 0.001f * (float)(shown - 8);
        if (w <= 0.0f) return;
        Vector3 from = {at[0], at[1], at[2]};
        Vector3 toward = {at[0] + p.velocity[0], at[1] + p.velocity[1], at[2] + p.velocity[2]};
        Vector3 up = vec3Subtract(gCamera.eye, from);
        Vector3 forward = vec3Subtract(toward, from);
        // No motion to lie along, or seen straight along it: no streak.
        if (vec3Length(forward) == 0.0f || vec3Length(vec3Cross(up, forward)) == 0.0f) return;
        Matrix4 align;
        if (!matrixInverse(matrixLookAtRH(from, toward, up), &align, nullptr)) return;
        flatQuad(c, 0xFF000000u + (uint32_t)light * 0x010101u, index % 2 == 1);
        float length = ratio * k * 0.04158f;
        Matrix4 world = matrixMultiply(matrixScaling((1.0f - ratio) * k * 0.1176f * w, length, 2.0f * length),
                                       matrixRotationX(HALF_PI));
        drawStrip(gParticleQuad, 2, matrixMultiply(world, align));
        break;
    }
    case 2:
        flatQuad(c, 0xFF000000u + (uint32_t)light * 0x010101u, false);
        drawStrip(gParticleQuad, 2, scaled(k * 0.003f, k * 0.003f, k * 0.003f, gBillboardMatrix, at));
        break;
    case 3: {
        flatQuad(c, 0xFF000000u + (uint32_t)light * 0x010101u, false);
        Matrix4 turn = matrixMultiply(matrixMultiply(matrixRotationY(p.angles[1]), matrixRotationX(p.angles[0])),
                                      matrixRotationZ(p.angles[2]));
        float s = k * 0.003f;
        drawStrip(gParticleQuad, 2,
                  matrixMultiply(matrixMultiply(turn, matrixScaling(s, s, s)), matrixTranslation(at[0], at[1], at[2])));
        break;
    }
    case 4:
        flatQuad(c, 0xFF000000u + (uint32_t)light * 0x010101u, false);
        drawStrip(gParticleQuad, 2, scaled(k * 0.003f, k * 0.003f, k * 0.003f, matrixRotationX(HALF_PI), at));
        break;
    case 6:
        flatQuad(c, 0xFF000000u + (uint32_t)light * 0x010101u, false);
        drawStrip(gParticleQuad, 2, scaled(k * 0.003f, k * 0.003f, k * 0.003f, matrixRotationY(p.angles[1]), at));
        break;
    case 7: {
        if (p.age >= 40) return;
        int32_t n = 2 * p.age < 32 ? 2 * p.age : 32;
        if (p.age > 24) n += 2 * (24 - p.age);
        if (n < 4) return;
        int32_t first = 8;
        if (p.age > 16) first = p.age - 8 < 32 ? p.age - 8 : 32;
        if (p.age > 24) light += (24 - p.age) * 16;
        if (light < 0) return;
        int32_t pairs = n / 2;
        if (first + pairs > SWEEP_ARC_PAIRS) pairs = SWEEP_ARC_PAIRS - first;
        setStripPairs(gSweepArcStrip, first, pairs, c, c.h / (float)(n / 2), 0xFF000000u + (uint32_t)light * 0x010101u);
        float f = p.scale * 0.02f * fade * p.size;
        Matrix4 turn = matrixMultiply(matrixMultiply(matrixRotationX(p.angles[0]), matrixRotationZ(p.angles[2])),
                                      matrixRotationY(p.angles[1]));
        drawStrip(&gSweepArcStrip[2 * first], 2 * pairs - 2, scaled((1.0f - ratio) * f, ratio * f, ratio * f, turn, at));
        break;
    }
    case 8:
    case 9:
    case 10: {
        uint32_t colour = 0xFF000000u + (uint32_t)light * 0x010101u;
        float side = (1.0f - ratio) * k * 0.02352f;
        Matrix4 world = scaled(side, ratio * k * 0.0378f * p.speedXYRatio / 0.5f, side, matrixRotationY(p.angles[1]), at);
        if (p.type != 10) {
            EffectVertex* strip = p.type == 8 ? gRingStripA : gRingStripB;
            setStripPairs(strip, 0, RING_STRIP_PAIRS, c, (c.h - 1.0f) / 39.0f, colour);
            drawStrip(strip, 2 * RING_STRIP_PAIRS - 2, world);
            break;
        }
        for (int32_t b = 0; b < DOME_BANDS; ++b) {
            Cell band = {c.x + (float)b * (c.w - 1.0f) / 4.0f, c.y, (c.w - 1.0f) / 4.0f + 1.0f, c.h};
            setStripPairs(gDomeStrips[b], 0, DOME_BAND_PAIRS, band, (c.h - 1.0f) / 19.0f, colour);
            drawStrip(gDomeStrips[b], 2 * DOME_BAND_PAIRS - 2, world);
        }
        break;
    }
    default:
        flatQuad(c, 0xFF000000u + (uint32_t)light * 0x010101u, false);
        drawStrip(gParticleQuad, 2,
                  matrixMultiply(matrixScaling(k * 0.003f, k * 0.003f, k * 0.003f), matrixTranslation(at[0], at[1], at[2])));
        break;
    }
}

}  // namespace

void spawnParticles(const void* owner, float x, float y, float z, int32_t definition, float scale, int32_t lifetime,
                    float angle, int32_t attachKind, int32_t screen) {
    if (definition < 0 || definition >= EFFECT_COUNT) return;
    const EffectDefinition& d = gEffectBanks.definitions[definition];
    int32_t count = d.count > 0 ? d.count : 1;
    int32_t started = 0;
    for (int32_t i = 0; i < PARTICLE_POOL_SIZE && started < count; ++i) {
        if (gParticles[i].definition != -1) continue;
        startParticle(gParticles[i], d, owner, x, y, z, definition, scale, lifetime, angle, attachKind, screen, started);
        ++started;
    }
}

void spawnEffect(const void* owner, float x, float y, float z, int32_t definition, float scale, int32_t lifetime,
                 float angle, int32_t attachKind) {
    spawnParticles(owner, x, y, z, definition, scale, lifetime, angle, attachKind, 0);
}

void spawnScreenEffect(float px, float py, int32_t definition, float scale, int32_t lifetime, int32_t attachKind) {
    spawnParticles(nullptr, overlayX(px), overlayY(py), OVERLAY_Z, definition, scale, lifetime, 0.0f, attachKind, 1);
}

void spawnEffectSet(const void* owner, float x, float y, float z, int32_t set, float scale, int32_t lifetime,
                    float angle, int32_t attachKind) {
    startSet(owner, x, y, z, set, scale, lifetime, angle, attachKind, 0);
}

void spawnScreenEffectSet(float px, float py, int32_t set, float scale, int32_t lifetime, int32_t attachKind) {
    startSet(nullptr, px, py, OVERLAY_Z, set, scale, lifetime, 0.0f, attachKind, 1);
}

void updateParticles() {
    fireSets();
    for (int32_t i = 0; i < PARTICLE_POOL_SIZE; ++i) {
        Particle& p = gParticles[i];
        if (p.definition == -1) continue;
        const EffectImage& row = gEffectImages[p.image];
        ++p.animTick;
        if (row.interval > 0 && p.animTick >= row.interval) {
            p.animTick = 0;
            if (++p.animFrame >= row.frames) p.animFrame = row.loop == 1 ? 0 : (row.frames > 0 ? row.frames - 1 : 0);
        }
        bool arrived = false;
        if (p.age >= 0) {
            if (p.attachKind == EFFECT_ATTACH_PARTY || p.attachKind == EFFECT_ATTACH_ENEMY) {
                Vector3 at = ownerPosition(p);
                for (int32_t a = 0; a < 3; ++a) p.offset[a] += p.velocity[a];
                p.position[0] = p.origin[0] + at.x + p.offset[0];
                p.position[1] = p.origin[1] + at.y + p.offset[1];
                p.position[2] = p.origin[2] + at.z + p.offset[2];
            } else if (p.type >= 8 && p.type <= 10) {
                p.angles[1] += p.velocity[1];
            } else {
                for (int32_t a = 0; a < 3; ++a) p.position[a] += p.velocity[a];
            }
            for (float& v : p.velocity) v *= p.acceleration;
            p.velocity[1] += p.gravity;
            if (homes(p)) arrived = homeOnGauge(p, i);
            p.size += p.sizeGrowth;
        }
        ++p.age;
        if (arrived) {
            p.definition = -1;
            startGaugeShake();
            continue;
        }
        if (homes(p) || p.lifetime == -1) continue;
        if (p.age - p.lifeExtra >= p.lifetime || p.size <= 0.0f) p.definition = -1;
    }
}

void drawParticles(int32_t drawMethod, int32_t screen) {
    if (!gGfxDevice) return;
    for (int32_t g = 0; g < gEffectGroupCount; ++g) {
        for (int32_t i = 0; i < PARTICLE_POOL_SIZE; ++i) {
            const Particle& p = gParticles[i];
            if (p.definition == -1 || p.drawMethod != drawMethod || p.screen != screen || p.age < 0) continue;
            if (gEffectImages[p.image].group != g) continue;
            bindTextureCached(gEffectImageTextures[g].texture);
            drawParticle(p, i);
        }
    }
}

void clearEffectPools() {
    for (Particle& p : gParticles) {
        p = Particle{};
        p.definition = -1;
    }
    for (EffectSetInstance& s : gEffectSetInstances) {
        s = EffectSetInstance{};
        s.set = -1;
    }
}

// The rules of the attack objects' kinds: one row of kinds per rule, in
// the order the rules are tested. Main thread.
#include "adventurers/attack_kinds.h"

#include <cmath>

#include "adventurers/adventurers_state.h"
#include "adventurers/bag.h"
#include "adventurers/hero_attacks.h"
#include "adventurers/motion.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/frame_loop.h"
#include "engine/random.h"
#include "engine/screen_mapping.h"
#include "engine/sound.h"

namespace {

constexpr float PI_F = 3.14159265f;

Vector3 dir(float t) { return {sinf(t), 0.0f, cosf(t)}; }
Vector3 add(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 sub(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 mul(Vector3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float length(Vector3 a) { return sqrtf(a.x * a.x + a.y * a.y + a.z * a.z); }
Vector3 up(Vector3 a, float h) { return {a.x, a.y + h, a.z}; }

Vector3 leader() { return gParty.positions[0]; }
// The leader's eight-way facing index, from her sprite direction.
int32_t facingIndex() { return gParty.motions[0].direction; }

Enemy* ownerOf(const AttackObject& a) {
    return (a.ownerEnemy >= 0 && a.ownerEnemy < ENEMY_POOL_SIZE) ? &gEnemies[a.ownerEnemy] : nullptr;
}

void end(AttackObject& a) { a.kind = 0; }
bool endAt(AttackObject& a, int32_t age) {
    if (a.age < age) return false;
    end(a);
    return true;
}
// An object of the party's side ends when the character was hit.
bool stunEnd(AttackObject& a) {
    if (gParty.stunTimer == 0) return false;
    end(a);
    return true;
}
// An enemy's object ends with its owner's life.
bool ownerEnd(AttackObject& a) {
    const Enemy* o = ownerOf(a);
    if (o && o->state == ENEMY_ALIVE) return false;
    end(a);
    return true;
}
// Kinds that wait while their age is negative stand still meanwhile.
bool held(AttackObject& a) {
    if (a.age >= 0) return false;
    a.position = sub(a.position, a.velocity);
    return true;
}

bool inView(Vector3 p, float margin) { return classifyPoint(p.x, p.y, p.z, margin) < 0; }
bool between(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

void effect(Vector3 p, int32_t definition, float scale, int32_t lifetime = EFFECT_LIFETIME_DEFAULT,
            const void* owner = nullptr, int32_t attach = EFFECT_ATTACH_FREE, float angle = 0.0f) {
    spawnEffect(owner, p.x, p.y, p.z, definition, scale, lifetime, angle, attach);
}
void effectOnParty(Vector3 p, int32_t definition, float scale, int32_t lifetime = EFFECT_LIFETIME_DEFAULT,
                   float angle = 0.0f) {
    effect(p, definition, scale, lifetime, &gParty, EFFECT_ATTACH_PARTY, angle);
}
void effectSet(Vector3 p, int32_t set, float scale, const void* owner = nullptr, int32_t attach = 0) {
    spawnEffectSet(owner, p.x, p.y, p.z, set, scale, EFFECT_LIFETIME_DEFAULT, 0.0f, attach);
}
void effectObject(Vector3 p, int32_t kind, float scale, int32_t count) {
    spawnEffectObject(nullptr, p.x, p.y, p.z, kind, scale, count);
}
void shake() { startCameraShake(10, 4, 4, 1.0f); }

int32_t hit(AttackObject& a) { return resolveAttackHit(a); }
// Up to n targets, one per call, while the calls hit.
void hits(AttackObject& a, int32_t n) {
    for (int32_t i = 0; i < n && a.kind != 0; ++i)
        if (hit(a) == 0) break;
}
// A beam tested along its length: n steps of its velocity, then back.
void sweep(AttackObject& a, int32_t n, bool testFirst, float viewMargin = -1.0f) {
    for (int32_t i = 0; i < n; ++i) {
        if (!testFirst) a.position = add(a.position, a.velocity);
        if (viewMargin < 0.0f || inView(a.position, viewMargin)) hit(a);
        if (testFirst) a.position = add(a.position, a.velocity);
    }
    a.position = sub(a.position, mul(a.velocity, (float)n));
}
// The ground under the object, kept in its record; true when found.
bool groundUnder(AttackObject& a, float* height) {
    if (!findGroundUnder(a.position.x, a.position.y, a.position.z, &a.ground)) return false;
    *height = a.ground.floorHeight;
    return true;
}
void freshSerial(AttackObject& a) { a.serial = takeAttackSerial(); }
float swingHeight(int32_t kind) { return kind >= 109 && kind <= 112 ? 2.0f : 1.0f; }

// ---- The rules, one per row of kinds. Each returns false when its tick
// skips the wall stage.

bool enemyBeam(AttackObject& a, int32_t) {
    if (ownerEnd(a)) return true;
    const Enemy& o = *ownerOf(a);
    float d = o.yaw;
    if (o.kind == 75 || o.kind == 76 || o.kind == 72) {
        a.scale = 3.0f;
        a.position = o.attachPos[1];
        d = o.yaw + (o.kind == 76 ? -0.3f : 0.3f);
    } else {
        a.position = add(a.origin, mul(dir(o.yaw), 1.5f));
    }
    a.velocity = dir(d);
    if (a.kind == 30 && a.age == 4) playSoundEffect(374);
    if (a.kind == 30 && a.age == 75) playSoundEffect(676);
    a.hitRadius = a.kind == 30 ? -0.5f : (a.kind == 136 ? 1.0f : 0.5f);
    int32_t last = a.kind == 30 ? 89 : (a.kind == 136 ? 134 : 334);
    if (a.variant == 0 && between(a.age, 75, last)) sweep(a, a.kind == 30 ? 30 : 40, true);
    endAt(a, a.kind == 30 ? 105 : (a.kind == 136 ? 150 : 350));
    return true;
}

bool enemyBreath(AttackObject& a, int32_t) {
    if (ownerEnd(a)) return true;
    const Enemy& o = *ownerOf(a);
    float ang = (float)o.motion.direction * 2.0f * PI_F / 8.0f;
    float r = a.kind == 137 ? 2.0f : 5.0f * a.scale;
    a.position = add(o.position, mul(dir(ang), r));
    a.position.y = o.position.y + 2.0f * a.scale;
    a.velocity = dir(ang);
    if (a.kind == 137 && a.age >= 11) {
        float s = fminf((float)a.age * 0.02f, 1.0f);
        Vector3 p = add(a.position, mul(dir(randomUnit() * 2.0f * PI_F), 3.0f));
        p.y = a.position.y + (randomUnit() - 0.5f) * 6.0f;
        effect(p, 15, 0.8f * s);
        effect(add(a.position, mul(dir(ang), 0.5f)), 65, 5.0f * s);
    }
    if (a.age == 80) playSoundEffect(705);
    a.hitRadius = 2.5f;
    if (between(a.age, 80, 159)) sweep(a, 20, false);
    endAt(a, 175);
    return true;
}

bool heroBreath(AttackObject& a, int32_t) {
    if (stunEnd(a)) return true;
    a.position = add(leader(), mul(dir(a.yaw), 3.5f * a.scale));
    a.position.y = leader().y + 2.0f * a.scale;
    a.velocity = dir(a.yaw);
    if (a.age == 80) {
        playSoundEffect(705);
        startCameraShake(10, 4, 4, 1.0f);
    }
    a.hitRadius = 2.5f;
    if (between(a.age, 80, 159)) sweep(a, 20, true);
    endAt(a, 175);
    return true;
}

// The great bow's arrow: it sinks to its height, tilts down from flat and
// rises away; returns its height.
float bowHeight(AttackObject& a, float top, int32_t riseAge, int32_t tiltAge, float floor) {
    float h = fmaxf(top - 0.3f * (float)a.age, floor);
    if (a.age >= riseAge) h = (float)(a.age - riseAge) * 0.6f + floor;
    a.pitch = -PI_F / 2.0f;
    if (a.age >= tiltAge) a.pitch = fminf((float)(a.age - tiltAge) * 0.0785398f - PI_F / 2.0f, 0.0f);
    return h;
}

bool enemyBow(AttackObject& a, int32_t) {
    Enemy* o = ownerOf(a);
    if (!o) {
        end(a);
        return true;
    }
    float h = bowHeight(a, 10.0f, 190, 26, a.scale);
    a.position = sub(o->position, mul(dir(a.yaw), 1.5f * a.scale));
    a.position.y = o->position.y + h * a.scale;
    if (between(a.age, 33, 162)) {
        Vector3 at = {5.0f * a.scale * sinf(a.yaw), 2.0f * a.scale, 5.0f * a.scale * cosf(a.yaw)};
        effect(at, 106, a.scale, EFFECT_LIFETIME_DEFAULT, o, EFFECT_ATTACH_ENEMY);
        effect(at, 110, a.scale, EFFECT_LIFETIME_DEFAULT, o, EFFECT_ATTACH_ENEMY);
        if (a.age % 3 == 0) effect(at, 111, a.scale, EFFECT_LIFETIME_DEFAULT, o, EFFECT_ATTACH_ENEMY);
    }
    if (a.age == 1) {
        playSoundEffect(706);
        spawnEnemyAttack(*o, 158, ATTACK_SIDE_ENEMY);
    }
    endAt(a, 200);
    return true;
}

bool heroBow(AttackObject& a, int32_t) {
    if (stunEnd(a)) return true;
    float h = bowHeight(a, 15.0f, 365, 36, 2.0f * a.scale);
    a.position = sub(leader(), mul(dir(a.yaw), 1.5f * a.scale));
    a.position.y = leader().y + h;
    if (between(a.age, 123, 364)) {
        Vector3 at = {3.5f * a.scale * sinf(a.yaw), 2.0f * a.scale, 3.5f * a.scale * cosf(a.yaw)};
        effectOnParty(at, 106, a.scale);
        effectOnParty(at, 110, a.scale);
        if (a.age % 3 == 0) effectOnParty(at, 111, a.scale);
    }
    if (a.age == 130) playSoundEffect(706);
    if (a.age == 200) spawnHeroAttack(gParty, 157, -1);
    endAt(a, 390);
    return true;
}

bool strikeCaller(AttackObject& a, int32_t) {
    if (4 * a.variant != a.age - 20) return true;
    gParty.strikeOrdinal = a.variant;
    spawnHeroAttack(gParty, 104, -1);
    end(a);
    return true;
}

bool strike(AttackObject& a, int32_t) {
    int32_t h = a.side == ATTACK_SIDE_ENEMY ? 20 : 0;
    if (a.age == 1) effectOnParty(a.origin, 5, 1.0f, 100);
    if (a.age == h + 10) playSoundEffect(676);
    if (a.age == h + 30) effect(a.origin, 0, 0.8f);
    if (a.age == h + 40) {
        playSoundEffect(681);
        effect(a.origin, 14, 0.2f);
    }
    if (a.age < h + 20) a.position = sub(a.position, a.velocity);
    a.hitRadius = a.side == ATTACK_SIDE_ENEMY ? 0.2f : 1.0f;
    if (between(a.age, h, h + 59)) hit(a);
    endAt(a, h + 75);
    return true;
}

bool whirl(AttackObject& a, int32_t) {
    if (stunEnd(a)) return true;
    a.position = sub(a.position, a.velocity);
    if (a.age == 1) {
        effectOnParty(a.position, 17, 1.0f, EFFECT_LIFETIME_DEFAULT, a.yaw);
        if (a.kind == 116) effectOnParty(a.position, 18, 1.0f);
    }
    a.wallCheck = 1;
    if (a.age % 4 == 0) {
        gParty.velocity = mul(a.velocity, 0.2f);
        Vector3 p = sub(a.position, mul(dir((float)facingIndex() * 2.0f * PI_F / 8.0f), 5.0f));
        p.x += (randomUnit() - 0.5f) * 3.0f;
        p.y += (randomUnit() - 0.5f) * 2.0f;
        p.z += (randomUnit() - 0.5f) * 3.0f;
        effect(p, 44, 1.8f, EFFECT_LIFETIME_DEFAULT, &gParty, EFFECT_ATTACH_PARTY_VELOCITY_B);
        gParty.velocity = {0.0f, 0.0f, 0.0f};
    }
    a.hitRadius = a.kind == 116 ? 0.0f : 0.7f;
    if (between(a.age, 0, 39)) sweep(a, 20, true, 1.0f);
    endAt(a, 55);
    return true;
}

bool enemySwing(AttackObject& a, int32_t) {
    const Enemy* o = ownerOf(a);
    if (!o || o->ai[0] != 1) {
        end(a);
        return true;
    }
    a.position = up(add(o->position, dir(a.yaw)), 1.0f);
    a.origin = up(sub(o->position, mul(dir(a.yaw), 0.4f * (float)a.variant)), 1.0f);
    a.hitRadius = 1.5f;
    if (a.variant == 0 && between(a.age, 6, 9)) hits(a, 5);
    endAt(a, 20);
    return true;
}

bool heroSwing(AttackObject& a, int32_t) {
    if (stunEnd(a)) return true;
    float lift = swingHeight(a.kind);
    if (a.anchor >= 0 && a.anchor < PARTY_GHOST_COUNT) {
        Vector3 c = gParty.clones[a.anchor].position;
        a.position = up(add(c, dir(a.yaw)), lift);
        a.origin = up(c, 1.0f);
    } else {
        a.position = up(add(leader(), dir(a.yaw)), lift);
        a.origin = up(sub(leader(), mul(dir(a.yaw), 0.4f * (float)a.variant)), 1.0f);
    }
    if (a.kind == 103)
        effectOnParty(add(a.position, mul(dir((float)a.age / 2.0f), 4.0f)), 13, 1.0f);
    switch (a.kind) {
    case 2: case 84: a.hitRadius = 2.0f; break;
    case 3: case 4: a.hitRadius = 1.5f; break;
    case 34: a.hitRadius = 3.5f; break;
    case 103: a.hitRadius = 5.5f; break;
    default: a.hitRadius = 2.5f; break;
    }
    if (a.variant == 0 && between(a.age, 6, 9)) {
        for (int32_t i = 0; i < 5 && a.kind != 0; ++i) {
            if (hit(a) == 0) break;
            // The soul-drinking blade pays part of each blow back as SP.
            if (a.kind == 4 && gCombat.lastDamage >= 1) {
                gParty.delayedSpAmount = gCombat.lastDamage / 10 > 1 ? gCombat.lastDamage / 10 : 1;
                gParty.delayedSpTimer = 30;
            }
        }
    }
    endAt(a, 20);
    return true;
}

bool heldBeam(AttackObject& a, int32_t) {
    if (stunEnd(a)) return true;
    if (a.kind == 114 && gParty.actionState != 2) {
        end(a);
        return true;
    }
    float l = fminf((float)a.age * 0.2f + 0.5f, 2.0f);
    if (a.kind == 113) l = a.age < 20 ? sinf((float)a.age * PI_F / 40.0f) * 2.5f + 0.5f : 3.0f;
    if (a.kind == 125) l = 2.5f;
    if (a.kind == 114) l *= 0.9f;
    a.position = up(add(leader(), mul(dir(a.yaw), l)), 1.0f);
    int32_t f = facingIndex();
    if (f == 0) a.position.x -= 0.4f;
    else if (f == 4) a.position.x += 0.4f;
    else a.position.z += 0.4f;
    if (a.kind == 125 && a.age == 1) effectSet({a.position.x, 0.0f, a.position.z}, 6, 1.0f, &gParty, EFFECT_ATTACH_PARTY);
    // The held beam hits the same target again every five ticks.
    if (a.kind == 114 && a.age % 5 == 4) freshSerial(a);
    a.hitRadius = a.kind == 113 ? 0.5f : (a.kind == 125 ? 1.5f : 1.0f);
    if (between(a.age, 4, a.kind == 114 ? 19999 : 19)) hits(a, 5);
    if (a.kind != 114) endAt(a, 30);
    return a.kind != 114 || a.age % 5 == 4;
}

bool grab(AttackObject& a, int32_t) {
    if (stunEnd(a)) return true;
    a.position = up(add(leader(), dir(a.yaw)), 1.0f);
    a.origin = up(leader(), 1.0f);
    a.hitRadius = 0.5f;
    if (hit(a)) {
        gParty.actionState = 7;
        gParty.actionFrame = 0;
        end(a);
        return true;
    }
    endAt(a, 36);
    return true;
}

bool dashHit(AttackObject& a, int32_t) {
    if (gParty.actionState != 0 || gParty.dashing == 0 || stunEnd(a)) {
        end(a);
        return true;
    }
    a.position = up(add(leader(), mul(dir(a.yaw), 0.5f)), 1.0f);
    a.hitRadius = 0.5f;
    if (!hit(a)) return true;
    PartyState& p = gParty;
    p.dashing = p.dashWindow = p.dashDirection = 0;
    float f;
    if (a.kind == 138) {
        playDamageVoice(0);
        playSoundEffect(319);
        p.stunTimer = 45;
        p.actionState = 1;
        setMotion(p.motions[0], 2);
        startCameraShake(8, 4, 4, 0.5f);
        f = 1.4f;
    } else {
        p.stunTimer = 15;
        p.actionState = 1;
        f = 0.8f;
    }
    p.velocity = {-0.1f * f * sinf(a.yaw), 0.3f, -0.1f * f * cosf(a.yaw)};
    end(a);
    return true;
}

bool heroBlow(AttackObject& a, int32_t) {
    if (stunEnd(a)) return true;
    a.position = up(add(leader(), dir(a.yaw)), 1.0f);
    a.origin = up(leader(), 1.0f);
    if (a.age == 2) effectObject(up(a.position, a.kind == 91 ? 0.0f : 1.0f), 4, 1.8f, 1);
    a.hitRadius = a.kind == 135 ? 2.5f : 1.5f;
    if (between(a.age, 2, 5)) hits(a, 5);
    endAt(a, 20);
    return true;
}

bool growingShot(AttackObject& a, int32_t) {
    a.scale = fminf(a.scale + 0.03f, 1.5f);
    a.hitRadius = 0.1f * a.scale - 0.5f;
    hit(a);
    if (a.kind != 0) endAt(a, 120);
    return true;
}

bool seekingOrb(AttackObject& a, int32_t) {
    if (ownerEnd(a)) return true;
    a.scale = fminf(a.scale + 0.03f, 2.0f);
    a.hitRadius = 0.1f * a.scale + 0.5f;
    if (10 * a.variant + 30 < a.age && a.age < 120) {
        a.velocity.x = (a.velocity.x + (leader().x - a.position.x) * 0.003f) * 0.95f;
        a.velocity.z = (a.velocity.z + (leader().z - a.position.z) * 0.003f) * 0.95f;
    }
    if (a.age >= 120) {
        effect(a.position, 7, 1.5f, 30);
        effect(up(a.position, -1.0f), 11, 1.0f);
        playSoundEffect(684);
        a.position.y += 1.0f;
        hit(a);
        end(a);
    }
    return true;
}

bool iceShard(AttackObject& a, int32_t) {
    a.hitRadius = 0.1f * a.scale - 0.5f;
    hit(a);
    if (a.kind != 0) endAt(a, 200);
    return true;
}

bool delayedBlast(AttackObject& a, int32_t) {
    if (a.age == 45) {
        playSoundEffect(684);
        effect(up(a.position, 1.5f), 7, 1.5f, 120);
    }
    if (a.age >= 45) hit(a);
    if (a.kind != 0) endAt(a, 155);
    return true;
}

bool trapRock(AttackObject& a, int32_t) {
    a.velocity.y = (a.velocity.y - 0.02f) * 0.95f;
    a.pitch += 0.05f;
    a.roll += 0.03f;
    a.orientation = matrixIdentity();
    if (a.variant >= 1) a.variant++;
    float g;
    if (groundUnder(a, &g) && a.velocity.y < 0.0f && a.position.y <= g + 0.5f * a.scale) {
        a.position.y = g + 0.5f * a.scale;
        a.velocity.y *= -0.8f;
        if (a.variant == 0) {
            a.variant = 1;
            startCameraShake(4, 4, 4, 1.0f);
            playSoundEffect(360);
        }
    }
    a.hitRadius = 1.2f * a.scale;
    if (a.variant == 0) hit(a);
    if (a.variant >= 30) end(a);
    else endAt(a, 300);
    return true;
}

bool trapBlade(AttackObject& a, int32_t) {
    a.yaw += 0.15f;
    a.hitRadius = 1.0f;
    hit(a);
    if (a.variant >= 100) end(a);
    else endAt(a, 1200);
    return true;
}

bool driftingSpell(AttackObject& a, int32_t) {
    a.scale += 0.002f;
    a.roll += 0.03f;
    a.hitRadius = 0.1f * a.scale;
    if (a.age < (a.kind == 33 ? 72 : 248)) hit(a);
    endAt(a, a.kind == 33 ? 80 : 256);
    return true;
}

bool tumble(AttackObject& a) {
    a.pitch += 0.05f;
    a.roll += 0.03f;
    a.orientation = matrixMultiply(matrixRotationX(a.roll), matrixRotationY(a.pitch));
    return true;
}

bool fallingRock(AttackObject& a, int32_t index) {
    if (a.variant != 1) {
        tumble(a);
        a.velocity.y -= 0.02f;
        float g;
        if (groundUnder(a, &g) && a.velocity.y < 0.0f && a.position.y < g + 0.5f * a.scale) {
            a.position.y = g + 0.5f * a.scale;
            a.velocity = {0.0f, 0.0f, 0.0f};
            a.variant = 1;
            a.age = 40;
            effect(a.position, 7, 1.5f, 32);
            effect(up(a.position, -1.0f), 11, 1.0f);
            if (index % 2 == 1) playSoundEffect(704);
        }
    }
    a.hitRadius = 0.2f * a.scale;
    if (a.age < 72) hit(a);
    endAt(a, 80);
    return true;
}

bool bouncingSpell(AttackObject& a, int32_t) {
    a.scale += 0.002f;
    a.roll += 0.03f;
    float g;
    if (groundUnder(a, &g) && a.velocity.y < 0.0f && a.position.y < g + 0.5f * a.scale) {
        a.position.y = g + 0.5f * a.scale;
        a.velocity.y = -a.velocity.y;
    }
    a.hitRadius = 0.2f * a.scale;
    if (a.age < 152) hit(a);
    endAt(a, 160);
    return true;
}

float bodyRadius(const Enemy& o) {
    if (o.kind == 13 || o.kind == 14) return -0.8f;
    const EnemyKind& row = gEnemyKinds[o.kind];
    return (row.pushRadius + 0.1f - 1.5f) * o.hitSize * row.scale - 0.3f;
}
void placeOnBody(AttackObject& a, const Enemy& o) {
    const EnemyKind& row = gEnemyKinds[o.kind];
    a.position = o.position;
    a.position.y = o.position.y + o.hitSize * row.centreHeight * row.scale * 0.5f;
}

bool bodyAttack(AttackObject& a, int32_t) {
    if (ownerEnd(a)) return true;
    Enemy& o = *ownerOf(a);
    placeOnBody(a, o);
    a.hitRadius = bodyRadius(o);
    // The grab heals its owner by what it took.
    if (hit(a) && a.kind == 19) {
        o.healAmount = gCombat.lastDamage;
        o.healTimer = 30;
    }
    return true;
}

bool bodyBlow(AttackObject& a, int32_t) {
    if (ownerEnd(a)) return true;
    Enemy& o = *ownerOf(a);
    placeOnBody(a, o);
    a.hitRadius = a.kind == 17 ? 0.0f : bodyRadius(o);
    hit(a);
    if (a.kind != 0) endAt(a, 7);
    return true;
}

bool frontBlow(AttackObject& a, int32_t) {
    const Enemy* o = ownerOf(a);
    if (o) a.position = up(add(o->position, mul(dir(o->yaw), 2.0f)), 2.0f);
    a.hitRadius = (a.kind == 21 && o && o->kind == 25) ? 0.0f : 0.5f;
    if (a.kind == 13 ? between(a.age, 5, 8) : between(a.age, 0, 14)) hit(a);
    if (a.kind != 0) endAt(a, 40);
    return true;
}

bool thunder(AttackObject& a, int32_t) {
    if (a.age == 1) effect(a.position, 68, 2.5f);
    if (a.age == 40) {
        effect(up(a.position, 4.0f), 66, 2.0f);
        effect(a.position, 67, 1.5f);
        effect(a.position, 69, 1.5f);
        playSoundEffect(675);
    }
    a.hitRadius = 3.0f;
    if (between(a.age, 40, 47)) hit(a);
    endAt(a, 60);
    return true;
}

bool fireTrail(AttackObject& a, int32_t) {
    if (a.age % 2 == 1) effect({a.position.x, 0.0f, a.position.z}, 86, 1.0f);
    a.hitRadius = 1.0f;
    hit(a);
    endAt(a, 800);
    return true;
}

bool burst(AttackObject& a, int32_t) {
    const Enemy* o = ownerOf(a);
    int32_t ok = o ? o->kind : -1;
    int32_t n = 1, endAge = 15;
    a.hitRadius = 2.0f;
    if (ok == 49) {
        a.hitRadius = 3.0f;
        endAge = 8;
    } else if (ok == 15) {
        a.hitRadius = 1.0f;
        endAge = 1;
    } else if (ok >= 37 && ok <= 40) {
        a.hitRadius = 4.0f;
        n = 20;
        endAge = 1;
    } else if (ok >= 61 && ok <= 66) {
        a.hitRadius = 3.5f;
        endAge = 5;
    } else if (ok == 70 || ok == 71) {
        a.hitRadius = 1.0f;
        endAge = 1;
    } else if (ok == 68 || ok == 69) {
        a.hitRadius = 1.15f * gEnemyKinds[ok].scale;
        endAge = 1;
    } else if (ok == 67) {
        a.position = up(add(o->position, mul(dir(o->yaw), 2.0f)), 2.0f);
        a.hitRadius = 3.5f;
        endAge = 60;
    } else if (ok == 24 || ok == 59 || ok == 60) {
        a.hitRadius = o->ai[1] >= 100 ? 8.5f : 6.5f;
    }
    hits(a, n);
    if (a.kind != 0) endAt(a, endAge);
    return true;
}

bool lunge(AttackObject& a, int32_t) {
    const Enemy* o = ownerOf(a);
    if (o && (o->kind == 24 || o->kind == 59 || o->kind == 60))
        a.position = up(add(o->position, mul(dir(o->yaw), 0.5f)), 1.0f);
    a.hitRadius = 1.5f;
    hit(a);
    if (a.kind != 0) endAt(a, 1);
    return true;
}

bool vortex(AttackObject& a, int32_t) {
    int32_t b = (a.side != ATTACK_SIDE_ENEMY && hasBossOnFloor()) ? 120 : 600;
    float t = (float)a.age;
    a.scale = 0.005f;
    if (a.age >= 45) a.scale = fminf(0.005f + (t - 45.0f) * 0.001f, 0.015f) * (1.0f + 0.02f * sinf((t - 45.0f) * 0.04f));
    if (a.age >= b - 45) a.scale = fmaxf(0.015f - (t - (float)b + 45.0f) * 0.001f, 0.0f);
    if (a.age < 30) {
        a.velocity.x *= 0.92f;
        a.velocity.z *= 0.92f;
    }
    if (a.age >= 46) a.velocity.x = a.velocity.z = 0.0f;
    a.hitRadius = a.scale * 1.9f / 0.015f;
    if (between(a.age, 46, b - 46)) hit(a);
    endAt(a, b);
    return true;
}

bool thrust(AttackObject& a, int32_t) {
    if (stunEnd(a)) return true;
    float l = fminf((float)a.age * 0.2f + 1.0f, 4.0f);
    a.position = add(leader(), mul(dir(a.yaw), l + a.roll));
    a.position.y = leader().y + 1.3f;
    if (a.kind == 102) a.position = add(a.position, mul(dir(a.yaw + PI_F / 2.0f), a.pitch));
    int32_t f = facingIndex();
    if (f == 0 || f == 4) a.position.x += 0.7f;
    else if (f == 2 || f == 6) a.position.z += 0.3f;
    a.origin = up(leader(), 1.0f);
    a.hitRadius = a.kind == 102 ? 1.6f : 1.3f;
    if (between(a.age, 6, 9)) hits(a, 5);
    endAt(a, 14);
    return true;
}

Vector3 turned(Vector3 v, float yaw, float roll, float pitch) {
    // About y, then z, then x.
    Vector3 r = {v.x * cosf(yaw) + v.z * sinf(yaw), v.y, -v.x * sinf(yaw) + v.z * cosf(yaw)};
    r = {r.x * cosf(roll) - r.y * sinf(roll), r.x * sinf(roll) + r.y * cosf(roll), r.z};
    return {r.x, r.y * cosf(pitch) - r.z * sinf(pitch), r.y * sinf(pitch) + r.z * cosf(pitch)};
}

bool orbitShot(AttackObject& a, int32_t) {
    if (a.age < 200) {
        a.scale = 0.5f;
        if (a.age > 100) a.age = 100;
        if (gParty.actionState == 2 && gParty.actionFrame == 10) a.age = 200;
    }
    a.pitch += 0.04f;
    a.yaw += 0.04f;
    a.roll += 0.04f;
    if (a.age < 200) {
        Vector3 off = turned({0.0f, 0.0f, fminf((float)a.age * 0.1f, 3.0f)}, a.yaw, a.roll, a.pitch);
        a.position = up(add(leader(), off), 1.1f);
    } else {
        a.scale = fminf(a.scale + 0.05f, 0.8f);
        findHomingTarget(a, 0.6f, 0.03f, 0.05f, 0.96f, -1);
        if (a.age % 30 == 29) freshSerial(a);
    }
    a.hitRadius = 0.3f;
    effectObject(a.position, 28, 0.3f * a.scale, 1);
    if (hit(a)) {
        effectObject(a.position, 16, 0.3f * a.scale, 12);
        end(a);
        return true;
    }
    endAt(a, 400);
    return true;
}

bool icePillar(AttackObject& a, int32_t) {
    a.hitRadius = 3.0f;
    if (a.age < 70) {
        a.position.y -= 5.0f;
        if (a.age >= 50) {
            a.velocity.x *= 0.95f;
            a.velocity.z *= 0.95f;
        }
    } else {
        a.velocity.x = a.velocity.z = 0.0f;
        a.scale = 1.5f;
        a.position.y = fminf((float)(a.age - 70) * 0.8f - 5.0f, 0.0f);
        if (a.age >= 285) a.scale = 1.5f - (float)(a.age - 280) * 0.1f;
    }
    if (a.age == 70) {
        playSoundEffect(696);
        effectObject({a.position.x, 0.0f, a.position.z}, 151, 0.4f, 1);
        shake();
    }
    if (between(a.age, 68, 73)) {
        int32_t step = a.age - 68;
        effect({a.position.x, 0.5f, a.position.z}, 39 + step % 3, 1.0f, step % 2 ? 96 : EFFECT_LIFETIME_DEFAULT);
    }
    if (a.age >= 70) {
        float ang = randomUnit() * 2.0f * PI_F, r = randomUnit() * 2.0f;
        effect({a.position.x + r * sinf(ang), randomUnit() * 5.0f, a.position.z + r * cosf(ang)}, 42, 1.0f);
    }
    if (a.age >= 10 && a.age % 4 == 0) {
        float ang = randomUnit() * 2.0f * PI_F, r = randomUnit() * 1.25f;
        effect({a.position.x + r * sinf(ang), 0.0f, a.position.z + r * cosf(ang)}, 43, 1.0f);
    }
    if (a.age % 10 == 0) freshSerial(a);
    // Each hit shortens the pillar's life.
    if (between(a.age, 70, 289) && inView(a.position, 0.0f) && hit(a)) {
        a.age += 25;
        return true;
    }
    endAt(a, 300);
    return true;
}

bool bouncingOrb(AttackObject& a, int32_t) {
    a.scale = 0.2f;
    int32_t rise = 8 * a.variant + 30;
    if (a.age <= rise) a.velocity.y += 0.03f;
    if (rise < a.age && a.age < 8 * a.variant + 100) findHomingTarget(a, 0.3f, 0.03f, 0.005f, 0.96f, -1);
    effectObject(a.position, 112, 0.4f, 1);
    float s = length(a.velocity);
    if (s > 0.3f) a.velocity = mul(a.velocity, 0.3f / s);
    if (a.age % 30 == 29) freshSerial(a);
    a.hitRadius = 0.3f;
    if (a.age >= 31 && a.side == ATTACK_SIDE_PARTY && hit(a)) {
        effectObject(a.position, 16, 0.3f * a.scale, 12);
        if (a.bouncesLeft < 1) {
            end(a);
            return true;
        }
        a.velocity.y = 0.5f;
        a.age = 0;
        a.bouncesLeft--;
    }
    endAt(a, 150);
    return true;
}

bool bubble(AttackObject& a, int32_t index) {
    if (held(a)) return true;
    a.scale += 0.01f;
    a.velocity.x *= 0.99f;
    a.velocity.z *= 0.99f;
    Enemy* o = ownerOf(a);
    if (a.kind == 163 && a.variant == 0 && o && index % 15 == a.age - 60) {
        // The bubble drops a fire trail where it floats.
        Vector3 kept = o->position;
        o->position = {a.position.x, 0.0f, a.position.z};
        spawnEnemyAttack(*o, 151, ATTACK_SIDE_ENEMY);
        o->position = kept;
    }
    if (a.variant == 0 && hit(a)) {
        end(a);
        return true;
    }
    endAt(a, 90);
    return true;
}

bool boomerang(AttackObject& a, int32_t) {
    if (a.kind == 119 && stunEnd(a)) return true;
    a.yaw += 0.2f;
    int32_t after = a.kind == 119 ? 20 : 60;
    if (a.age > after) {
        Vector3 thrower = leader();
        if (a.kind == 162) {
            const Enemy* o = ownerOf(a);
            thrower = o ? o->position : a.position;
        }
        float dx = thrower.x - a.position.x, dz = thrower.z - a.position.z;
        float l = sqrtf(dx * dx + dz * dz);
        if (l < 1.5f) {
            end(a);
            return true;
        }
        if (l > 1.0f) {
            dx /= l;
            dz /= l;
        }
        float g = (float)(a.age - 20) * 0.002f + 0.001f;
        a.velocity.x += g * dx;
        a.velocity.z += g * dz;
        float s = sqrtf(a.velocity.x * a.velocity.x + a.velocity.z * a.velocity.z);
        if (s > 0.3f) {
            a.velocity.x *= 0.3f / s;
            a.velocity.z *= 0.3f / s;
        }
        a.velocity.x *= 0.98f;
        a.velocity.z *= 0.98f;
    }
    if (a.kind == 119) {
        if (hit(a)) return true;
    } else if (a.age > 60) {
        hit(a);
    }
    endAt(a, 4000);
    return true;
}

bool blackHole(AttackObject& a, int32_t) {
    if (a.age < 70 && stunEnd(a)) return true;
    if (a.age == 30) playSoundEffect(677);
    if (a.age == 60) {
        playSoundEffect(699);
        a.velocity = mul(dir(a.yaw), 0.15f);
        a.velocity.y = -0.02f;
    }
    if (a.age >= 181) a.velocity = {0.0f, 0.0f, 0.0f};
    else a.velocity = mul(a.velocity, 0.98f);
    if (a.age == 120 || a.age == 160 || a.age == 200 || a.age == 240) freshSerial(a);
    if (between(a.age, 81, 269)) {
        int32_t k = a.age < 100 ? 5 : a.age < 120 ? 4 : a.age < 140 ? 3 : a.age < 160 ? 2 : 1;
        if (a.age % k == 0) effectOnParty(a.position, 31, 1.0f + randomUnit());
        if (a.age % 2 == 0) effectOnParty(a.position, 32, 1.0f);
    }
    a.hitRadius = 1.5f;
    if (between(a.age, 81, 284)) {
        for (Enemy& e : gEnemies) {
            if (e.dormancy >= 1 || e.state != ENEMY_ALIVE || e.noPlayerBlock != 0) continue;
            Vector3 d = sub(a.position, e.position);
            float l = length(d);
            if (l > 0.0f) e.velocity = add(e.velocity, mul(d, 0.03f / l));
        }
        if (hit(a) && gCombat.lastDamage >= 1) {
            gParty.delayedHpAmount = gCombat.lastDamage / 2 > 1 ? gCombat.lastDamage / 2 : 1;
            gParty.delayedHpTimer = 30;
        }
    }
    endAt(a, 300);
    return true;
}

bool meteor(AttackObject& a, int32_t) {
    if (a.variant == 0) {
        a.velocity.y -= 0.01f;
        gCombat.hitCheckRan = 1;
        float g = 0.0f;
        bool found = a.kind == 164 || groundUnder(a, &g);
        if (found && a.velocity.y < 0.0f && g + 0.3f >= a.position.y) {
            a.position.y = g + 1.0f;
            a.velocity = {0.0f, 0.0f, 0.0f};
            shake();
            playSoundEffect(328);
            playSoundEffect(677);
            effectSet({a.position.x, 0.0f, a.position.z}, 5, a.kind == 161 ? 1.5f : (a.kind == 164 ? 4.0f : 1.0f));
            a.variant++;
        }
    } else {
        a.hitRadius = a.kind == 161 ? 4.0f : (a.kind == 164 ? 8.0f : 2.0f);
        hit(a);
    }
    endAt(a, 130);
    return true;
}

void meteorImpact(AttackObject& a) {
    shake();
    playSoundEffect(328);
    effect(a.position, 46, 0.8f);
    effect(a.position, 68, 0.8f);
    effect(a.position, 50, 0.8f);
    a.age = 200;
}

bool lanceDrop(AttackObject& a, int32_t) {
    if (held(a)) return true;
    if (a.age > 200) {
        a.age += 1;   // after the impact the age runs at double speed
        a.hitRadius = 2.0f;
        hit(a);
        if (a.age > 230) end(a);
        return true;
    }
    Vector3 from = sub(a.position, a.velocity);
    if (a.age == 1) effectObject(a.position, 112, 0.5f, 1);
    if (a.variant > 0) a.variant++;
    if (a.age >= 21 && a.variant < 40) {
        a.homingTarget = findHomingTarget(a, 0.6f, 0.03f, 0.05f, 0.96f, a.homingTarget);
        if (a.homingTarget >= 0 && a.variant == 0) a.variant = 1;
    }
    float l = length(a.velocity);
    int32_t n = (int32_t)(l / 0.1f);
    if (n < 1) n = 1;
    for (int32_t i = 0; i < n; ++i) effect(add(from, mul(a.velocity, (float)(i + 1) / (float)n)), 58, 0.25f);
    float g;
    if (groundUnder(a, &g) && a.position.y <= g + 1.0f) {
        a.position.y = g + 1.0f;
        a.velocity = {0.0f, 0.0f, 0.0f};
        meteorImpact(a);
        return true;
    }
    if (a.age >= 6) {
        bool struck = hit(a) != 0;
        if (!struck) {
            a.position.y -= 0.5f;
            struck = hit(a) != 0;
            a.position.y += 0.5f;
        }
        if (struck) {
            effect(a.position, 58, 2.25f);
            meteorImpact(a);
            return true;
        }
    }
    endAt(a, 130);
    return true;
}

bool shot(AttackObject& a, int32_t) {
    bool delayed = a.kind == 115 || a.kind == 120 || a.kind == 122;
    if (delayed && a.age < 0) {
        a.position = sub(a.position, a.velocity);
        if (gParty.stunTimer != 0) end(a);
        return true;
    }
    if (delayed && a.age == 1) {
        effectOnParty(sub(a.position, a.velocity), 16, 1.0f);
        effectOnParty(a.origin, 19, 0.7f);
    }
    bool arrow = (a.kind >= 77 && a.kind <= 80) || a.kind == 165 || a.kind == 166;
    if (arrow && a.age == 1) effectOnParty(a.position, 9, 0.4f);
    if (a.kind == 77) a.velocity.y -= 0.01f;
    if (a.kind == 99) {
        Vector3 p = {a.position.x + 12.0f * a.velocity.x, a.position.y, a.position.z + 12.0f * a.velocity.z};
        effectOnParty(p, 36, 1.0f);
    }
    if (!inView(a.position, 0.0f)) {
        end(a);
        return true;
    }
    if (a.kind == 81) {
        Vector3 kept = a.position;
        a.hitRadius = 1.2f;
        for (int32_t i = 0; i < 3 && a.kind != 0; ++i) {
            a.position = add(kept, mul({cosf(a.yaw), 0.0f, sinf(a.yaw)}, (float)(i - 1)));
            hit(a);   // only a parry ends the arrow
        }
        a.position = kept;
        if (a.kind != 0) endAt(a, 60);
        return true;
    }
    if (a.kind == 99) {
        a.hitRadius = 1.0f;
        hit(a);
    } else {
        a.hitRadius = (arrow || a.kind == 82) ? 0.5f : 0.0f;
        if (hit(a)) {
            if (a.kind == 82) {
                gParty.delayedSpAmount = gCombat.lastDamage / 10 > 1 ? gCombat.lastDamage / 10 : 1;
                gParty.delayedSpTimer = 30;
            }
            end(a);
            return true;
        }
    }
    endAt(a, 120);
    return true;
}

bool thrownRock(AttackObject& a, int32_t) {
    tumble(a);
    a.velocity.y -= 0.01f;
    if (a.variant > 0) a.variant++;
    float g;
    if (groundUnder(a, &g) && a.velocity.y < 0.0f && a.position.y <= g + 0.3f) {
        bool again = a.variant >= 1;
        a.position.y = g + 0.3f;
        a.velocity.y *= -0.5f;
        a.velocity.x *= 0.7f;
        a.velocity.z *= 0.7f;
        if (a.variant == 0) playSoundEffect(a.kind == 86 ? 344 : 360);
        a.variant++;
        if (again) {
            end(a);
            return true;
        }
    }
    gCombat.hitCheckRan = 1;
    a.hitRadius = -0.15f;
    if (a.variant == 0) {
        int32_t r = hit(a);
        if (r == 1) {
            end(a);
            return true;
        }
        // A guarded rock flies back and falls.
        if (r == 2) a.variant = 1;
    }
    endAt(a, 120);
    return true;
}

bool enemyShot(AttackObject& a, int32_t) {
    if (a.age < 0) {
        a.position = sub(a.position, a.velocity);
        const Enemy* o = ownerOf(a);
        if (o && o->flinchTimer != 0) end(a);
        return true;
    }
    if (a.age == 1) {
        effect(sub(a.position, a.velocity), 16, 1.0f);
        effect(a.origin, 19, 0.7f);
    }
    if (!inView(a.position, 0.0f)) {
        end(a);
        return true;
    }
    a.hitRadius = 0.0f;
    if (hit(a)) {
        end(a);
        return true;
    }
    endAt(a, 120);
    return true;
}

bool droppedStone(AttackObject& a, int32_t) {
    if (a.variant == 0) {
        a.velocity.y -= 0.01f;
        float g;
        if (groundUnder(a, &g) && a.velocity.y < 0.0f && a.position.y <= g + 0.2f) {
            a.position.y = g + 0.2f;
            a.velocity = {0.0f, -0.01f, 0.0f};
            playSoundEffect(688);
            effectSet(a.position, 1, 0.3f);
            end(a);
            return true;
        }
        a.hitRadius = -0.15f;
        if (hit(a) == 1) {
            end(a);
            return true;
        }
    } else {
        a.position.y -= a.velocity.y;
    }
    endAt(a, 300);
    return true;
}

bool nova(AttackObject& a, int32_t) {
    a.position = up(leader(), 0.5f);
    a.hitRadius = 8.0f;
    hit(a);
    endAt(a, 5);
    return true;
}

bool skillSwing(AttackObject& a, int32_t) {
    if (gParty.actionState < 4 || gParty.actionState > 7) {
        end(a);
        return true;
    }
    float r = a.kind == 95 ? 2.0f : 3.0f, h = a.kind == 95 ? 1.2f : 1.5f;
    a.position = up(add(leader(), mul(dir(gParty.facing), r)), h);
    a.hitRadius = a.kind == 95 ? 1.5f : 2.0f;
    hit(a);
    endAt(a, 25);
    return true;
}

bool pull(AttackObject& a, int32_t) {
    if (a.age == 1) a.origin = up(leader(), 1.5f);
    a.position = up(leader(), 1.5f);
    a.hitRadius = 2.0f;
    if (a.age == 20) {
        for (int32_t i = 0; i < 20; ++i) {
            hit(a);
            a.position.x += 0.05f * (a.origin.x - a.position.x);
            a.position.z += 0.05f * (a.origin.z - a.position.z);
        }
    }
    endAt(a, 35);
    return true;
}

bool satellite(AttackObject& a, int32_t index) {
    if (a.age < 200) {
        a.scale = 0.5f;
        if (a.age > 100) a.age = 100;
        int32_t n = 0, rank = 0;
        for (int32_t i = 0; i < ATTACK_OBJECT_POOL_SIZE; ++i) {
            const AttackObject& s = gAttackObjects[i];
            if (s.kind != 117 || s.age >= 200) continue;
            if (i < index) rank++;
            n++;
        }
        if (a.age >= 100 && n >= 7) {
            // Seven satellites launch together: launching them one by one
            // would drop the count below seven after the first.
            for (AttackObject& s : gAttackObjects) {
                if (s.kind != 117 || s.age >= 200) continue;
                s.age = 200;
                s.velocity = mul(dir(gParty.facing), 0.24f);
                s.velocity.y = 0.1f;
            }
        } else {
            a.yaw = turnToward(a.yaw, 2.0f * PI_F * (float)rank / (float)n + 0.04f * (float)gTickCounter, 0.08f);
            a.position = up(add(leader(), mul(dir(a.yaw), fminf((float)a.age * 0.1f, 3.0f))), 2.1f);
            return true;
        }
    }
    a.velocity.y -= 0.01f;
    float g;
    if (groundUnder(a, &g) && a.velocity.y < 0.0f && a.position.y <= g + 0.3f) {
        a.position.y = g + 1.0f;
        a.velocity.y *= -0.5f;
        if (++a.variant >= 3) {
            end(a);
            return true;
        }
    }
    a.hitRadius = 0.3f;
    if (hit(a)) {
        end(a);
        return true;
    }
    endAt(a, 400);
    return true;
}

// ---- The kind table: the rows in the order their rules are tested.
struct AttackKindRule {
    int16_t kinds[15];   // 0 ends the list
    bool (*rule)(AttackObject& a, int32_t index);
};

constexpr AttackKindRule ATTACK_KIND_RULES[] = {
    {{30, 136, 154}, enemyBeam},
    {{137, 158}, enemyBreath},
    {{157}, heroBreath},
    {{156}, enemyBow},
    {{105}, strikeCaller},
    {{104}, strike},
    {{116, 121}, whirl},
    {{16, 22, 23}, enemySwing},
    {{2, 3, 4, 34, 84, 103, 109, 110, 111, 112}, heroSwing},
    {{113, 114, 125}, heldBeam},
    {{133}, grab},
    {{138, 139}, dashHit},
    {{91, 92, 94, 134, 135}, heroBlow},
    {{31}, growingShot},
    {{90, 152}, seekingOrb},
    {{108}, iceShard},
    {{107}, delayedBlast},
    {{44}, trapRock},
    {{140}, trapBlade},
    {{33, 37}, driftingSpell},
    {{43}, fallingRock},
    {{38}, bouncingSpell},
    {{10, 11, 19, 20, 153}, bodyAttack},
    {{12, 17}, bodyBlow},
    {{13, 21}, frontBlow},
    {{70}, thunder},
    {{151}, fireTrail},
    {{14, 18}, burst},
    {{15}, lunge},
    {{83}, vortex},
    {{88, 102}, thrust},
    {{106}, orbitShot},
    {{97}, icePillar},
    {{100}, bouncingOrb},
    {{118, 163}, bubble},
    {{119, 162}, boomerang},
    {{131}, blackHole},
    {{123, 161, 164}, meteor},
    {{124}, lanceDrop},
    {{77, 78, 79, 80, 165, 166, 99, 81, 82, 98, 115, 120, 122, 126}, shot},
    {{86, 150}, thrownRock},
    {{160}, enemyShot},
    {{132}, droppedStone},
    {{96}, nova},
    {{95, 62}, skillSwing},
    {{130}, pull},
    {{155}, heroBow},
    {{117}, satellite},
};

constexpr int32_t ATTACK_KIND_LIMIT = 256;
struct KindIndex {
    int8_t row[ATTACK_KIND_LIMIT];
};
constexpr KindIndex buildKindIndex() {
    KindIndex k{};
    for (int8_t& r : k.row) r = -1;
    int32_t n = (int32_t)(sizeof ATTACK_KIND_RULES / sizeof ATTACK_KIND_RULES[0]);
    for (int32_t i = 0; i < n; ++i)
        for (int16_t kind : ATTACK_KIND_RULES[i].kinds)
            if (kind > 0) k.row[kind] = (int8_t)i;
    return k;
}
constexpr KindIndex KIND_INDEX = buildKindIndex();

}  // namespace

bool runAttackKindRule(AttackObject& a, int32_t index) {
    int32_t row = (a.kind > 0 && a.kind < ATTACK_KIND_LIMIT) ? KIND_INDEX.row[a.kind] : -1;
    // A kind without a rule has nothing to do on the field.
    if (row < 0) {
        a.kind = 0;
        return false;
    }
    return ATTACK_KIND_RULES[row].rule(a, index);
}

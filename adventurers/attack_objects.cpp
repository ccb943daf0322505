// The attack objects' pool and their tick: every live object moves, runs
// the rule of its kind (adventurers/attack_kinds.cpp), which resolves its
// hits, and meets the walls. Main thread.
#include <cmath>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "adventurers/attack_kinds.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/screen_mapping.h"
#include "engine/sound.h"

AttackObject gAttackObjects[ATTACK_OBJECT_POOL_SIZE];
CombatState gCombat;

void resetAttackObjects() {
    for (int32_t i = 0; i < ATTACK_OBJECT_POOL_SIZE; ++i) {
        gAttackObjects[i] = AttackObject{};
        gAttackObjects[i].serial = i;
    }
    gCombat = CombatState{};
}

int32_t takeAttackSerial() { return gCombat.attackSerial++; }

AttackObject* allocAttackObject() {
    for (AttackObject& a : gAttackObjects) {
        if (a.kind != 0) continue;
        a = AttackObject{};
        a.anchor = -1;
        a.ownerParty = -1;
        a.ownerEnemy = -1;
        a.pointIndex = -1;
        a.power = 1.0f;
        a.lifeScale = 1.0f;
        a.orientation = matrixIdentity();
        a.scale = 1.0f;
        a.homingTarget = -1;
        a.serial = takeAttackSerial();
        return &a;
    }
    return nullptr;
}

namespace {

constexpr int32_t SOUND_SPARKS = 359;
constexpr int32_t SOUND_BLOCK_HIT = 361;

Vector3 add(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 sub(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 mul(Vector3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float length(Vector3 a) { return sqrtf(a.x * a.x + a.y * a.y + a.z * a.z); }
void end(AttackObject& a) { a.kind = 0; }
void effect(Vector3 p, int32_t definition, float scale) {
    spawnEffect(nullptr, p.x, p.y, p.z, definition, scale, EFFECT_LIFETIME_DEFAULT, 0.0f, EFFECT_ATTACH_FREE);
}
void effectSet(Vector3 p, int32_t set, float scale) {
    spawnEffectSet(nullptr, p.x, p.y, p.z, set, scale, EFFECT_LIFETIME_DEFAULT, 0.0f, EFFECT_ATTACH_FREE);
}
void effectObject(Vector3 p, int32_t kind, float scale, int32_t count) {
    spawnEffectObject(nullptr, p.x, p.y, p.z, kind, scale, count);
}

// ---- The wall stage.

bool endsWithSparks(int32_t kind) {
    switch (kind) {
    case 2: case 3: case 4: case 34: case 84: case 103: case 109: case 110: case 111: case 112: case 114:
        return true;
    default:
        return false;
    }
}

void wallStage(AttackObject& a) {
    Vector3 start = a.position;
    if (a.ownerParty >= 0) {
        start = sub(a.position, mul(a.velocity, 0.2f));
        if (a.kind == 88) start = add(sub(a.position, a.velocity), mul(a.velocity, (float)(a.age - 6) * 0.3f));
    }
    float t = 0.0f;
    CollisionHit hitRecord{};
    if (!castMapSegment(start.x, start.y, start.z, a.velocity.x, a.velocity.y, a.velocity.z, &t, &hitRecord)) return;
    int32_t surface = hitSurface(hitRecord);
    if (surface != SURFACE_SOLID && surface != SURFACE_CLIFF) return;
    Vector3 at = add(start, mul(a.velocity, t));
    if (a.ownerParty < 0) {
        if (a.kind == 160) effect(a.position, 20, 0.8f);
        if (a.kind == 31) a.age = 112;   // the shard shatters eight ticks later
        else end(a);
        return;
    }
    int32_t i = hitRecord.candidate;
    if (i >= 1 && i - 1 < BREAKABLE_OBJECT_MAX) {
        BreakableObjects& b = gBreakableObjects;
        if (b.hitsLeft[i - 1] < 100) {
            b.flashTimer[i - 1] = 30;
            b.hitsLeft[i - 1]--;
        }
        if (b.hitsLeft[i - 1] == 0) {
            destroyBreakableObject(i - 1);
        } else {
            playSoundEffect(SOUND_BLOCK_HIT);
            effectSet(at, 1, 0.3f);
        }
        end(a);
        return;
    }
    if (endsWithSparks(a.kind)) {
        effectObject(at, 41, 0.2f, 1);
        effectObject(at, 42, 0.2f, 1);
        playSoundEffect(SOUND_SPARKS);
        if (a.kind != 114) end(a);   // the held beam sparks on
        return;
    }
    switch (a.kind) {
    case 91: case 92: case 95: case 133: case 134: case 135:
        playSoundEffect(670);
        effectSet(at, 1, 0.3f);
        break;
    case 77: case 78: case 79: case 80: case 165: case 166:
        playSoundEffect(688);
        effectSet(at, 1, 0.3f);
        break;
    case 120: effect(a.position, 20, 0.8f); break;
    case 122: effect(a.position, 20, 1.0f); break;
    default: effectSet(at, 1, 0.3f); break;
    }
    end(a);
}

}  // namespace

int32_t findHomingTarget(AttackObject& a, float maxSpeed, float maxSteer, float gain, float damping,
                         int32_t target) {
    int32_t chosen = target;
    bool steer = target >= 0;
    if (target == -1) {
        float best = 10000.0f;
        for (int32_t i = 0; i < ENEMY_POOL_SIZE; ++i) {
            const Enemy& e = gEnemies[i];
            if (e.dormancy > 0 || e.busy != 0 || e.state != ENEMY_ALIVE) continue;
            if (classifyPoint(e.centre.x, e.centre.y, e.centre.z, 0.0f) >= 0) continue;
            float d = length(sub(e.centre, a.position));
            if (d < best && d > 0.0f) {
                best = d;
                chosen = i;
            }
        }
        if (chosen >= 0) {
            a.target = gEnemies[chosen].centre;
            steer = true;
        }
    }
    if (steer) {
        Vector3 s = mul(sub(a.target, a.position), gain);
        float l = length(s);
        if (l > maxSteer) s = mul(s, maxSteer / l);
        a.velocity = mul(add(a.velocity, s), damping);
    }
    float v = length(a.velocity);
    if (v > maxSpeed) a.velocity = mul(a.velocity, maxSpeed / v);
    return chosen;
}

void updateAttackObjects() {
    for (int32_t i = 0; i < ATTACK_OBJECT_POOL_SIZE; ++i) {
        AttackObject& a = gAttackObjects[i];
        if (a.kind == 0) continue;
        gCombat.hitCheckRan = 0;
        a.position = add(a.position, a.velocity);
        a.age += 1;
        bool wall = runAttackKindRule(a, i);
        if (wall && a.kind != 0 && a.wallCheck != 0 && gCombat.hitCheckRan == 1) wallStage(a);
    }
}

// The enemies' attack kinds arrive with the enemy attack spawner.
void spawnEnemyAttack(Enemy&, int32_t, int32_t) {}

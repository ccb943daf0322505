// adventurers/attack_objects.h: the attack objects of the field (shots,
// thrown rocks, arrows, ice). The combat logic spawns and moves them; the
// field drawing reads them up to gWorldDraw.effectCounts.attackObjects. Only the
// fields the drawing reads are here yet.
#pragma once
#include <cstdint>

#include "engine/math.h"
#include "field/field_state.h"

constexpr int32_t ATTACK_OBJECT_POOL_SIZE = 200;

struct AttackObject {
    int32_t kind;            // 0 free
    Vector3 position;
    float yaw;
    float pitch;
    int32_t age;             // ticks since it started
    int32_t frameCounter;
    Matrix4 orientation;
    float scale;
    float groundHeight;
    CollisionHit ground;
};
extern AttackObject gAttackObjects[ATTACK_OBJECT_POOL_SIZE];
// Every object free.
void resetAttackObjects();
// One tick of every live attack object.
void updateAttackObjects();

// dungeon/enemies.h: the enemy pool of a dungeon floor and the enemy kinds.
// The floor logic fills and moves them; the field drawing reads them. Only
// the fields the drawing reads are here yet: the rest arrives with the
// enemies' own logic.
#pragma once
#include <cstdint>

#include "engine/math.h"
#include "engine/skin_models.h"
#include "field/map_collision.h"
#include "adventurers/adventurers.h"

constexpr int32_t ENEMY_POOL_SIZE = 128;
constexpr int32_t ENEMY_KIND_CAPACITY = 100;

enum EnemyModelKind : int32_t {
    ENEMY_MODEL_SPRITE = 0,    // a sprite sheet and motion table
    ENEMY_MODEL_SKINNED = 1,   // a gEnemyModels slot
    ENEMY_MODEL_END = 2,       // ends the kind table
};
enum EnemyState : int32_t { ENEMY_FREE = 0, ENEMY_ALIVE = 1, ENEMY_DYING = 2 };

struct EnemyKind {
    char name[32];
    int32_t modelKind;     // EnemyModelKind
    int32_t modelNumber;   // sprite sheet and motion number, or gEnemyModels slot
    float scale;
    float shadowSize;      // 0: no shadow
};
extern EnemyKind gEnemyKinds[ENEMY_KIND_CAPACITY];

// An exported bone: the ground under it, its position and its matrix.
struct EnemyBone {
    CollisionHit ground;
    Vector3 position;
    Matrix4 matrix;
};

// One enemy; a freed record keeps its contents.
struct Enemy {
    int32_t state;               // EnemyState
    int32_t kind;                // gEnemyKinds row
    Vector3 position;
    Vector3 velocity;
    float yaw;
    int32_t alpha;               // 0..255; 255 opaque
    float alphaFactor;
    float sinkHeight;            // below -70 it fades, below -75 it is gone
    float scaleX;                // x and y scale factors
    float scaleY;
    float scale;                 // overall scale factor
    int32_t silhouette;          // darkens what lies behind it
    int32_t hiddenTimer;         // not drawn while above 0
    int32_t whiteFlash;
    MotionState motion;          // sprite kinds
    uint32_t animationTimes[MODEL_ANIMATION_TIMES];    // skinned kinds, milliseconds
    uint32_t animationTimes2[MODEL_ANIMATION_TIMES];
    float animationBlend;
    int32_t spinCounter;         // turns the golem crystal
    EnemyBone bones[MODEL_EXPORT_BONES];
    int32_t bonesExported;       // bit k: bone k was written by the last export
    float groundHeight;
    CollisionHit ground;         // its normal decides the shadow
    int32_t link;                // another enemy whose ground decides the shadow; -1 none
};
extern Enemy gEnemies[ENEMY_POOL_SIZE];

// Brings an enemy of a kind to life at a point; null when the pool is full.
// Until the enemies' spawn defaults arrive it takes the first free record
// and sets only its state, kind and position.
Enemy* spawnEnemy(float x, float y, float z, int32_t kind);
// Marks (non-zero) flag k for every enemy kind k the current floor can
// show; the caller clears the flags first. The floor's spawn rows arrive
// with the floor logic; until then a floor shows none.
void markFloorEnemyKinds(int32_t flags[ENEMY_KIND_CAPACITY]);
// Back to the values a fresh process starts with: every enemy free.
void resetEnemies();

void updateEnemies();
void updateEnemyMotionFrames();
// The enemies' animation alone, while an event or the pause runs over the field.
void tickEnemyAnimations();

// dungeon/enemies.h: the pool of the floor's enemies. The fields here are
// those the field already reads; the record grows with the enemies' update.
#pragma once
#include <cstdint>

constexpr int32_t ENEMY_POOL_SIZE = 128;

enum EnemyStateWord : int32_t { ENEMY_FREE = 0, ENEMY_ALIVE = 1, ENEMY_DYING = 2 };

struct Enemy {
    int32_t state;   // EnemyStateWord
    int32_t kind;    // index into the kind table
    float x, y, z;
};
extern Enemy gEnemies[ENEMY_POOL_SIZE];

// Brings an enemy of a kind to life at a point; null when the pool is full.
// Until the enemies' spawn defaults arrive it takes the first free record
// and sets only its state, kind and position.
Enemy* spawnEnemy(float x, float y, float z, int32_t kind);
// Every record free.
void resetEnemies();

void updateEnemies();
void updateEnemyMotionFrames();
// The enemies' animation alone, while an event or the pause runs over the field.
void tickEnemyAnimations();

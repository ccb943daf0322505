#include "dungeon/enemies.h"

#include <cstring>

Enemy gEnemies[ENEMY_POOL_SIZE];

void markFloorEnemyKinds(int32_t*) {}

Enemy* spawnEnemy(float x, float y, float z, int32_t kind) {
    for (Enemy& e : gEnemies) {
        if (e.state != ENEMY_FREE) continue;
        e.state = ENEMY_ALIVE;
        e.kind = kind;
        e.position = Vector3{x, y, z};
        return &e;
    }
    return nullptr;
}

void resetEnemies() {
    memset(gEnemies, 0, sizeof gEnemies);
    for (Enemy& e : gEnemies) e.link = -1;
}

// The enemies' behaviour and animation arrive with the enemies' update.
void updateEnemies() {}
void updateEnemyMotionFrames() {}
void tickEnemyAnimations() {}

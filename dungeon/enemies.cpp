#include "dungeon/enemies.h"

Enemy gEnemies[ENEMY_POOL_SIZE];

Enemy* spawnEnemy(float x, float y, float z, int32_t kind) {
    for (Enemy& e : gEnemies) {
        if (e.state != ENEMY_FREE) continue;
        e.state = ENEMY_ALIVE;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.z = z;
        return &e;
    }
    return nullptr;
}

void resetEnemies() {
    for (Enemy& e : gEnemies) e = Enemy{};
}

// The enemies' behaviour and animation arrive with the enemies' update.
void updateEnemies() {}
void updateEnemyMotionFrames() {}
void tickEnemyAnimations() {}

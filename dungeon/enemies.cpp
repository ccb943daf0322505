#include "dungeon/enemies.h"

#include <cstring>

EnemyKind gEnemyKinds[ENEMY_KIND_CAPACITY];
Enemy gEnemies[ENEMY_POOL_SIZE];

void markFloorEnemyKinds(int32_t*) {}

void resetEnemies() {
    memset(gEnemies, 0, sizeof gEnemies);
    for (Enemy& e : gEnemies) e.link = -1;
}

#include "dungeon/enemies.h"

// The enemy pool arrives with the enemies; until then no floor has any.
void updateEnemies() {}
void updateEnemyMotionFrames() {}
void tickEnemyAnimations() {}

#include "dungeon/enemies.h"

// The enemy pool arrives with the enemies; until then there is none to free.
void resetEnemies() {}

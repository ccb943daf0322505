// dungeon/enemies.h: the enemy pool of a dungeon floor and the enemy kinds
// (their records are in the front door). The floor logic fills and moves
// them; the field drawing reads them.
#pragma once

#include "dungeon/dungeon.h"

void updateEnemies();
void updateEnemyMotionFrames();
// The enemies' animation alone, while an event or the pause runs over the field.
void tickEnemyAnimations();

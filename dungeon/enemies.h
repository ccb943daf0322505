// dungeon/enemies.h: the floor's enemies, their update and animation.
#pragma once

void updateEnemies();
void updateEnemyMotionFrames();
// The enemies' animation alone, while an event or the pause runs over the field.
void tickEnemyAnimations();

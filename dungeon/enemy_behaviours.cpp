// dungeon/enemy_behaviours.cpp: the enemies' behaviours and damage hooks.
// The routines arrive with the behaviours; until then a living enemy stands
// where it is and a hit changes nothing beyond its HP.
#include "dungeon/enemies.h"

void thinkEnemy(Enemy&) {}
void onReradoDamaged(Enemy&) {}
void onGlyphDamaged(Enemy&) {}
void onAlmaDamaged(Enemy&) {}
void onArmgolemDamaged(Enemy&) {}

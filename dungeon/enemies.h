// dungeon/enemies.h: the pool of the field's enemies.
#pragma once

// Frees every enemy (a floor starts).
void resetEnemies();

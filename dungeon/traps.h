// dungeon/traps.h: the floor's traps.
#pragma once

// Arms and springs the traps near the character.
void checkTrapProximity();

// dungeon/pickups.h: gems and items lying on a floor (the pool is in
// dungeon/dungeon_state.h).
#pragma once

#include "dungeon/dungeon.h"

// One frame of the pickups' flight and collection.
void updatePickups();

// story/world_map.h: the town map (mode 8).
#pragma once
#include <cstdint>

void enterWorldMap();
// The place under the map cursor; 0 (the shop) until the cursor arrives
// with the town map.
int32_t getWorldMapPlace();

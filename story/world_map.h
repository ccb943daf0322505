// story/world_map.h: the town map (mode 8).
#pragma once
#include <cstdint>

void enterWorldMap();
#include <cstdint>
// The place the map's cursor starts on.
void setWorldMapPlace(int32_t place);
// The place under the map cursor; 0 (the shop) until the cursor arrives
// with the town map.
int32_t getWorldMapPlace();

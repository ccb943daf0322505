// story/world_map.h: the town map (mode 8).
#pragma once

void enterWorldMap();
#include <cstdint>
// The place the map's cursor starts on.
void setWorldMapPlace(int32_t place);

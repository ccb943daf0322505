#include "story/world_map.h"

// The town map's places and cursor arrive with the town map.
void enterWorldMap() {}
void setWorldMapPlace(int32_t) {}

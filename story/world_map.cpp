#include "story/world_map.h"

#include "field/hud.h"

// The town map's places and cursor arrive with the town map.
void enterWorldMap() { resetHudState(); }
void setWorldMapPlace(int32_t) {}
int32_t getWorldMapPlace() { return 0; }

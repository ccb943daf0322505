#include "dungeon/floor_objects.h"

int32_t placeFloorObject(const Vector3&, const Vector3&, float, int32_t) { return 0; }

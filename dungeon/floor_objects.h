// dungeon/floor_objects.h: the placed objects of a floor (trees, grass,
// torches, chests, gates).
#pragma once
#include <cstdint>

#include "engine/math.h"

// Takes the first free floor object for kind at position (its y set to the
// ground under it), size and heading in radians; returns its index, 0 when
// none is free. The pool arrives with the floor objects; until then nothing
// is placed.
int32_t placeFloorObject(const Vector3& position, const Vector3& size, float heading, int32_t kind);

// dungeon/pickups.h: the loose pickups lying on a dungeon floor. The floor
// logic scatters and collects them; the field drawing reads them. Only the
// fields the drawing reads are here yet.
#pragma once
#include <cstdint>

#include "engine/math.h"
#include "field/map_collision.h"

constexpr int32_t PICKUP_POOL_SIZE = 200;

struct Pickup {
    int32_t kind;            // 0..6 coins and gems, 7 + item id an item; -1 free
    Vector3 position;
    int32_t age;
    float groundHeight;
    CollisionHit ground;
    int32_t smallShadow;     // halves the shadow
};
extern Pickup gPickups[PICKUP_POOL_SIZE];
// Every pickup free.
void resetPickups();

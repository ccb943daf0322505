// dungeon/pickups.h: gems and items lying on a floor, 200 of them.
#pragma once
#include <cstdint>

#include "field/field.h"

constexpr int32_t PICKUP_POOL_SIZE = 200;
constexpr int32_t PICKUP_GEM_LAST = 3;   // kinds 0..3 are gems; 7 and above item id + 7
constexpr int32_t PICKUP_ITEM_FIRST = 7;

enum PickupStateWord : int32_t { PICKUP_LOOSE = 0, PICKUP_SETTLED = 1, PICKUP_RISING = 2 };

struct Pickup {
    float x, y, z;
    float vx, vy, vz;
    int32_t unused[3];
    float groundHeight;
    int32_t kind;          // -1 free
    int32_t age;           // frames since dropped
    float timeScale;
    int32_t smallShadow;   // halves the shadow; nothing sets it yet
    int32_t itemFlags;     // key flags >> 4: 1 unidentified, 2 an adventurer's
    int32_t plus;
    int32_t state;         // PickupStateWord
    int32_t callerWord;
    const void* owner;
    CollisionHit ground;
    int32_t frozen;
};
extern Pickup gPickups[PICKUP_POOL_SIZE];

// Scatters up to count pickups of one kind from a point. The pool's flight
// arrives with the pickups; until then nothing is placed.
void sprayDropsWithPlus(const void* owner, float x, float y, float z, int32_t kind, int32_t count, float speed,
                        int32_t itemFlags, int32_t callerWord, int32_t plus);
// Every slot free.
void resetPickups();

// One frame of the pickups' flight and collection.
void updatePickups();

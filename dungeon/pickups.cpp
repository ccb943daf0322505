#include "dungeon/pickups.h"

Pickup gPickups[PICKUP_POOL_SIZE];

void sprayDropsWithPlus(const void*, float, float, float, int32_t, int32_t, float, int32_t, int32_t, int32_t) {}
int32_t pickDropKind() { return 0; }

void resetPickups() {
    for (Pickup& p : gPickups) {
        p = Pickup{};
        p.kind = -1;
    }
}


// The pickups' flight arrives with the pickups.
void updatePickups() {}


#include "dungeon/pickups.h"

Pickup gPickups[PICKUP_POOL_SIZE];

void resetPickups() {
    for (Pickup& p : gPickups) {
        p = Pickup{};
        p.kind = -1;
    }
}

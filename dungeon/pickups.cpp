#include "dungeon/pickups.h"

NumberPopup gNumberPopups[NUMBER_POPUP_COUNT];

// Pickups arrive with the floor's pickups.
void updatePickups() {}

void resetNumberPopups() {
    for (NumberPopup& p : gNumberPopups) p = NumberPopup{};
}

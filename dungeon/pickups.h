// dungeon/pickups.h: the pickups lying on a floor and the number popups.
#pragma once
#include <cstdint>

#include "engine/math.h"

constexpr int32_t NUMBER_POPUP_COUNT = 32;

// A number rising from where something was hit or gained.
struct NumberPopup {
    Vector3 position;
    int32_t timer;      // frames left; 0 free
    int32_t duration;   // 60 or 90
    int32_t value;
    int32_t type;       // from 10 up drawn as word labels
};
extern NumberPopup gNumberPopups[NUMBER_POPUP_COUNT];

void updatePickups();
void resetNumberPopups();

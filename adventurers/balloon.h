// adventurers/balloon.h: the speech balloon over a party member that
// announces pick-ups, item effects and the shop's talk. setBalloon starts
// it; showActorMessage (adventurers/adventurers.h) steps it once per tick.
// Main thread.
#pragma once
#include <cstdint>

#include "adventurers/adventurers_state.h"

void setBalloon(int32_t code, int32_t value, int32_t member, int32_t side, int32_t duration);

// adventurers/balloon.h: the speech balloon over a party member that
// announces pick-ups, item effects and the shop's talk. setBalloon starts
// it; showActorMessage (adventurers/adventurers.h) steps it once per tick.
// Main thread.
#pragma once
#include <cstdint>

#include "adventurers/adventurers_state.h"

void setBalloon(int32_t code, int32_t value, int32_t member, int32_t side, int32_t duration);
// 1 when the fairy stands on the left half of the screen (her balloon
// opens to her left), else 0.
int32_t fairyBalloonSide();
// The balloon's text of a code, with value the item key where one is named.
void makePickupMessage(char* out, int32_t size, int32_t code, int32_t value);

#include "adventurers/balloon.h"

BalloonState gBalloon;

void setBalloon(int32_t code, int32_t value, int32_t member, int32_t side, int32_t duration) {
    gBalloon = BalloonState{value, member, side, 1, duration, code};
}

// The balloon's texts and its popup arrive with the items' Part; until then
// a started balloon stays silent.
void showActorMessage() {}

void resetBalloonState() { gBalloon = BalloonState{}; }

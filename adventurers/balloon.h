// adventurers/balloon.h: the speech balloon over a party member that
// announces pick-ups, item effects and the shop's talk. setBalloon starts
// it; showActorMessage steps it once per tick. Main thread.
#pragma once
#include <cstdint>

struct BalloonState {
    int32_t value;      // an ItemKey when the text needs one
    int32_t member;     // 0..2, the member it hangs over
    int32_t side;       // 1 mirrored, to the left of the member
    int32_t age;        // 0 off; 1 on the first tick
    int32_t duration;   // ticks; -1 until closed
    int32_t code;       // the text
};
extern BalloonState gBalloon;

void setBalloon(int32_t code, int32_t value, int32_t member, int32_t side, int32_t duration);
void showActorMessage();
// Back to the values a fresh process starts with: no balloon.
void resetBalloonState();

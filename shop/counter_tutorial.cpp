#include "shop/counter_tutorial.h"

#include "shop/counter.h"

void runTutorialStep() {}

void updateTutorialComment() {
    gCounter.state = COUNTER_FREE;
    gCounter.stateFrame = 0;
    gCounter.gapFrame = 0;
}

void setTutorialLesson(int32_t lesson) { gCounter.tutorialLesson = lesson; }

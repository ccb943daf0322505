// shop/counter_tutorial.h: the counter lessons of the story tutorial, run
// by the counter while its tutorialMode is set, and the comments on the
// visits after the lesson (counter states 20 and 21). Main thread, inside
// the counter's tick.
#pragma once
#include <cstdint>

#include "shop/shop.h"

// One step of the lesson; the counter's arrival state while tutorialMode is set.
void runTutorialStep();
// The current step becomes the lesson's first row numbered `step`; a
// lesson without one before its end stays where it is.
void jumpToTutorialStep(int32_t step);
// Counter states 20 and 21: the lesson's comment on a later visit, then the
// customer slides out and the counter is free.
void updateTutorialComment();

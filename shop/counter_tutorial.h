// shop/counter_tutorial.h: the counter lessons of the story tutorial, run
// by the counter while its tutorialMode is set, and the comments on the
// visits after the lesson (counter states 20 and 21). Main thread, inside
// the counter's tick.
#pragma once
#include <cstdint>

// One step of the lesson; the counter's arrival state while tutorialMode is set.
void runTutorialStep();
// Counter states 20 and 21: the comment on a later visit, then the leave.
// Until the lessons are built the counter is simply freed.
void updateTutorialComment();
// The lesson (0 selling, 1 buying, 2 a request) the next shop day teaches.
void setTutorialLesson(int32_t lesson);

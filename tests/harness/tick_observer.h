// tests/harness/tick_observer.h: a function the harness calls after every
// drawn frame of the ticks it runs (the run draws a frame each tick unless
// it skips frames), for a test that follows the run as it goes.
#pragma once

// null stops observing.
void harnessObserveFrames(void (*observer)());

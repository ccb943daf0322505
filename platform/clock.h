// platform/clock.h: the only source of time.
// The game reads time through gClock; the real program uses the steady clock,
// the headless harness a virtual clock that only moves when it is told to
// (or when the game sleeps), so a run repeats exactly.
#pragma once
#include <cstdint>

struct Clock {
    uint64_t (*nowMicros)();
    void     (*sleepMicros)(uint64_t micros);
};
extern const Clock* gClock;         // chosen at start-up
extern const Clock  CLOCK_STEADY;
extern const Clock  CLOCK_VIRTUAL;

void clockVirtualSet(uint64_t micros);       // the harness places time
void clockVirtualAdvance(uint64_t micros);   // the harness moves time
uint64_t clockVirtualSleptMicros();          // total slept on the virtual clock

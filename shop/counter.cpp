#include "shop/counter.h"

CounterState gCounter;

void resetCounterState() { gCounter = CounterState{}; }

// The tutorial's cancel question arrives with the tutorial.
int32_t askCancelTutorial() { return 0; }

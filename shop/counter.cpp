#include "shop/counter.h"

CounterState gCounter;

void resetCounterState() { gCounter = CounterState{}; }

#include "shop/counter.h"

CounterState gCounter;

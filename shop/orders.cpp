#include "shop/orders.h"

#include "shop/counter.h"

static void leaveUntilBuilt() {
    gCounter.stateFrame = 0;
    gCounter.state = COUNTER_LEAVES;
}

void updateOrderPlacement() { leaveUntilBuilt(); }
void updateOrderPickup() { leaveUntilBuilt(); }
void updateOrderOverdue() { leaveUntilBuilt(); }

// shop/orders.h: advance orders at the counter: placing one, picking it up
// and the complaint of an overdue one. Their counter modes (3 to 5) run
// inside the counter's machine; main thread, inside the counter's tick.
#pragma once

// The mode handlers called by the counter for every state it does not
// handle in common. Until the order machines are built the visitor leaves
// without a deal, so a planned order visit does not hold the counter.
void updateOrderPlacement();
void updateOrderPickup();
void updateOrderOverdue();

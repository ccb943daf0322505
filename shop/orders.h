// shop/orders.h: advance orders at the counter: placing one, picking it up
// and the complaint of an overdue one. Their counter modes (3 to 5) run
// inside the counter's machine; main thread, inside the counter's tick. The
// orders themselves live in the running game (GameState::orders); the day's
// planner turns the due ones into visits and closes them.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

// The mode handlers called by the counter for every state it does not
// handle in common.
void updateOrderPlacement();
void updateOrderPickup();
void updateOrderOverdue();

// Every running order comes one day nearer; the day's end runs it.
void countDownOrders(GameState& game);
// Every filled pickup slot goes back where it came from: its own shelf
// place, or storage. The slots are emptied.
void returnOrderItems();
// The first order record not in use, -1 when all ten run.
int32_t findFreeOrder(const GameState& game);
// The sum of the plus levels of the filled pickup slots.
int32_t orderSlotPlusLevels();

// tests/harness/shop_day.h: a scripted shop day on the booted game, shared
// by the whole-game test and the benchmark. From the title a new game is
// started; once its shop has loaded, the shelves are stocked with the
// sample items, sellers are allowed and the shop opens, as the shop floor's
// "Open Store" does. The player then confirms every other tick, so every
// line is answered soon after it has typed out, and now and then presses
// down, which lowers a price being entered.
#pragma once
#include <cstdint>

#include "game/input_script.h"

constexpr int32_t SHOP_DAY_STOCKED_PLACES = 60;
constexpr int32_t SHOP_DAY_MONEY = 20000;
constexpr int32_t SHOP_DAY_MAX_TICKS = 30000;

// Runs the new game into its shop and opens the shop; false when the shop
// scene did not come up. The harness must be booted.
bool harnessOpenShopDay();
// The buttons of the day's player on a tick of the day.
uint16_t shopDayButtons(int32_t tick);
// The phase is over: the counter faded out and handed the floor back.
bool shopDayClosed();

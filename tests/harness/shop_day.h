// tests/harness/shop_day.h: a scripted shop day on the booted game, shared
// by the whole-game tests and the benchmark. A saved game on its first
// morning is continued in its shop (tests/harness/saved_game.h), with the
// sample items on its shelves and sellers allowed; the shop then opens, as
// the shop floor's "Open Store" does. The player confirms every other tick,
// so every line is answered soon after it has typed out, and now and then
// presses down, which lowers a price being entered.
#pragma once
#include <cstdint>

#include "tests/harness/harness.h"

constexpr int32_t SHOP_DAY_STOCKED_PLACES = 60;
constexpr int32_t SHOP_DAY_MONEY = 20000;
constexpr int32_t SHOP_DAY_MAX_TICKS = 30000;

// Boots on the saved game (as harnessBootSavedGame) and opens its shop;
// false when the shop scene did not come up.
bool harnessOpenShopDay(const HarnessOptions& options);
// The buttons of the day's player on a tick of the day.
uint16_t shopDayButtons(int32_t tick);
// The day's rhythm, except that at a buyer's price entry the price comes
// down to the buyer's offer, digit by digit, and is then confirmed, so the
// deals do not hang on how long the visitors' lines take to show.
uint16_t dealingButtons(int32_t tick);
// The phase is over: the counter faded out and handed the floor back.
bool shopDayClosed();

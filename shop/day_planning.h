// shop/day_planning.h: who comes to the shop in a day phase. The candidate
// table, the visit plan and its order are rebuilt when a phase opens and read
// by the counter while the phase runs.
#pragma once
#include <cstdint>

#include "engine/save_file.h"
#include "shop/shop.h"

constexpr int32_t VISITORS_MAX = 5;          // buyers planned on an ordinary day
extern const float SHOP_SIZE_FACTORS[SHOP_SIZE_COUNT];   // by shop size

struct CustomerType;

// How much the customer likes what is on the shelves.
int32_t rateCustomerInterest(const CustomerType& type);
// Back to the values a fresh process starts with (a new boot in the same process).

// For i = 0..n-1, swaps entry i with entry (randomInt mod n).
void shuffleArray(int32_t* values, int32_t n);

// The buyers of an ordinary day: the filled shelf places plus 3, 4 or 5 for
// shop size 1, 2 or 3, a quarter of it plus 1 or 2, scaled by the size's
// factor, at most VISITORS_MAX. One draw.
int32_t countPhaseVisitors(const GameState& game);
// The visits of a trend day: 8 or 9, at most the lineup's length. One draw.
int32_t countTrendDayVisits(int32_t lineupLength);

// shop/trends.h: market trends, news and booms. Up to twenty trends raise or
// lower what customers pay for an item, a category or a class of items; each
// start and end is a news text of the running game's ticker. advanceMarketDay
// runs once per market day; getTrendForItem is read by the counter, the
// vending sales, the item lists and the market.
#pragma once
#include <cstdint>

#include "shop/shop.h"

constexpr int32_t TREND_NO_PRICE_EFFECT = 100;   // slot effect of a trend that is only announced
constexpr int32_t TREND_FILL_TRIES = 100;
constexpr int32_t TREND_FIRST_NEWS_DAY = 10;     // news-only texts from this day on
constexpr int32_t TREND_FIRST_TREND_DAY = 9;     // the first definition is the day's pick
constexpr int32_t TREND_NEWS_GAP = 3;            // ticker characters between two texts
constexpr int32_t RECENT_SALE_DAYS = 3;          // days a counter sale feeds the booms

// The 0-based definition the refill tries next: the first on day 9, else a
// draw among the trend rows whose season holds the date; -1 when none.
int32_t pickTrendDefinition();

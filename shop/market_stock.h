// shop/market_stock.h: what the market and the merchants' guild offer, the
// limited stock kept per item row in the running game (marketStock) with its
// daily restocking, and the prices both places buy and sell at.
// restockMarket runs once per shop day, at a new game and when a saved game
// is loaded; the rest is read by the item list and the trading scene.
// Main thread only.
#pragma once
#include <cstdint>

#include "engine/save_file.h"
#include "shop/item_db.h"
#include "shop/shop.h"

constexpr int32_t MARKET_RANK_MAX = 5;
constexpr int32_t MARKET_UNLIMITED = 100;     // a stock or quantity that never runs out
// Merchant level (0-based) from which an item of rank 1..5 is offered
// (index rank - 1); rank 0 items are never offered.
extern const int32_t MARKET_RANK_LEVELS[MARKET_RANK_MAX];
// The same values by rank 0..4: from this level an offered item of the rank
// is no longer limited (see marketOfferQuantity).
extern const int32_t STOCK_RANK_LEVELS[MARKET_RANK_MAX];

// The item's stockType decides how its stock is filled.
enum MarketStockType : int32_t {
    STOCK_UNLIMITED = 0,    // always 100
    STOCK_GROWING = 1,      // starts at 3..5, one more every 5 days up to 10
    STOCK_RANDOM = 2,       // 0..2 every day, 1 on a long cycle
    STOCK_AFTER_THREE = 3,  // a single piece, back 3 days after it sold
    STOCK_RARE = 4,         // 1 on one day in three, 1 on a long cycle
    STOCK_NEXT_DAY = 5,     // a single piece, back the next day
    STOCK_AFTER_TWO = 6,    // a single piece, back 2 days after it sold
};

// The wares of the current place (gMarketMode): the identified key id * 64
// and the sort key of every offered row, in row order; returns their number
// (at most ITEM_DEFINITION_MAX).
int32_t listMarketStock(int32_t* sortKeys, int32_t* keys);
// The quantity a buying list shows for an offered row: 100 (unlimited) or
// the row's stock, 0 while the item's price has crashed.
int32_t marketOfferQuantity(int32_t row);

// Unit prices at the market and the guild for the item's current trend.
int32_t marketSellPrice(int32_t key);
// trunc(price * share * t) in single precision, each product rounded to
// float before the next; t is 1.2, 0.8, 0.7 or 1 for trend 1, -1, -2, 0.
int32_t marketUnitPrice(int32_t price, float share, int32_t trend);

// shop/counter.h: the counter, where customers buy, sell and haggle.
#pragma once
#include <cstdint>

constexpr int32_t COUNTER_BONUS_ROWS = 5;

// Kinds of the deal bonus rows.
enum CounterBonusKind : int32_t {
    BONUS_PERFECT = 0,
    BONUS_COMBO = 1,
    BONUS_NEAR = 2,
    BONUS_TOTAL = 3,
};

// Counter modes: what the visitor came for.
enum CounterMode : int32_t {
    COUNTER_SELLER = 0,
    COUNTER_REQUEST = 1,
    COUNTER_BUYER = 2,
};

// The counter's state; reset by the shop day's start and never saved.
struct CounterState {
    int32_t mode;               // CounterMode of the visit, -1 before the first
    int32_t visitCursor;        // position in the day's visit order
    int32_t sellersToday;       // seller visits in this phase
    int32_t questDay;           // 1: the ingredient quest keeps its items off sale

    // The visitor and the item.
    int32_t customerType;
    int32_t customerIndex;      // row of the day's candidates, indexes customerRelations
    int32_t itemKey;
    int32_t showcaseItem;       // 1: the buyer took it from a showcase place
    int32_t requestRow;
    int32_t orderPick;          // an order item an adventurer customer will equip, -1 none
    int32_t infoFrame;          // 0, or frames since the item was shown

    // Prices in gold and the customer's side of the haggling.
    int32_t counterPrice;       // the price the player asks or offers
    int32_t basePrice;          // what the haggling is measured against
    int32_t reference;
    int32_t offer;              // the customer's current offer or ask
    int32_t limit;              // beyond it the customer walks out
    int32_t target;             // the price judged perfect
    int32_t round;              // offers made so far

    // The deal bonus display and the run of deals closed on a first offer.
    int32_t bonusRowCount;
    int32_t bonusTimer;
    int32_t bonusKinds[COUNTER_BONUS_ROWS];    // CounterBonusKind
    int32_t bonusValues[COUNTER_BONUS_ROWS];
    int32_t bonusAnim[COUNTER_BONUS_ROWS];
    int32_t combo;

    // The equipment slot an adventurer customer would put the item in, -1 none.
    int32_t adventurerTargetSlot;

    // The trend day: one group floods the shop asking for a popular item.
    int32_t trendDay;            // 1 today
    int32_t trendItem;           // item id, -1 none
    int32_t trendCategory;
    int32_t trendCategoryMask;
    int32_t trendCustomerType;
    int32_t trendBannerFrame;    // frames the trend-day banner has run; 0 none
};
extern CounterState gCounter;
// Back to the values a fresh process starts with (a new boot in the same process).
void resetCounterState();
// Offers to cancel a running tutorial when the menu is asked for; 1 when
// it opened its question.
int32_t askCancelTutorial();
